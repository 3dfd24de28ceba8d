// Files below a folder of the test's standing in for the disk: names lie
// there as their ANSI bytes, taken as they are (no trailing dot is dropped).
#include "platform/files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/text.h"
#include "tests/standin/standin.h"

namespace plat {
namespace {

struct Files {
  std::string root;
  int failDeletes = 0;
  int writesBeforeTear = -1;  // none pending
  uint32_t tornBytes = 0;
} g;

bool Failed(uint32_t* error, uint32_t code) {
  *error = code;
  return false;
}

uint32_t Code(int e) { return e == ENOENT || e == ENOTDIR ? kErrPathNotFound : kErrAccessDenied; }

bool IsFile(const std::string& mapped) {
  struct stat st;
  return stat(mapped.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The regular files of a folder, by their names on disk.
void List(const std::string& folder, std::vector<std::string>* names, bool wide) {
  names->clear();
  DIR* dir = folder.empty() ? 0 : opendir(folder.c_str());
  while (struct dirent* entry = dir ? readdir(dir) : 0)
    if (IsFile(folder + "/" + entry->d_name))
      names->push_back(wide ? WideFromAnsi(entry->d_name) : entry->d_name);
  if (dir) closedir(dir);
}

bool Unlink(const std::string& mapped, uint32_t* error) {
  if (mapped.empty()) return Failed(error, kErrPathNotFound);
  if (g.failDeletes > 0 && IsFile(mapped)) {
    --g.failDeletes;
    return Failed(error, kErrAccessDenied);
  }
  return unlink(mapped.c_str()) == 0 || errno == ENOENT || Failed(error, Code(errno));
}

}  // namespace

namespace standin {

void ResetFiles(const std::string& root) { g = Files{root}; }
void FailWriteAfter(int records, uint32_t bytes) {
  g.writesBeforeTear = records;
  g.tornBytes = bytes;
}
void FailNextDeletes(int count) { g.failDeletes = count; }

std::string MapPath(const std::string& p) {
  if (g.root.empty() || p.size() < 3 || p[1] != ':' || p[2] != '\\' || p.find('\0') != std::string::npos)
    return std::string();
  std::string mapped = g.root + "/" + static_cast<char>(p[0] | 0x20) + "/" + p.substr(3);
  for (char& c : mapped)
    if (c == '\\') c = '/';
  return mapped;
}

std::string MapWidePath(const std::string& wide) { return MapPath(AnsiFromWide(wide, 0)); }

}  // namespace standin

void ListOrdinaryFiles(const std::string& pattern, std::vector<std::string>* names) {
  List(standin::MapPath(pattern.substr(0, pattern.rfind('\\'))), names, false);
}

bool ListOrdinaryFilesW(const std::string& folder, std::vector<std::string>* names) {
  List(standin::MapWidePath(folder), names, true);
  return HasWideNames();
}

bool DeleteFileW(const std::string& folder, const std::string& name, uint32_t* error) {
  return Unlink(standin::MapWidePath(folder + WideFromAnsi("\\") + name), error);
}

bool DeleteFileA(const std::string& path, uint32_t* error) {
  return Unlink(standin::MapPath(path), error);
}

bool FileExists(const std::string& path) { return IsFile(standin::MapPath(path)); }

std::string SystemFolder() { return "C:\\WINDOWS\\system32"; }

bool CreateFolder(const std::string& path) {
  return mkdir(standin::MapPath(path).c_str(), 0755) == 0;
}

void FileCloser::Close(intptr_t file) { close(static_cast<int>(file - 1)); }

bool RecordFile::Open(const std::string& path, uint32_t recordLength, uint32_t* error) {
  Close();
  const int fd = open(standin::MapPath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return Failed(error, Code(errno));
  handle_.Reset(fd + 1);  // 0 stays "not open" even for descriptor 0
  recordLength_ = recordLength;
  return true;
}

uint32_t RecordFile::RecordCount() {
  struct stat st;
  if (!handle_ || fstat(static_cast<int>(handle_.Get() - 1), &st) != 0) return 0;
  return static_cast<uint32_t>((st.st_size + recordLength_ - 1) / recordLength_);
}

bool RecordFile::ReadRecord(uint32_t n, char* buf, uint32_t count) {
  const size_t length = static_cast<size_t>(recordLength_) * count;
  memset(buf, 0, length);
  return handle_ && n > 0 &&
         pread(static_cast<int>(handle_.Get() - 1), buf, length,
               static_cast<off_t>(n - 1) * recordLength_) >= 0;
}

bool RecordFile::WriteRecord(uint32_t n, const char* buf, uint32_t* error) {
  if (!handle_ || n == 0) return Failed(error, kErrInvalidParameter);
  const bool torn = g.writesBeforeTear == 0;
  if (g.writesBeforeTear >= 0) --g.writesBeforeTear;
  const size_t length = torn ? g.tornBytes : recordLength_;
  if (pwrite(static_cast<int>(handle_.Get() - 1), buf, length,
             static_cast<off_t>(n - 1) * recordLength_) != static_cast<ssize_t>(length) ||
      torn)
    return Failed(error, kErrDiskFull);
  return true;
}

}  // namespace plat
