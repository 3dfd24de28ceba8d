// The icon in the notification area and its popup menu. The object is also
// the hidden window `picgancho` to which the shell reports the mouse on the
// icon, as WM_MOUSEMOVE with the mouse message in lParam.
#pragma once
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs <windows.h> first
// clang-format on

#include "platform/desktop.h"
#include "ui/win32/window.h"

namespace win {

class TrayReports {
 public:
  // `message` is the mouse message that happened on the icon.
  virtual void OnTrayReport(int message) = 0;

 protected:
  ~TrayReports() {}
};

class TrayIcon : public Window {
 public:
  explicit TrayIcon(TrayReports* reports);

  bool Create(HINSTANCE instance, HWND parent, const RECT& rect);
  bool Add(HICON icon);
  // The taskbar was rebuilt (Explorer restarted): the shell forgot the icon.
  void AddAgain();
  void Remove();
  // Shows the menu at the mouse; `owner` is made the foreground window first
  // so that the menu closes when the user clicks elsewhere.
  plat::TrayChoice PopupMenu(HWND owner, bool iniciar);

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  TrayReports* reports_;
  NOTIFYICONDATAA record_;  // cbSize 0 while no icon is wanted
  OwnedMenu menu_;
};

}  // namespace win
