#include "ui/win32/tray_icon.h"

#include <string.h>

#include "core/texts.h"

namespace win {

namespace {

const char kClassName[] = "CentinelaGancho";
const UINT kIconId = 1;
// The record as the first shells take it (Windows 95 and NT 4); every later
// shell still accepts it.
const DWORD kRecordSize = NOTIFYICONDATAA_V1_SIZE;
#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the first-version record is 88 bytes");
#endif
const size_t kTipBytes = 64;

}  // namespace

TrayIcon::TrayIcon(TrayReports* reports) : reports_(reports) {
  ZeroMemory(&record_, sizeof record_);
}

bool TrayIcon::Create(HINSTANCE instance, HWND parent, const RECT& rect) {
  RegisterClassOnce(instance, kClassName, 0, 0, 0);
  if (!Window::Create(instance, kClassName, "", WS_CHILD, 0, rect, parent, 0)) return false;
  menu_.Reset(CreatePopupMenu());
  // The items' identifiers are the choices they stand for.
  AppendMenuA(menu_.Get(), MF_STRING, plat::kTrayAbrir, txt::kMnuAcerca);
  AppendMenuA(menu_.Get(), MF_STRING, plat::kTrayIniciar, txt::kMnuIniciar);
  AppendMenuA(menu_.Get(), MF_SEPARATOR, 0, 0);
  AppendMenuA(menu_.Get(), MF_STRING, plat::kTrayCerrar, txt::kMnuSalir);
  SetMenuDefaultItem(menu_.Get(), plat::kTrayAbrir, FALSE);
  return true;
}

bool TrayIcon::Add(HICON icon) {
  record_.cbSize = kRecordSize;
  record_.hWnd = hwnd();
  record_.uID = kIconId;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.uCallbackMessage = WM_MOUSEMOVE;
  record_.hIcon = icon;
  // The tip, its terminator, then spaces to the end of the field.
  memset(record_.szTip, ' ', kTipBytes);
  size_t length = strlen(txt::kTrayTip);
  if (length > kTipBytes - 1) length = kTipBytes - 1;
  memcpy(record_.szTip, txt::kTrayTip, length);
  record_.szTip[length] = '\0';
  // Kept even when refused: a taskbar that starts later may take it.
  return Shell_NotifyIconA(NIM_ADD, &record_) != FALSE;
}

void TrayIcon::AddAgain() {
  if (record_.cbSize) Shell_NotifyIconA(NIM_ADD, &record_);
}

void TrayIcon::Remove() {
  if (record_.cbSize) Shell_NotifyIconA(NIM_DELETE, &record_);
  record_.cbSize = 0;
}

plat::TrayChoice TrayIcon::PopupMenu(HWND owner, bool iniciar) {
  CheckMenuItem(menu_.Get(), plat::kTrayIniciar, iniciar ? MF_CHECKED : MF_UNCHECKED);
  POINT at;
  GetCursorPos(&at);
  SetForegroundWindow(owner);
  UINT chosen = TrackPopupMenu(menu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                               at.y, 0, owner, 0);
  // The window may have gone while the menu was open (End Task).
  if (IsWindow(owner)) PostMessageA(owner, WM_NULL, 0, 0);
  return static_cast<plat::TrayChoice>(chosen);
}

LRESULT TrayIcon::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEMOVE && wParam == kIconId) {
    reports_->OnTrayReport(LOWORD(lParam));
    return 0;
  }
  return Window::OnMessage(message, wParam, lParam);
}

}  // namespace win
