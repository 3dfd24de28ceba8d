// One C++ object per window: the object is bound to its HWND when the window
// is created (WM_NCCREATE) and hears every later message in OnMessage.
#pragma once
#include <windows.h>

#include "ui/colores.h"
#include "ui/win32/handles.h"

namespace win {

// Twips (1440 per inch) turned into pixels at the screen's real resolution.
class Scale {
 public:
  Scale();  // reads the screen's DPI
  int X(int twips) const { return MulDiv(twips, dpiX_, kTwipsPerInch); }
  int Y(int twips) const { return MulDiv(twips, dpiY_, kTwipsPerInch); }
  // Logical font height for a size in hundredths of a point (825 = 8.25 pt).
  int FontHeight(int centipoints) const { return -MulDiv(centipoints, dpiY_, 7200); }
  // A child's rectangle given as left, top, width, height in twips.
  RECT Rect(int left, int top, int width, int height) const;

 private:
  static const int kTwipsPerInch = 1440;
  int dpiX_;
  int dpiY_;
};

HFONT CreateUiFont(const Scale& scale, const char* face, int centipoints, int weight);

// A function of a system DLL that Windows 95 may lack, found at run time;
// null where the DLL or the function is missing.
FARPROC SystemFunction(const char* dll, const char* name);
template <typename F>
F SystemFunction(const char* dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(SystemFunction(dll, name)));
}

// Before the first window: DPI-aware for the whole run, so that Windows draws
// the text sharp rather than stretching a 96-dpi bitmap.
void DeclareDpiAware();

class Window {
 public:
  Window() : hwnd_(0) {}
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  HWND hwnd() const { return hwnd_; }

 protected:
  // Destroys a window still open (nothing hears its last messages then).
  virtual ~Window();

  // Registers a class whose windows all go through this object model; a class
  // already registered is fine.
  static void RegisterClassOnce(HINSTANCE instance, const char* className, HBRUSH background,
                                HICON icon, HICON smallIcon);
  bool Create(HINSTANCE instance, const char* className, const char* title, DWORD style,
              DWORD exStyle, const RECT& rect, HWND parent, int id);

  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The window is gone; the object may be used again for a new one.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_;
};

// A control of a system class, placed in twips like the form places it.
struct ControlLayout {
  const char* className;
  const char* text;
  DWORD style;  // WS_CHILD | WS_VISIBLE implied
  DWORD exStyle;
  short left, top, width, height;
  int id;
  bool ownFont;  // takes the font given, else the default GUI font
};
// Creates the controls in order (which is their tab order).
void CreateControls(HWND parent, const Scale& scale, const ControlLayout* layouts, size_t count,
                    HFONT ownFont);

// Outer size of a window whose client area is `width` x `height` pixels.
SIZE OuterSize(int width, int height, DWORD style, DWORD exStyle);

// Dialog-like focus for a window's WM_ACTIVATE: remembers the control that
// had the focus when the window is left and gives it back on return.
void TrackFocus(HWND window, WPARAM activateWParam, HWND* focus);

// The colours of the scheme in use, read at start and again when the user
// changes the scheme or high contrast.
void ReadColours();
col::Colores Colours(col::Elemento element);
// A top-level window and its controls drawn again in the new colours.
void Repaint(HWND window);
// Sets a control's colours for its WM_CTLCOLOR* answer.
void SetDcColours(HDC dc, const col::Colores& colours);

// Fills a rectangle with a plain colour, no brush needed.
void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// Puts a top-level window in the middle of the screen, size unchanged.
void CenterOnScreen(HWND hwnd);

}  // namespace win
