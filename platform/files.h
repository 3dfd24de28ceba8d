// Files as the core sees them. Paths are Windows paths in CP1252
// ("c:\windows\ximvar.dat"); off Windows they map below a chosen root folder.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "platform/handle.h"

namespace plat {

// Bare names of the ordinary files (no folders, no hidden or system files)
// matching `pattern` ("folder\*.*"), in the order the system lists them.
// A folder that cannot be listed gives no names.
void ListOrdinaryFiles(const std::string& pattern, std::vector<std::string>* names);

// The same listing by exact names, on NT-family Windows: `folder` and the
// names are wide text (platform/text.h). False where there are no wide names.
bool ListOrdinaryFilesW(const std::string& folder, std::vector<std::string>* names);

// Deletes exactly the file `name` of `folder` (both wide text) through a path
// that the system takes as it is: a name with a trailing dot or blank stays
// that name. False, with the system's reason (platform/errors.h), when it is
// still there.
bool DeleteFileW(const std::string& folder, const std::string& name, uint32_t* error);

// True when `path` names an existing ordinary file (not hidden, not system).
bool FileExists(const std::string& path);

// The system folder, as the system gives it ("C:\WINDOWS\system32").
std::string SystemFolder();

// The command that starts the running program: its full path in double
// quotes; empty when the path does not fit MAX_PATH.
std::string ProgramCommand();

// Creates one folder (its parent must exist); false when it was not made.
bool CreateFolder(const std::string& path);

// Deletes one file; false, with the system's reason, when it is still there
// afterwards.
bool DeleteFileA(const std::string& path, uint32_t* error);

// An open file as each system numbers it (0 for none), closed by its owner.
struct FileCloser {
  typedef intptr_t Handle;
  static intptr_t None() { return 0; }
  static void Close(intptr_t file);
};

// A file of fixed-length records, opened once for reading and writing and
// shared with other processes, created when missing, never truncated.
class RecordFile {
 public:
  RecordFile() : recordLength_(0) {}

  // False with the system's reason (platform/errors.h).
  bool Open(const std::string& path, uint32_t recordLength, uint32_t* error);
  bool IsOpen() const { return static_cast<bool>(handle_); }
  void Close() { handle_.Reset(); }

  // Records whole or in part held by the file (a partial last record counts).
  uint32_t RecordCount();
  // Reads `count` records from number n (from 1) on into buf (count times
  // recordLength bytes) in one read. Bytes past the end of the file read as
  // zero; false only when the system refuses the read.
  bool ReadRecord(uint32_t n, char* buf, uint32_t count = 1);
  // Writes record n (from 1) whole, growing the file as needed.
  bool WriteRecord(uint32_t n, const char* buf, uint32_t* error);

 private:
  Owned<FileCloser> handle_;
  uint32_t recordLength_;
};

}  // namespace plat
