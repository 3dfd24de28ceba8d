#include "ui/win32/window.h"

namespace win {

namespace {

col::Colores g_colours[col::kElementoCount];

}  // namespace

Scale::Scale() {
  ScreenDc screen;
  dpiX_ = GetDeviceCaps(screen.Get(), LOGPIXELSX);
  dpiY_ = GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

RECT Scale::Rect(int left, int top, int width, int height) const {
  const int x = X(left);
  const int y = Y(top);
  RECT rect = {x, y, x + X(width), y + Y(height)};
  return rect;
}

HFONT CreateUiFont(const Scale& scale, const char* face, int centipoints, int weight) {
  return CreateFontA(scale.FontHeight(centipoints), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, face);
}

FARPROC SystemFunction(const char* dll, const char* name) {
  HMODULE module = LoadLibraryA(dll);
  return module ? GetProcAddress(module, name) : 0;
}

void DeclareDpiAware() {
  typedef BOOL(WINAPI * ContextFn)(HANDLE);
  typedef BOOL(WINAPI * AwareFn)();
  // System-aware: the layout reads the DPI once, before the first window.
  const HANDLE kSystemAware = reinterpret_cast<HANDLE>(-2);
  ContextFn context = SystemFunction<ContextFn>("user32.dll", "SetProcessDpiAwarenessContext");
  if (context && context(kSystemAware)) return;
  AwareFn aware = SystemFunction<AwareFn>("user32.dll", "SetProcessDPIAware");
  if (aware) aware();
}

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Window::RegisterClassOnce(HINSTANCE instance, const char* className, HBRUSH background,
                               HICON icon, HICON smallIcon) {
  WNDCLASSEXA wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorA(0, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  RegisterClassExA(&wc);  // fails harmlessly when the class exists
}

bool Window::Create(HINSTANCE instance, const char* className, const char* title, DWORD style,
                    DWORD exStyle, const RECT& rect, HWND parent, int id) {
  HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : 0;
  return CreateWindowExA(exStyle, className, title, style, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent, menu, instance,
                         this) != 0;
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet.
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    LRESULT result = self->OnMessage(message, wParam, lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = 0;
    self->OnDestroyed();
    return result;
  }
  return self->OnMessage(message, wParam, lParam);
}

void CreateControls(HWND parent, const Scale& scale, const ControlLayout* layouts, size_t count,
                    HFONT ownFont) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (size_t i = 0; i < count; ++i) {
    const ControlLayout& layout = layouts[i];
    RECT rect = scale.Rect(layout.left, layout.top, layout.width, layout.height);
    HWND control = CreateWindowExA(
        layout.exStyle, layout.className, layout.text, layout.style | WS_CHILD | WS_VISIBLE,
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance, 0);
    if (control)
      SendMessageA(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(layout.ownFont ? ownFont : guiFont), FALSE);
  }
}

SIZE OuterSize(int width, int height, DWORD style, DWORD exStyle) {
  RECT rect = {0, 0, width, height};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
  return size;
}

void TrackFocus(HWND window, WPARAM activateWParam, HWND* focus) {
  if (LOWORD(activateWParam) == WA_INACTIVE) {
    HWND now = GetFocus();
    if (now && IsChild(window, now)) *focus = now;
  } else if (*focus && IsWindow(*focus)) {
    SetFocus(*focus);
  }
}

void ReadColours() {
  static const int kIndex[col::kSistemaCount] = {COLOR_WINDOW,    COLOR_WINDOWTEXT,
                                                 COLOR_BTNFACE,   COLOR_BTNTEXT,
                                                 COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
  uint32_t system[col::kSistemaCount];
  for (int i = 0; i < col::kSistemaCount; ++i) system[i] = GetSysColor(kIndex[i]);
  HIGHCONTRASTA contrast;
  ZeroMemory(&contrast, sizeof contrast);
  contrast.cbSize = sizeof contrast;
  // Windows 95 without the accessibility options fails the call: off.
  const bool on = SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                  (contrast.dwFlags & HCF_HIGHCONTRASTON);
  for (int e = 0; e < col::kElementoCount; ++e)
    g_colours[e] = col::Elegir(static_cast<col::Elemento>(e), on, system);
}

col::Colores Colours(col::Elemento element) { return g_colours[element]; }

void Repaint(HWND window) {
  RedrawWindow(window, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SetDcColours(HDC dc, const col::Colores& colours) {
  SetTextColor(dc, colours.texto);
  SetBkColor(dc, colours.fondo);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  SetBkColor(dc, color);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, "", 0, 0);
}

void CenterOnScreen(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  SetWindowPos(hwnd, 0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace win
