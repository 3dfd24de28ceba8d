// The registry functions forwarded to advapi32's ANSI ones.
#ifndef WINVER
#define WINVER 0x0400
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0400
#endif
#include "platform/registry.h"

#include <windows.h>

#include "platform/win32/wide_api.h"

#ifndef KEY_WOW64_64KEY
#define KEY_WOW64_64KEY 0x0100
#endif
#ifndef KEY_WOW64_32KEY
#define KEY_WOW64_32KEY 0x0200
#endif

static_assert(plat::kKeyWow64_64Key == KEY_WOW64_64KEY, "view flags agree");
static_assert(plat::kKeyWow64_32Key == KEY_WOW64_32KEY, "view flags agree");

namespace plat {
namespace {

::HKEY Sys(HKEY key) { return reinterpret_cast< ::HKEY>(key); }
HKEY Ours(::HKEY key) { return reinterpret_cast<HKEY>(key); }

// A DWORD in/out argument, passed through a system DWORD so that the two
// 32-bit types never alias.
class InOut {
 public:
  explicit InOut(DWORD* p) : p_(p), v_(p ? *p : 0) {}
  ~InOut() {
    if (p_) *p_ = static_cast<DWORD>(v_);
  }
  ::DWORD* Get() { return p_ ? &v_ : 0; }

 private:
  DWORD* p_;
  ::DWORD v_;
};

// The system leaves the handle alone on some failures; ours is always null then.
LONG Opened(LONG status, ::HKEY key, HKEY* result) {
  *result = status == ERROR_SUCCESS ? Ours(key) : 0;
  return status;
}

}  // namespace

LONG RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) {
  ::HKEY h = 0;
  LONG status = ::RegOpenKeyA(Sys(key), subKey, &h);
  return Opened(status, h, result);
}

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM sam, HKEY* result) {
  ::HKEY h = 0;
  LONG status = ::RegOpenKeyExA(Sys(key), subKey, options, sam, &h);
  return Opened(status, h, result);
}

LONG RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) {
  ::HKEY h = 0;
  LONG status = ::RegCreateKeyA(Sys(key), subKey, &h);
  return Opened(status, h, result);
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, char* cls, DWORD options,
                     REGSAM sam, void* security, HKEY* result, DWORD* disposition) {
  ::HKEY h = 0;
  InOut disp(disposition);
  LONG status = ::RegCreateKeyExA(Sys(key), subKey, reserved, cls, options, sam,
                                  static_cast<LPSECURITY_ATTRIBUTES>(security), &h, disp.Get());
  return Opened(status, h, result);
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* cbData) {
  InOut r(reserved), t(type), cb(cbData);
  return ::RegQueryValueExA(Sys(key), valueName, r.Get(), t.Get(), data, cb.Get());
}

LONG RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* cchValueName, DWORD* reserved,
                   DWORD* type, BYTE* data, DWORD* cbData) {
  InOut cch(cchValueName), r(reserved), t(type), cb(cbData);
  return ::RegEnumValueA(Sys(key), index, valueName, cch.Get(), r.Get(), t.Get(), data, cb.Get());
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD cbData) {
  return ::RegSetValueExA(Sys(key), valueName, reserved, type, data, cbData);
}

LONG RegDeleteValueA(HKEY key, const char* valueName) {
  return ::RegDeleteValueA(Sys(key), valueName);
}

LONG RegFlushKey(HKEY key) { return ::RegFlushKey(Sys(key)); }

LONG RegCloseKey(HKEY key) {
  // The null handle of a failed open is closed too; it must stay harmless.
  if (key == 0) return kErrorInvalidHandle;
  return ::RegCloseKey(Sys(key));
}

LONG RegEnumValueW(HKEY key, DWORD index, WCHAR* valueName, DWORD* cchValueName, DWORD* reserved,
                   DWORD* type, BYTE* data, DWORD* cbData) {
  const win32::WideApi& w = win32::Wide();
  if (!w.nt) return kErrorCallNotImplemented;
  InOut cch(cchValueName), r(reserved), t(type), cb(cbData);
  return w.RegEnumValueW(Sys(key), index, reinterpret_cast<LPWSTR>(valueName), cch.Get(), r.Get(),
                         t.Get(), data, cb.Get());
}

LONG RegQueryValueExW(HKEY key, const WCHAR* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* cbData) {
  const win32::WideApi& w = win32::Wide();
  if (!w.nt) return kErrorCallNotImplemented;
  InOut r(reserved), t(type), cb(cbData);
  return w.RegQueryValueExW(Sys(key), reinterpret_cast<LPCWSTR>(valueName), r.Get(), t.Get(), data,
                            cb.Get());
}

LONG RegEnumKeyExW(HKEY key, DWORD index, WCHAR* name, DWORD* cchName) {
  const win32::WideApi& w = win32::Wide();
  if (!w.nt) return kErrorCallNotImplemented;
  InOut cch(cchName);
  return w.RegEnumKeyExW(Sys(key), index, reinterpret_cast<LPWSTR>(name), cch.Get(), 0, 0, 0, 0);
}

LONG RegOpenKeyExW(HKEY key, const WCHAR* subKey, DWORD options, REGSAM sam, HKEY* result) {
  const win32::WideApi& w = win32::Wide();
  ::HKEY h = 0;
  const LONG status =
      w.nt ? w.RegOpenKeyExW(Sys(key), reinterpret_cast<LPCWSTR>(subKey), options, sam, &h)
           : kErrorCallNotImplemented;
  return Opened(status, h, result);
}

bool ServiceDemandStart(const WCHAR* name, DWORD* error) {
  const win32::WideApi& w = win32::Wide();
  // Where there are services, advapi32 has all four functions.
  if (!w.ChangeServiceConfigW) return false;
  SC_HANDLE manager = w.OpenSCManagerW(0, 0, SC_MANAGER_CONNECT);
  SC_HANDLE service =
      manager ? w.OpenServiceW(manager, reinterpret_cast<LPCWSTR>(name), SERVICE_CHANGE_CONFIG) : 0;
  const bool ok = service && w.ChangeServiceConfigW(service, SERVICE_NO_CHANGE, SERVICE_DEMAND_START,
                                                    SERVICE_NO_CHANGE, 0, 0, 0, 0, 0, 0, 0);
  *error = GetLastError();
  if (service) w.CloseServiceHandle(service);
  if (manager) w.CloseServiceHandle(manager);
  return ok;
}

namespace {

// Our counted name in the system's layout (the same fields, its own types).
win32::CountedName Counted(const UNICODE_STRING* name) {
  win32::CountedName c;
  c.Length = name->Length;
  c.MaximumLength = name->MaximumLength;
  c.Buffer = reinterpret_cast<PWSTR>(name->Buffer);
  return c;
}

// A key opened through advapi32 is the kernel's own handle; the predefined
// roots are not, and nothing here names a value directly below one.
bool Usable(HKEY key) { return key != 0 && reinterpret_cast<uintptr_t>(key) < 0x80000000u; }

}  // namespace

NTSTATUS NtQueryValueKey(HKEY key, const UNICODE_STRING* valueName, DWORD infoClass, void* info,
                         DWORD length, DWORD* resultLength) {
  const win32::WideApi& w = win32::Wide();
  if (!w.nt || !Usable(key)) return kStatusNotImplemented;
  const win32::CountedName name = Counted(valueName);
  ULONG got = 0;
  NTSTATUS status = w.NtQueryValueKey(reinterpret_cast<HANDLE>(key), &name, infoClass, info,
                                      length, &got);
  if (resultLength) *resultLength = got;
  return status;
}

NTSTATUS NtSetValueKey(HKEY key, const UNICODE_STRING* valueName, DWORD titleIndex, DWORD type,
                       const void* data, DWORD size) {
  const win32::WideApi& w = win32::Wide();
  if (!w.nt || !Usable(key)) return kStatusNotImplemented;
  const win32::CountedName name = Counted(valueName);
  return w.NtSetValueKey(reinterpret_cast<HANDLE>(key), &name, titleIndex, type, data, size);
}

NTSTATUS NtDeleteValueKey(HKEY key, const UNICODE_STRING* valueName) {
  const win32::WideApi& w = win32::Wide();
  if (!w.nt || !Usable(key)) return kStatusNotImplemented;
  const win32::CountedName name = Counted(valueName);
  return w.NtDeleteValueKey(reinterpret_cast<HANDLE>(key), &name);
}

bool RegHasTwoViews() {
#ifdef _WIN64
  return true;
#else
  // Windows 9x and NT4 lack IsWow64Process; they have one view.
  typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  IsWow64ProcessFn isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(
                                          GetProcAddress(kernel, "IsWow64Process")))
                                    : 0;
  BOOL wow64 = FALSE;
  return isWow64 != 0 && isWow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}

}  // namespace plat
