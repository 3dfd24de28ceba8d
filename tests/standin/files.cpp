// The disk in memory: files' bytes and folders by Windows path, names taken
// as they are (no trailing dot is dropped), listed in the order of their names.
#include "platform/files.h"

#include <string.h>

#include "platform/errors.h"
#include "platform/text.h"
#include "tests/standin/standin.h"

namespace plat {
namespace {

standin::Files g;

bool Failed(uint32_t* error, uint32_t code) {
  *error = code;
  return false;
}

// "" for a path that is not absolute or holds a NUL.
std::string Key(std::string p) {
  if (p.size() < 3 || p[1] != ':' || p[2] != '\\' || p.find('\0') != std::string::npos) return "";
  p[0] |= 0x20;
  return p;
}

std::string Parent(const std::string& key) { return key.substr(0, key.rfind('\\')); }

void List(const std::string& folder, std::vector<std::string>* names, bool wide) {
  names->clear();
  for (const auto& file : g.files)
    if (!folder.empty() && Parent(file.first) == folder) {
      const std::string name = file.first.substr(folder.size() + 1);
      names->push_back(wide ? WideFromAnsi(name) : name);
    }
}

bool Unlink(const std::string& key, uint32_t* error) {
  if (key.empty()) return Failed(error, kErrPathNotFound);
  if (g.folders.count(key) || (g.files.count(key) && g.failDeletes-- > 0))
    return Failed(error, kErrAccessDenied);
  g.files.erase(key);
  return true;
}

std::string* Bytes(intptr_t file) { return g.opened.count(file) ? &g.files[g.opened[file]] : 0; }

}  // namespace

namespace standin {

standin::Files& Disk() { return g; }
void ResetFiles() { g = Files{{}, {"c:"}, g.opened, g.next}; }

}  // namespace standin

void ListOrdinaryFiles(const std::string& pattern, std::vector<std::string>* names) {
  List(Key(Parent(pattern)), names, false);
}

bool ListOrdinaryFilesW(const std::string& folder, std::vector<std::string>* names) {
  List(Key(AnsiFromWide(folder, 0)), names, true);
  return HasWideNames();
}

bool DeleteFileW(const std::string& folder, const std::string& name, uint32_t* error) {
  return Unlink(Key(AnsiFromWide(folder + WideFromAnsi("\\") + name, 0)), error);
}

bool DeleteFileA(const std::string& path, uint32_t* error) { return Unlink(Key(path), error); }

bool FileExists(const std::string& path) { return g.files.count(Key(path)) > 0; }

std::string SystemFolder() { return "C:\\WINDOWS\\system32"; }

std::string ProgramCommand() { return "\"C:\\Archivos de programa\\Centinela\\centinela.exe\""; }

bool CreateFolder(const std::string& path) {
  const std::string key = Key(path);
  if (key.empty() || !g.folders.count(Parent(key)) || g.files.count(key)) return false;
  return g.folders.insert(key).second;
}

void FileCloser::Close(intptr_t file) { g.opened.erase(file); }

bool RecordFile::Open(const std::string& path, uint32_t recordLength, uint32_t* error) {
  Close();
  const std::string key = Key(path);
  if (key.empty() || !g.folders.count(Parent(key))) return Failed(error, kErrPathNotFound);
  if (g.folders.count(key)) return Failed(error, kErrAccessDenied);
  g.files[key];
  g.opened[g.next] = key;
  handle_.Reset(g.next++);
  recordLength_ = recordLength;
  return true;
}

uint32_t RecordFile::RecordCount() {
  const std::string* bytes = Bytes(handle_.Get());
  return bytes ? static_cast<uint32_t>((bytes->size() + recordLength_ - 1) / recordLength_) : 0;
}

bool RecordFile::ReadRecord(uint32_t n, char* buf, uint32_t count) {
  const size_t at = static_cast<size_t>(n - 1) * recordLength_;
  const std::string* bytes = Bytes(handle_.Get());
  memset(buf, 0, static_cast<size_t>(recordLength_) * count);
  if (bytes && n > 0 && at < bytes->size())
    bytes->copy(buf, static_cast<size_t>(recordLength_) * count, at);
  return bytes && n > 0 && !g.readsFail;
}

bool RecordFile::WriteRecord(uint32_t n, const char* buf, uint32_t* error) {
  std::string* bytes = Bytes(handle_.Get());
  if (!bytes || n == 0) return Failed(error, kErrInvalidParameter);
  const bool torn = g.writesBeforeTear == 0;
  if (g.writesBeforeTear >= 0) --g.writesBeforeTear;
  const size_t at = static_cast<size_t>(n - 1) * recordLength_;
  const size_t length = torn ? g.tornBytes : recordLength_;
  if (bytes->size() < at + length) bytes->resize(at + length, '\0');
  bytes->replace(at, length, buf, length);
  return !torn || Failed(error, kErrDiskFull);
}

}  // namespace plat
