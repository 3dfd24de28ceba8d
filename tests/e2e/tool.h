// What the tools that drive the program from another process under Wine
// share (tests/e2e/hostile_tool.cpp, tests/soak/soak_tool.cpp).
#pragma once
#include <windows.h>

namespace tool {

const char kMainClass[] = "CentinelaForm1";

// A visible window of that class and title (either may be null), waited for
// up to `ms` milliseconds; null when none came.
inline HWND WaitShown(const char* cls, const char* title, DWORD ms) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50)) {
    HWND w = FindWindowA(cls, title);
    if (w && IsWindowVisible(w)) return w;
  }
  return 0;
}

// The key, made when missing; `view` is 0 where the key has one view only.
inline HKEY OpenKey(HKEY root, const char* key, REGSAM view) {
  HKEY k = 0;
  RegCreateKeyExA(root, key, 0, 0, 0, KEY_ALL_ACCESS | view, 0, &k, 0);
  return k;
}

}  // namespace tool
