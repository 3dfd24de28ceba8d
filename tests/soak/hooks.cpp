// The soak build's entry point: the program as shipped, its main window
// subclassed to count the ticks and write the table on the test's request,
// and Timer1 restarted at the soak's interval.
#include "tests/soak/hooks.h"

#include "ui/win32/form1_window.h"

namespace {

// One program, one main window: its state needs no owner of its own.
win::Form1Window* g_window;
WNDPROC g_windowProc;
unsigned long g_ticks;

// The exact-name column is for removal, not for comparing with the places.
// Written through kernel32: this build runs on the shipped program's runtime.
bool WriteTable(const Grid& table) {
  std::string text;
  for (int32_t row = 1; row < table.Rows(); ++row)
    for (int32_t col = 0; col < kColExacto; ++col)
      text += table.TextMatrix(row, col) + (col + 1 < kColExacto ? "\t" : "\r\n");
  win::OwnedFile out(CreateFileA(soak::kTablePath, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0));
  DWORD put = 0;
  return out && WriteFile(out.Get(), text.data(), DWORD(text.size()), &put, 0) &&
         put == text.size();
}

LRESULT CALLBACK SoakProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Only the ticks that scan count: the program skips one while a box of
  // its own is open.
  if (message == WM_TIMER && wParam == win::kTimer1) g_ticks += !g_window->monitor().CajaAbierta();
  if (message == soak::kTicksMessage)
    return wParam == soak::kWriteTable ? WriteTable(g_window->monitor().LIST1) : LRESULT(g_ticks);
  return CallWindowProcA(g_windowProc, hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  win::Form1Window window(instance);
  if (!window.Create()) return 1;
  g_window = &window;
  g_windowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SoakProc)));
  if (!window.Load()) return 0;
  SetTimer(window.hwnd(), win::kTimer1, soak::kTimer1Interval, 0);
  window.ShowWindow();
  return win::RunMessageLoop(&window);
}
