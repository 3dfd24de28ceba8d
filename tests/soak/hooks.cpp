#include "tests/soak/hooks.h"

#include <string>

#include "core/monitor.h"

namespace soak {
namespace {

// One program, one main window: the count needs no owner of its own.
unsigned long g_ticks = 0;
UINT g_ticksMessage = 0;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  char name[8];
  if (GetClassNameA(window, name, sizeof name) && !lstrcmpA(name, "#32770") &&
      IsWindowVisible(window))
    *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}

bool WriteTable(const char* path, const Grid& table) {
  std::string text;
  for (int32_t row = 1; row < table.Rows(); ++row) {
    // The exact-name column is for removal, not for comparing with the places.
    for (int32_t col = 0; col < kColExacto; ++col) {
      if (col > 0) text += '\t';
      text += table.TextMatrix(row, col);
    }
    text += "\r\n";
  }
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, 0) &&
                  written == text.size();
  return CloseHandle(file) && ok;
}

}  // namespace

bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR timerId, const Grid& table,
               LRESULT* result) {
  if (!g_ticksMessage) g_ticksMessage = RegisterWindowMessageA(kTicksMessage);
  // Only the ticks that scan count: one that finds a box of ours open
  // returns at once.
  if (message == WM_TIMER && wParam == timerId) {
    bool box = false;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    g_ticks += !box;
    return false;
  }
  if (message == g_ticksMessage) {
    *result = static_cast<LRESULT>(g_ticks);
    return true;
  }
  if (message == WM_COPYDATA) {
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData != kDumpTag || data->cbData == 0) return false;
    const char* path = static_cast<const char*>(data->lpData);
    if (path[data->cbData - 1] != '\0') return false;
    *result = WriteTable(path, table) ? TRUE : FALSE;
    return true;
  }
  return false;
}

}  // namespace soak
