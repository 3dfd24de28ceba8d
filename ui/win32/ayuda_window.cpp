#include "ui/win32/ayuda_window.h"

#include "core/texts.h"
#include "ui/ayuda.h"

namespace win {

namespace {

const char kClassName[] = "CentinelaAyuda";
const int kIdSysInfo = 100;
const DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
const DWORD kExStyle = WS_EX_DLGMODALFRAME;

// Controls, so that screen readers read the texts and they take the scheme's
// colours; the etched line is the separator the form draws with two lines.
const DWORD kLabel = SS_LEFT | SS_NOPREFIX;
const ControlLayout kControls[] = {
    {"STATIC", txt::kLblTitle, kLabel, 0, 120, 120, 6645, 720, 0, false},
    {"STATIC", txt::kAyudaLabel1, kLabel, 0, 120, 720, 6645, 1440, 0, true},
    {"STATIC", txt::kAyudaLabel2, kLabel, 0, 120, 2160, 6645, 1800, 0, false},
    {"STATIC", "", SS_ETCHEDHORZ, 0, 570, 4080, 5564, 30, 0, false},
    {"STATIC", txt::kLblDisclaimer, kLabel, 0, 120, 4185, 4575, 1185, 0, false},
    // "Aceptar" first in the tab order.
    {"BUTTON", txt::kCmdOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 4920, 4320, 1740, 345, IDOK, false},
    {"BUTTON", txt::kCmdSysInfo, BS_PUSHBUTTON | WS_TABSTOP, 0, 4920, 4800, 1725, 345, kIdSysInfo,
     false},
};

}  // namespace

void AyudaWindow::Open(HINSTANCE instance, HWND owner, const Scale& scale) {
  if (!hwnd()) {
    scale_ = scale;
    bold_.Reset(CreateUiFont(scale_, "MS Sans Serif", 825, FW_BOLD));
    RegisterClassOnce(instance, kClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), 0, 0);
    SIZE size = OuterSize(scale_.X(6855), scale_.Y(5340), kStyle, kExStyle);
    RECT rect = {0, 0, size.cx, size.cy};
    char caption[64];
    wsprintfA(caption, "%s%s", txt::kAyudaCaptionPrefix, txt::kAppTitle);
    if (!Create(instance, kClassName, caption, kStyle, kExStyle, rect, owner, 0)) return;
    CenterOnScreen(hwnd());
  }
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void AyudaWindow::Close() {
  if (hwnd()) DestroyWindow(hwnd());
}

bool AyudaWindow::DialogKeys(MSG* msg) { return hwnd() && IsDialogMessageA(hwnd(), msg); }

LRESULT AyudaWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      CreateControls(hwnd(), scale_, kControls, sizeof kControls / sizeof kControls[0],
                     bold_.Get());
      focus_ = GetDlgItem(hwnd(), IDOK);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      SetDcColours(reinterpret_cast<HDC>(wParam), Colours(col::kAyuda));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      ReadColours();  // the main window may hear it after the box
      Repaint(hwnd());
      return 0;
    case WM_ACTIVATE:
      TrackFocus(hwnd(), wParam, &focus_);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) Close();
      if (LOWORD(wParam) == kIdSysInfo) StartSysInfo(desktop_, monitor_);
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_NCDESTROY:
      focus_ = 0;
      bold_.Reset();
      break;
  }
  return Window::OnMessage(message, wParam, lParam);
}

}  // namespace win
