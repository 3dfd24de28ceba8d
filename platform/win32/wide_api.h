// The wide and counted-name functions of NT-family Windows, found at run time
// so that the same program still loads on Windows 9x, where they are absent
// or only stubs. Every pointer but the one marked is null there.
#pragma once
#include <windows.h>

namespace plat {
namespace win32 {

struct CountedName {
  USHORT Length;
  USHORT MaximumLength;
  PWSTR Buffer;
};

struct WideApi {
  bool nt;
  LONG(WINAPI* RegEnumValueW)(::HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
  LONG(WINAPI* RegQueryValueExW)(::HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
  LONG(WINAPI* RegEnumKeyExW)(::HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, PFILETIME);
  LONG(WINAPI* RegOpenKeyExW)(::HKEY, LPCWSTR, DWORD, REGSAM, ::HKEY*);
  // The service manager's; checked where used, not part of `nt`.
  SC_HANDLE(WINAPI* OpenSCManagerW)(LPCWSTR, LPCWSTR, DWORD);
  SC_HANDLE(WINAPI* OpenServiceW)(SC_HANDLE, LPCWSTR, DWORD);
  BOOL(WINAPI* ChangeServiceConfigW)
  (SC_HANDLE, DWORD, DWORD, DWORD, LPCWSTR, LPCWSTR, LPDWORD, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR);
  BOOL(WINAPI* CloseServiceHandle)(SC_HANDLE);
  // Windows 98 has it too: found on every system that has it.
  LONG(WINAPI* RegNotifyChangeKeyValue)(::HKEY, BOOL, DWORD, HANDLE, BOOL);
  LONG(WINAPI* NtQueryValueKey)(HANDLE, const CountedName*, DWORD, PVOID, ULONG, PULONG);
  LONG(WINAPI* NtSetValueKey)(HANDLE, const CountedName*, ULONG, ULONG, const void*, ULONG);
  LONG(WINAPI* NtDeleteValueKey)(HANDLE, const CountedName*);
  HANDLE(WINAPI* FindFirstFileW)(LPCWSTR, WIN32_FIND_DATAW*);
  BOOL(WINAPI* FindNextFileW)(HANDLE, WIN32_FIND_DATAW*);
  BOOL(WINAPI* DeleteFileW)(LPCWSTR);
  DWORD(WINAPI* GetFileAttributesW)(LPCWSTR);
  DWORD(WINAPI* GetFullPathNameW)(LPCWSTR, DWORD, LPWSTR, LPWSTR*);
};

// Looked up once; all null off the NT family.
const WideApi& Wide();

}  // namespace win32
}  // namespace plat
