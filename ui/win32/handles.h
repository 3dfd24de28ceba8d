// The window system's handles, each owned (platform/win32/handle.h), and
// GDI objects and DCs held for one scope.
#pragma once
#include <windows.h>

#include "platform/win32/handle.h"

namespace win {

using plat::win32::ClosedBy;
using plat::win32::OwnedFile;
using plat::win32::OwnedKernelHandle;

typedef plat::Owned<ClosedBy<HFONT, HGDIOBJ, DeleteObject> > OwnedFont;
typedef plat::Owned<ClosedBy<HBRUSH, HGDIOBJ, DeleteObject> > OwnedBrush;
typedef plat::Owned<ClosedBy<HBITMAP, HGDIOBJ, DeleteObject> > OwnedBitmap;
typedef plat::Owned<ClosedBy<HICON, HICON, DestroyIcon> > OwnedIcon;
typedef plat::Owned<ClosedBy<HMENU, HMENU, DestroyMenu> > OwnedMenu;
typedef plat::Owned<ClosedBy<HDC, HDC, DeleteDC> > OwnedMemoryDc;
typedef plat::Owned<ClosedBy<HWND, HWND, DestroyWindow> > OwnedWindow;

// Selects a GDI object into a DC for one scope and puts the previous one back.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, previous_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// The screen DC, held for one scope.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(0)) {}
  ~ScreenDc() { ReleaseDC(0, dc_); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace win
