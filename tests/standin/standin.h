// Controls of the native stand-ins for the registry and the disk: their
// state, and faults on demand. The registry is 64-bit Windows with wide names.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <map>
#include <set>
#include <string>

namespace plat {
namespace standin {

// An empty registry with no faults and wide names.
void ResetRegistry();
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
// The service manager refuses every change, or no more.
void RefuseServiceChanges(bool refuse);

// Without them the stand-in is Windows 95: no key can be watched.
void SetWatchesWork(bool work);
bool WatchesWork();

// The disk by Windows path (ANSI, the drive letter in lower case).
struct Files {
  std::map<std::string, std::string> files;  // their bytes
  std::set<std::string> folders;
  std::map<intptr_t, std::string> opened;  // open files, by handle
  intptr_t next = 1;                       // never reused
  int failDeletes = 0;                     // that many deletions fail, the file staying
  bool readsFail = false;                  // reads fail after copying the bytes
  // Record writes let through before one that puts only its first tornBytes
  // and fails with "disk full" (a disk filling up); -1 for none.
  int writesBeforeTear = -1;
  uint32_t tornBytes = 0;
};
Files& Disk();
// Only the folder "c:", no faults; open files write to their paths anew.
void ResetFiles();

}  // namespace standin
}  // namespace plat
