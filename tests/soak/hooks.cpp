#include "tests/soak/hooks.h"

#include <string>

namespace soak {
namespace {

// One program, one main window: the count needs no owner of its own.
unsigned long g_ticks = 0;
UINT g_ticksMessage = 0;

// The exact-name column is for removal, not for comparing with the places.
// Written through the system alone: this build has the shipped program's
// runtime, which has no stdio.
bool WriteTable(const Grid& table) {
  std::string text;
  for (int32_t row = 1; row < table.Rows(); ++row)
    for (int32_t col = 0; col < kColExacto; ++col)
      text += table.TextMatrix(row, col) + (col + 1 < kColExacto ? "\t" : "\r\n");
  HANDLE out = CreateFileA(kTablePath, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(out, text.data(), text.size(), &written, 0) && written == text.size();
  return CloseHandle(out) && ok;
}

}  // namespace

bool OnMessage(UINT message, WPARAM wParam, UINT_PTR timerId, const Monitor& monitor,
               LRESULT* result) {
  if (!g_ticksMessage) g_ticksMessage = RegisterWindowMessageA(kTicksMessage);
  // Only the ticks that scan count: the program skips one while a box of
  // its own is open.
  if (message == WM_TIMER && wParam == timerId) g_ticks += !monitor.CajaAbierta();
  if (message != g_ticksMessage) return false;
  *result = wParam == kWriteTable ? WriteTable(monitor.LIST1) : static_cast<LRESULT>(g_ticks);
  return true;
}

}  // namespace soak
