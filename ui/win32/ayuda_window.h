// The About box `ayuda`: a modeless window with a fixed dialog frame, its
// texts as static controls, "Aceptar" (Enter and Esc) and the system-information
// button. At most one exists; opening it again brings it forward.
#pragma once
#include <windows.h>

#include "ui/win32/window.h"

class Monitor;
namespace plat {
class Desktop;
}

namespace win {

class AyudaWindow : public Window {
 public:
  AyudaWindow(plat::Desktop* desktop, Monitor* monitor)
      : desktop_(desktop), monitor_(monitor), focus_(0) {}

  // `owner` is a hidden window, so the box has no taskbar button.
  void Open(HINSTANCE instance, HWND owner, const Scale& scale);
  void Close();
  // Enter, Esc and Tab for the box; true when the message was handled.
  bool DialogKeys(MSG* msg);

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  plat::Desktop* desktop_;
  Monitor* monitor_;
  Scale scale_;
  OwnedFont bold_;
  HWND focus_;  // control that had the focus when the box was left
};

}  // namespace win
