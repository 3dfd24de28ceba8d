// Controls of the native stand-ins for the registry and the file system:
// their state, and faults on demand. The registry is 64-bit Windows with
// wide names; a path "x:\a\b" of Windows lies at ROOT/x/a/b.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>

namespace plat {
namespace standin {

// An empty registry with no faults, wide names, and files below `root`.
void ResetRegistry();
void ResetFiles(const std::string& root);
// Without wide names the stand-in is Windows 9x: the wide and counted-name
// functions fail.
void SetWideNames(bool wide);
// Handles opened and not yet closed.
size_t OpenHandleCount();
// Opening exactly root\subKey is refused from now on.
void FailRegistryOpen(int32_t root, const std::string& subKey);
// Writing below `root` is refused, as Windows NT refuses a standard user on
// HKEY_LOCAL_MACHINE.
void DenyRegistryWrites(int32_t root);

// Lets `records` more record writes through; the one after puts only its
// first `bytes` bytes, then fails with "disk full" (a disk filling up).
void FailWriteAfter(int records, uint32_t bytes);
// The next `count` deletions fail with "access denied", the file staying.
void FailNextDeletes(int count);
// Where a Windows path (ANSI, or wide text: platform/text.h) lies; empty
// for one that is not absolute.
std::string MapPath(const std::string& windowsPath);
std::string MapWidePath(const std::string& widePath);

}  // namespace standin
}  // namespace plat
