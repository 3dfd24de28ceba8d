// Entry point of centinela.exe: the main window is made hidden, the start-up
// sequence runs, and the window is shown when it ends.
#include <windows.h>

#include "ui/win32/form1_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  win::DeclareDpiAware();  // the window reads the DPI as it is made
  win::Form1Window window(instance);
  if (!window.Create()) return 1;
  // Another copy runs, or the data file cannot be opened (already said).
  if (!window.Load()) return 0;
  window.ShowWindow();
  return win::RunMessageLoop(&window);
}
