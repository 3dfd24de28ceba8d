// Owning handles: one move-only template, told by the system function that
// releases each kind of handle, so every icon, menu, font, brush, DC, window
// and kernel object we create is released exactly once.
#pragma once
#include <windows.h>

namespace win {

template <typename Traits>
class Owned {
 public:
  typedef typename Traits::Handle Handle;

  Owned() : handle_(0) {}
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { Reset(); }
  Owned(Owned&& other) : handle_(other.Release()) {}
  Owned& operator=(Owned&& other) {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }
  Handle Release() {
    Handle handle = handle_;
    handle_ = 0;
    return handle;
  }
  void Reset(Handle handle = 0) {
    if (handle_ && handle_ != handle) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_;
};

// How a kind of handle is released: the system function that closes it.
template <typename H, typename Arg, BOOL(WINAPI* Closer)(Arg)>
struct ClosedBy {
  typedef H Handle;
  static void Close(H handle) { Closer(handle); }
};

typedef Owned<ClosedBy<HFONT, HGDIOBJ, DeleteObject> > OwnedFont;
typedef Owned<ClosedBy<HBRUSH, HGDIOBJ, DeleteObject> > OwnedBrush;
typedef Owned<ClosedBy<HBITMAP, HGDIOBJ, DeleteObject> > OwnedBitmap;
typedef Owned<ClosedBy<HICON, HICON, DestroyIcon> > OwnedIcon;
typedef Owned<ClosedBy<HMENU, HMENU, DestroyMenu> > OwnedMenu;
typedef Owned<ClosedBy<HDC, HDC, DeleteDC> > OwnedMemoryDc;
typedef Owned<ClosedBy<HANDLE, HANDLE, CloseHandle> > OwnedKernelHandle;
typedef Owned<ClosedBy<HWND, HWND, DestroyWindow> > OwnedWindow;

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
