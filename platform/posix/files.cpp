// Files on a POSIX system standing in for Windows: a Windows path maps below
// a root folder chosen by the test, and names starting with '.' are hidden.
#include "platform/files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "platform/errtext.h"
#include "platform/nocase.h"
#include "platform/posix/standin.h"

namespace plat {
namespace {

struct FileState {
  std::string root;
  std::set<std::string> system;  // mapped paths of files marked system
  int failWrites;
  int failDeletes;
  int writesBeforeTear;  // -1: no torn write pending
  uint32_t tornBytes;
  FileState() : failWrites(0), failDeletes(0), writesBeforeTear(-1), tornBytes(0) {}
};

FileState g_files;

uint32_t ErrnoCode(int e) {
  switch (e) {
    case ENOENT:
      return kErrFileNotFound;
    case ENOTDIR:
      return kErrPathNotFound;
    case EROFS:
      return kErrWriteProtect;
    case EBUSY:
    case ETXTBSY:
      return kErrSharingViolation;
    case ENOSPC:
      return kErrDiskFull;
    case ENAMETOOLONG:
      return kErrInvalidName;
    default:
      return kErrAccessDenied;
  }
}

void SetWhy(std::string* why, uint32_t code) {
  if (why) *why = SystemErrorText(code);
}

bool SameChar(char a, char b) {
  return UpperCp1252(static_cast<unsigned char>(a)) == UpperCp1252(static_cast<unsigned char>(b));
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Windows wildcards: '*' any run, '?' one character, case ignored; "*.*"
// takes names without a dot too.
bool MatchMask(const std::string& mask, const std::string& name) {
  if (mask == "*.*") return true;
  size_t m = 0, n = 0, starM = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() && (mask[m] == '?' || SameChar(mask[m], name[n]))) {
      ++m;
      ++n;
    } else if (starM != std::string::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool IsHiddenName(const std::string& name) { return !name.empty() && name[0] == '.'; }

// An existing regular file that is neither hidden nor system.
bool IsOrdinary(const std::string& mapped, const std::string& name) {
  struct stat st;
  return !IsHiddenName(name) && stat(mapped.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         g_files.system.count(mapped) == 0;
}

std::string BaseName(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

namespace standin {

std::string MapPath(const std::string& p) {
  const bool absolute = p.size() >= 3 && ((p[0] | 0x20) >= 'a' && (p[0] | 0x20) <= 'z') &&
                        p[1] == ':' && IsSeparator(p[2]);
  if (g_files.root.empty() || !absolute || p.find('\0') != std::string::npos) return std::string();
  std::string mapped = g_files.root + "/" + static_cast<char>(p[0] | 0x20);
  size_t start = 3;
  while (start <= p.size()) {
    size_t end = start;
    while (end < p.size() && !IsSeparator(p[end])) ++end;
    std::string part = p.substr(start, end - start);
    if (part == "..") return std::string();
    if (!part.empty() && part != ".") mapped += "/" + part;
    start = end + 1;
  }
  return mapped;
}

void SetFileRoot(const std::string& dir) { g_files.root = dir; }

void ResetFiles() {
  g_files.system.clear();
  g_files.failWrites = 0;
  g_files.failDeletes = 0;
  g_files.writesBeforeTear = -1;
}

void SetSystemFile(const std::string& path, bool system) {
  std::string mapped = MapPath(path);
  if (mapped.empty()) return;
  if (system)
    g_files.system.insert(mapped);
  else
    g_files.system.erase(mapped);
}

void FailNextWrites(int count) { g_files.failWrites = count; }
void FailWriteAfter(int records, uint32_t bytes) {
  g_files.writesBeforeTear = records;
  g_files.tornBytes = bytes;
}
void FailNextDeletes(int count) { g_files.failDeletes = count; }

}  // namespace standin

void ListOrdinaryFiles(const std::string& pattern, std::vector<std::string>* names) {
  names->clear();
  size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string::npos) return;
  const std::string folder = standin::MapPath(pattern.substr(0, cut + 1));
  const std::string mask = pattern.substr(cut + 1);
  if (folder.empty()) return;
  DIR* dir = opendir(folder.c_str());
  if (dir == 0) return;
  while (struct dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (IsOrdinary(folder + "/" + name, name) && MatchMask(mask, name)) names->push_back(name);
  }
  closedir(dir);
}

bool FileExists(const std::string& path) {
  const std::string mapped = standin::MapPath(path);
  return !mapped.empty() && IsOrdinary(mapped, BaseName(path));
}

bool DeleteFileA(const std::string& path, std::string* why) {
  const std::string mapped = standin::MapPath(path);
  if (mapped.empty()) {
    SetWhy(why, kErrPathNotFound);
    return false;
  }
  struct stat st;
  if (g_files.failDeletes > 0 && lstat(mapped.c_str(), &st) == 0) {
    --g_files.failDeletes;
    SetWhy(why, kErrAccessDenied);
    return false;
  }
  // A folder is refused as Windows refuses it; a file already gone is fine.
  if (lstat(mapped.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    SetWhy(why, kErrAccessDenied);
    return false;
  }
  if (unlink(mapped.c_str()) != 0 && errno != ENOENT) {
    SetWhy(why, ErrnoCode(errno));
    return false;
  }
  g_files.system.erase(mapped);
  return true;
}

bool RecordFile::Open(const std::string& path, uint32_t recordLength, std::string* why) {
  Close();
  const std::string mapped = standin::MapPath(path);
  if (recordLength == 0 || mapped.empty()) {
    SetWhy(why, recordLength == 0 ? kErrInvalidParameter : kErrPathNotFound);
    return false;
  }
  int fd = open(mapped.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    // With creation asked for, a missing name can only be a missing folder.
    SetWhy(why, errno == ENOENT ? kErrPathNotFound : ErrnoCode(errno));
    return false;
  }
  handle_ = fd + 1;  // 0 stays "not open" even for descriptor 0
  recordLength_ = recordLength;
  return true;
}

void RecordFile::Close() {
  if (handle_ != 0) close(static_cast<int>(handle_ - 1));
  handle_ = 0;
}

uint32_t RecordFile::RecordCount() {
  struct stat st;
  if (handle_ == 0 || fstat(static_cast<int>(handle_ - 1), &st) != 0) return 0;
  uint64_t count = (static_cast<uint64_t>(st.st_size) + recordLength_ - 1) / recordLength_;
  return count > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(count);
}

bool RecordFile::ReadRecord(uint32_t n, char* buf) {
  if (handle_ == 0 || n == 0) return false;
  memset(buf, 0, recordLength_);
  off_t offset = static_cast<off_t>(n - 1) * recordLength_;
  size_t done = 0;
  while (done < recordLength_) {
    ssize_t got = pread(static_cast<int>(handle_ - 1), buf + done, recordLength_ - done,
                        offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool RecordFile::WriteRecord(uint32_t n, const char* buf, std::string* why) {
  if (handle_ == 0 || n == 0) {
    SetWhy(why, kErrInvalidParameter);
    return false;
  }
  if (g_files.failWrites > 0) {
    --g_files.failWrites;
    SetWhy(why, kErrDiskFull);
    return false;
  }
  size_t length = recordLength_;
  const bool torn = g_files.writesBeforeTear == 0;
  if (g_files.writesBeforeTear >= 0) --g_files.writesBeforeTear;
  if (torn && g_files.tornBytes < length) length = g_files.tornBytes;
  off_t offset = static_cast<off_t>(n - 1) * recordLength_;
  size_t done = 0;
  while (done < length) {
    ssize_t put = pwrite(static_cast<int>(handle_ - 1), buf + done, length - done,
                         offset + static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      SetWhy(why, put < 0 ? ErrnoCode(errno) : kErrDiskFull);
      return false;
    }
    done += static_cast<size_t>(put);
  }
  if (torn) {
    SetWhy(why, kErrDiskFull);
    return false;
  }
  return true;
}

}  // namespace plat
