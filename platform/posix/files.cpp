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
#include "platform/text.h"

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

// Names lie on the POSIX disk in UTF-8, one UTF-16 unit at a time (a lone
// surrogate too), so every Windows name has a file name of its own.
std::string Utf8FromWide(const std::string& wide) {
  std::string out;
  for (size_t i = 0; i < WideUnits(wide); ++i) {
    const unsigned c = WideAt(wide, i);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | c >> 6));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | c >> 12));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string WideFromUtf8(const std::string& utf8) {
  std::string wide;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    unsigned c = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
    for (size_t k = 1; k < n && i + k < utf8.size(); ++k)
      c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += n;
    if (c >= 0x10000) {
      AppendWide(&wide, static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10)));
      AppendWide(&wide, static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      AppendWide(&wide, static_cast<WCHAR>(c));
    }
  }
  return wide;
}

// Where a path of the ANSI functions leads: as on Windows, a trailing dot or
// blank of each part is dropped.
std::string Normalised(const std::string& ansiPath) {
  std::string out;
  size_t start = 0;
  while (start <= ansiPath.size()) {
    size_t end = ansiPath.find_first_of("\\/", start);
    if (end == std::string::npos) end = ansiPath.size();
    std::string part = ansiPath.substr(start, end - start);
    if (part != "." && part != "..")
      while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    out += part;
    if (end < ansiPath.size()) out += ansiPath[end];
    start = end + 1;
  }
  return out;
}

std::string MapUtf8(const std::string& p);
bool Unlink(const std::string& mapped, std::string* why);

std::string BaseName(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

namespace standin {

std::string MapPath(const std::string& p) {
  return MapUtf8(Utf8FromWide(WideFromAnsi(Normalised(p))));
}

std::string MapWidePath(const std::string& wide) { return MapUtf8(Utf8FromWide(wide)); }

}  // namespace standin

namespace {

std::string MapUtf8(const std::string& p) {
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

}  // namespace

namespace standin {

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
    const std::string onDisk = entry->d_name;
    const std::string name = AnsiFromWide(WideFromUtf8(onDisk), 0);
    if (IsOrdinary(folder + "/" + onDisk, onDisk) && MatchMask(mask, name)) names->push_back(name);
  }
  closedir(dir);
}

bool ListOrdinaryFilesW(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  if (!HasWideNames()) return false;
  const std::string mapped = standin::MapWidePath(folder);
  DIR* dir = mapped.empty() ? 0 : opendir(mapped.c_str());
  if (dir == 0) return true;
  while (struct dirent* entry = readdir(dir)) {
    const std::string onDisk = entry->d_name;
    if (IsOrdinary(mapped + "/" + onDisk, onDisk)) names->push_back(WideFromUtf8(onDisk));
  }
  closedir(dir);
  return true;
}

bool DeleteFileW(const std::string& folder, const std::string& name, std::string* why) {
  std::string path = folder;
  AppendWide(&path, '\\');
  const std::string mapped = HasWideNames() ? standin::MapWidePath(path + name) : std::string();
  if (mapped.empty()) {
    SetWhy(why, kErrPathNotFound);
    return false;
  }
  return Unlink(mapped, why);
}

bool FileExists(const std::string& path) {
  const std::string mapped = standin::MapPath(path);
  return !mapped.empty() && IsOrdinary(mapped, BaseName(path));
}

std::string SystemFolder() { return "C:\\WINDOWS\\system32"; }

bool CreateFolder(const std::string& path) {
  const std::string mapped = standin::MapPath(path);
  return !mapped.empty() && mkdir(mapped.c_str(), 0755) == 0;
}

bool DeleteFileA(const std::string& path, std::string* why) {
  const std::string mapped = standin::MapPath(path);
  if (mapped.empty()) {
    SetWhy(why, kErrPathNotFound);
    return false;
  }
  return Unlink(mapped, why);
}

namespace {

bool Unlink(const std::string& mapped, std::string* why) {
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

}  // namespace

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

bool RecordFile::ReadRecord(uint32_t n, char* buf, uint32_t count) {
  if (handle_ == 0 || n == 0) return false;
  const size_t length = static_cast<size_t>(recordLength_) * count;
  memset(buf, 0, length);
  off_t offset = static_cast<off_t>(n - 1) * recordLength_;
  size_t done = 0;
  while (done < length) {
    ssize_t got = pread(static_cast<int>(handle_ - 1), buf + done, length - done,
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
