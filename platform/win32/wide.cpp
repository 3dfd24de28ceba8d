// Run-time look-up of the NT-only functions, and the conversions between the
// ANSI code page and UTF-16 that the ANSI API makes.
#include <string.h>

#include "platform/registry.h"
#include "platform/text.h"
#include "platform/win32/wide_api.h"

namespace plat {
namespace win32 {
namespace {

struct Resolved {
  bool done;
  WideApi api;
};
Resolved g_resolved;

template <typename Fn>
void Find(HMODULE module, const char* name, Fn* fn) {
  *fn = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : 0;
}

}  // namespace

const WideApi& Wide() {
  if (!g_resolved.done) {
    WideApi& a = g_resolved.api;
    memset(&a, 0, sizeof a);
    // Windows 9x sets the top bit of the version; its W functions are stubs.
    a.nt = (GetVersion() & 0x80000000u) == 0;
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    Find(advapi, "RegNotifyChangeKeyValue", &a.RegNotifyChangeKeyValue);
    if (a.nt) {
      HMODULE ntdll = GetModuleHandleA("ntdll.dll");
      HMODULE kernel = GetModuleHandleA("kernel32.dll");
      Find(advapi, "RegEnumValueW", &a.RegEnumValueW);
      Find(advapi, "RegQueryValueExW", &a.RegQueryValueExW);
      Find(advapi, "RegEnumKeyExW", &a.RegEnumKeyExW);
      Find(advapi, "RegOpenKeyExW", &a.RegOpenKeyExW);
      Find(advapi, "OpenSCManagerW", &a.OpenSCManagerW);
      Find(advapi, "OpenServiceW", &a.OpenServiceW);
      Find(advapi, "ChangeServiceConfigW", &a.ChangeServiceConfigW);
      Find(advapi, "CloseServiceHandle", &a.CloseServiceHandle);
      Find(ntdll, "NtQueryValueKey", &a.NtQueryValueKey);
      Find(ntdll, "NtSetValueKey", &a.NtSetValueKey);
      Find(ntdll, "NtDeleteValueKey", &a.NtDeleteValueKey);
      Find(kernel, "FindFirstFileW", &a.FindFirstFileW);
      Find(kernel, "FindNextFileW", &a.FindNextFileW);
      Find(kernel, "DeleteFileW", &a.DeleteFileW);
      Find(kernel, "GetFileAttributesW", &a.GetFileAttributesW);
      Find(kernel, "GetFullPathNameW", &a.GetFullPathNameW);
      a.nt = a.RegEnumValueW && a.RegQueryValueExW && a.RegEnumKeyExW && a.RegOpenKeyExW &&
             a.NtQueryValueKey && a.NtSetValueKey && a.NtDeleteValueKey && a.FindFirstFileW &&
             a.FindNextFileW && a.DeleteFileW && a.GetFileAttributesW && a.GetFullPathNameW;
    }
    g_resolved.done = true;
  }
  return g_resolved.api;
}

}  // namespace win32

bool HasWideNames() { return win32::Wide().nt; }

std::string AnsiFromWide(const std::string& wide, bool* exact) {
  const int units = static_cast<int>(WideUnits(wide));
  if (exact) *exact = wide.size() % 2 == 0;
  // Text below 0x80 reads the same in every ANSI code page, and most names and
  // commands are such text: it needs no call to the system.
  std::string ansi(static_cast<size_t>(units), '\0');
  int i = 0;
  while (i < units && WideAt(wide, i) < 0x80) ansi[i] = wide[2 * i], ++i;
  if (i == units) return ansi;
  const LPCWSTR in = reinterpret_cast<LPCWSTR>(wide.data());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, in, units, 0, 0, 0, 0);
  if (bytes <= 0) {
    if (exact) *exact = false;
    return std::string(static_cast<size_t>(units), '?');
  }
  ansi.assign(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, in, units, &ansi[0], bytes, 0, 0);
  // A best-fit letter ("a" for an a with macron) is not the name either.
  if (exact) *exact = WideFromAnsi(ansi) == wide;
  return ansi;
}

std::string WideFromAnsi(const std::string& ansi) {
  std::string wide;
  const int n = static_cast<int>(ansi.size());
  if (n == 0) return wide;
  const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, 0, 0);
  if (units <= 0) return wide;
  wide.assign(static_cast<size_t>(units) * 2, '\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, reinterpret_cast<LPWSTR>(&wide[0]), units);
  return wide;
}

}  // namespace plat
