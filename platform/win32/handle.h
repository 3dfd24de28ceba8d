// Owners of the system's handles (platform/handle.h), told by the function
// that releases each kind and the value that means none: null for most,
// INVALID_HANDLE_VALUE for opened files and file searches.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "platform/handle.h"

namespace plat {
namespace win32 {

template <typename H, typename Arg, BOOL(WINAPI* Closer)(Arg), intptr_t kNone = 0>
struct ClosedBy {
  typedef H Handle;
  static H None() { return reinterpret_cast<H>(kNone); }
  static void Close(H handle) { Closer(handle); }
};

typedef Owned<ClosedBy<HANDLE, HANDLE, CloseHandle> > OwnedKernelHandle;
typedef Owned<ClosedBy<HANDLE, HANDLE, CloseHandle, -1> > OwnedFile;
typedef Owned<ClosedBy<HANDLE, HANDLE, FindClose, -1> > OwnedFind;

}  // namespace win32
}  // namespace plat
