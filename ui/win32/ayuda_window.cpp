#include "ui/win32/ayuda_window.h"

#include "core/texts.h"
#include "ui/ayuda.h"

namespace win {

namespace {

const char kClassName[] = "CentinelaAyuda";
const int kIdSysInfo = 100;
const DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
const DWORD kExStyle = WS_EX_DLGMODALFRAME;

// The labels, drawn where the form places them (twips).
struct Texto {
  const char* text;
  int left, top, width, height;
  bool bold;
};
const Texto kTextos[] = {
    {txt::kLblTitle, 120, 120, 6645, 720, false},
    {txt::kAyudaLabel1, 120, 720, 6645, 1440, true},
    {txt::kAyudaLabel2, 120, 2160, 6645, 1800, false},
    {txt::kLblDisclaimer, 120, 4185, 4575, 1185, false},
};

// "Aceptar" first in the tab order.
const ControlLayout kButtons[] = {
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

void AyudaWindow::Paint(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  for (size_t i = 0; i < sizeof kTextos / sizeof kTextos[0]; ++i) {
    const Texto& t = kTextos[i];
    RECT rect = scale_.Rect(t.left, t.top, t.width, t.height);
    Selected font(dc, t.bold ? bold_.Get() : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, t.text, -1, &rect, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  }
  // The etched separator: a grey line with a white one under it.
  const int y = scale_.Y(4080);
  RECT grey = {scale_.X(570), y, scale_.X(6134), y + 1};
  RECT white = {scale_.X(585), y + 1, scale_.X(6134), y + 2};
  FillSolid(dc, grey, RGB(0x80, 0x80, 0x80));
  FillSolid(dc, white, RGB(0xFF, 0xFF, 0xFF));
}

LRESULT AyudaWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      CreateControls(hwnd(), scale_, kButtons, sizeof kButtons / sizeof kButtons[0], 0);
      focus_ = GetDlgItem(hwnd(), IDOK);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      Paint(dc);
      EndPaint(hwnd(), &ps);
      return 0;
    }
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
