// The registry as the core sees it: advapi32's ANSI functions under their own
// names and argument shapes, in a namespace of ours so they never meet
// <windows.h>. Windows forwards to the system; elsewhere an abstract registry.
#pragma once
#include <stdint.h>

#include "platform/handle.h"
#include "platform/text.h"

namespace plat {

typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint8_t BYTE;
typedef DWORD REGSAM;
struct HKEY__;
typedef HKEY__* HKEY;

// Predefined roots carry the handle values Windows gives them; a root held as a
// signed 32-bit number becomes a handle by sign extension.
inline HKEY RootKey(int32_t root) {
  return reinterpret_cast<HKEY>(static_cast<intptr_t>(root));
}
const int32_t kHkeyClassesRoot = static_cast<int32_t>(0x80000000u);
const int32_t kHkeyCurrentUser = static_cast<int32_t>(0x80000001u);
const int32_t kHkeyLocalMachine = static_cast<int32_t>(0x80000002u);
const int32_t kHkeyUsers = static_cast<int32_t>(0x80000003u);

const LONG kErrorSuccess = 0;
const LONG kErrorFileNotFound = 2;
const LONG kErrorAccessDenied = 5;
const LONG kErrorInvalidHandle = 6;
const LONG kErrorMoreData = 234;
const LONG kErrorNoMoreItems = 259;

const DWORD kRegNone = 0;
const DWORD kRegSz = 1;
const DWORD kRegExpandSz = 2;
const DWORD kRegBinary = 3;
const DWORD kRegDword = 4;
const DWORD kRegMultiSz = 7;

const REGSAM kKeyQueryValue = 0x0001;
const REGSAM kKeySetValue = 0x0002;
const REGSAM kKeyCreateSubKey = 0x0004;
const REGSAM kKeyRead = 0x20019;
const REGSAM kKeyAllAccess = 0xF003F;
const REGSAM kKeyWow64_64Key = 0x0100;
const REGSAM kKeyWow64_32Key = 0x0200;

LONG RegOpenKeyA(HKEY key, const char* subKey, HKEY* result);
LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM sam, HKEY* result);
LONG RegCreateKeyA(HKEY key, const char* subKey, HKEY* result);
LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, char* cls, DWORD options,
                     REGSAM sam, void* security, HKEY* result, DWORD* disposition);
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* cbData);
LONG RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* cchValueName, DWORD* reserved,
                   DWORD* type, BYTE* data, DWORD* cbData);
LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD cbData);
LONG RegDeleteValueA(HKEY key, const char* valueName);
LONG RegFlushKey(HKEY key);
LONG RegCloseKey(HKEY key);

// The wide and counted-name functions of NT-family Windows, which name a
// value exactly (a NUL inside, characters outside the code page). Looked up at
// run time: without them (Windows 9x) they fail with kErrorCallNotImplemented
// or kStatusNotImplemented and change nothing.
LONG RegEnumValueW(HKEY key, DWORD index, WCHAR* valueName, DWORD* cchValueName, DWORD* reserved,
                   DWORD* type, BYTE* data, DWORD* cbData);
LONG RegQueryValueExW(HKEY key, const WCHAR* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* cbData);
// A subkey's name only.
LONG RegEnumKeyExW(HKEY key, DWORD index, WCHAR* name, DWORD* cchName);
LONG RegOpenKeyExW(HKEY key, const WCHAR* subKey, DWORD options, REGSAM sam, HKEY* result);
// Sets the service of this exact (wide, zero-terminated) name to start on
// demand through the service manager; false with the system's error where it
// refuses or is absent.
bool ServiceDemandStart(const WCHAR* name, DWORD* error);
typedef int32_t NTSTATUS;
// ntdll's counted UTF-16 text; Length and MaximumLength count bytes.
struct UNICODE_STRING {
  uint16_t Length;
  uint16_t MaximumLength;
  WCHAR* Buffer;
};
const NTSTATUS kStatusSuccess = 0;
const NTSTATUS kStatusBufferOverflow = static_cast<NTSTATUS>(0x80000005u);
const NTSTATUS kStatusBufferTooSmall = static_cast<NTSTATUS>(0xC0000023u);
const NTSTATUS kStatusObjectNameNotFound = static_cast<NTSTATUS>(0xC0000034u);
const NTSTATUS kStatusNotImplemented = static_cast<NTSTATUS>(0xC0000002u);
const LONG kErrorCallNotImplemented = 120;
const DWORD kKeyValueBasicInformation = 0;
NTSTATUS NtQueryValueKey(HKEY key, const UNICODE_STRING* valueName, DWORD infoClass, void* info,
                         DWORD length, DWORD* resultLength);
NTSTATUS NtSetValueKey(HKEY key, const UNICODE_STRING* valueName, DWORD titleIndex, DWORD type,
                       const void* data, DWORD size);
NTSTATUS NtDeleteValueKey(HKEY key, const UNICODE_STRING* valueName);

// An open key, closed by its owner.
struct KeyCloser {
  typedef HKEY Handle;
  static HKEY None() { return 0; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
typedef Owned<KeyCloser> OwnedKey;

// True where HKEY_LOCAL_MACHINE\Software has a 32-bit and a 64-bit view
// (64-bit Windows, whichever build of ours runs there).
bool RegHasTwoViews();

}  // namespace plat
