// Reads the running program's table from this other process as a screen
// reader does: AccessibleObjectFromWindow on the grid, then its role, its
// child count and every child's name.
//   access_tool COUNT NAME...   the list must have COUNT children, and each
//                               NAME must be one child's name
// Exit code 0 when every check held.
#include <windows.h>
// After windows.h, which they need.
#include <oleacc.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tool.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  // mingw-w64's IID_IAccessible is not the GUID.
  const GUID iid = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
  CoInitialize(0);
  HWND grid = FindWindowExA(tool::WaitShown(tool::kMainClass, 0, 20000), 0, "CentinelaGrid", 0);
  IAccessible* list = 0;
  const HRESULT hr = AccessibleObjectFromWindow(grid, OBJID_CLIENT, iid, (void**)&list);
  if (FAILED(hr) || !list) {
    printf("FAIL: no accessible object for the grid (0x%08lx)\n", (unsigned long)hr);
    return 1;
  }
  VARIANT child;
  child.vt = VT_I4;
  child.lVal = CHILDID_SELF;
  VARIANT role;
  role.vt = VT_EMPTY;
  long count = -1;
  list->get_accRole(child, &role);
  list->get_accChildCount(&count);
  int failures = role.vt != VT_I4 || role.lVal != ROLE_SYSTEM_LIST || count != atol(argv[1]);
  printf("%s: role 0x%lx, %ld children\n", failures ? "FAIL" : "ok", role.lVal, count);
  std::vector<std::string> names;
  for (child.lVal = 1; child.lVal <= count; ++child.lVal) {
    BSTR name = 0;
    char text[4096] = {0};
    if (list->get_accName(child, &name) == S_OK && name)
      WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text - 1, 0, 0);
    SysFreeString(name);
    printf("child %ld: [%s]\n", child.lVal, text);
    names.push_back(text);
  }
  for (int i = 2; i < argc; ++i) {
    bool found = false;
    for (const std::string& name : names) found = found || name == argv[i];
    printf("%s: a row named [%s]\n", found ? "ok" : "FAIL", argv[i]);
    failures += !found;
  }
  list->Release();
  return failures ? 1 : 0;
}
