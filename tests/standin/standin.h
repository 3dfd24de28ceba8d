// Controls of the native stand-ins for the registry and the file system, for
// tests: their state, the 64-bit Windows registry views, and faults on demand.
#pragma once
#include <stddef.h>

#include <string>

#include "platform/registry.h"

namespace plat {
namespace standin {

// Empties every root, forgets every open handle, clears faults, one view.
void ResetRegistry();
// With two views, HKEY_LOCAL_MACHINE\Software opened or created with
// KEY_WOW64_32KEY is HKEY_LOCAL_MACHINE\Software\Wow6432Node.
void SetTwoViews(bool two);
// Without wide names the stand-in is Windows 9x: the wide and counted-name
// functions fail and names are ANSI text. ResetRegistry turns them back on.
void SetWideNames(bool wide);
// Handles opened and not yet closed (predefined roots not counted).
size_t OpenHandleCount();
// Opening or creating exactly root\subKey fails with access denied from now
// on (until the next reset).
void FailRegistryOpen(int32_t root, const std::string& subKey);
// Opening or creating any key below `root` with a write right (set value,
// create subkey or link, delete, write DAC or owner) fails with access denied
// from now on, as Windows NT refuses a standard user on HKEY_LOCAL_MACHINE.
void DenyRegistryWrites(int32_t root);
// Loads a REGEDIT4 file into the registry; false when it cannot be read, has
// no header, or has lines that were skipped as malformed.
bool LoadRegFile(const std::string& path);

// Windows paths "x:\a\b" map to root/x/a/b; until set, no path maps.
void SetFileRoot(const std::string& dir);
// Forgets system marks and file faults; the root stays.
void ResetFiles();
// Marks a file (by Windows path) with the system attribute, or clears it.
// Hidden files are those whose name starts with '.'.
void SetSystemFile(const std::string& path, bool system);
// The next `count` record writes fail with "disk full".
void FailNextWrites(int count);
// Lets `records` more record writes through; the one after puts only its
// first `bytes` bytes, then fails with "disk full" (a disk filling up).
void FailWriteAfter(int records, uint32_t bytes);
// The next `count` deletions fail with "access denied", the file staying.
void FailNextDeletes(int count);
// The POSIX path a Windows path maps to; empty when it maps to nothing. The
// ANSI form is taken as the ANSI functions take it (trailing dots and blanks
// dropped); the wide form (platform/text.h) exactly, as a \\?\ path is.
std::string MapPath(const std::string& windowsPath);
std::string MapWidePath(const std::string& widePath);

}  // namespace standin
}  // namespace plat
