// Files through kernel32's ANSI functions.
#ifndef WINVER
#define WINVER 0x0400
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0400
#endif
#include "platform/files.h"

#include <string.h>
#include <windows.h>

#include <vector>

#include "platform/errors.h"
#include "platform/text.h"
#include "platform/win32/handle.h"
#include "platform/win32/wide_api.h"

#ifndef INVALID_SET_FILE_POINTER
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#endif

namespace plat {
namespace {

const DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The error of a call that failed; the same whatever the system's type.
bool Failed(uint32_t* error, DWORD code) {
  *error = code;
  return false;
}

HANDLE Handle(const Owned<FileCloser>& h) { return reinterpret_cast<HANDLE>(h.Get()); }

// Places the file pointer at record n (from 1); false past 4 GB.
bool Seek(HANDLE file, uint32_t n, uint32_t recordLength) {
  const uint64_t offset = static_cast<uint64_t>(n - 1) * recordLength;
  if (n == 0 || offset + recordLength > 0xFFFFFFFFull) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  LONG high = 0;
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

}  // namespace

void ListOrdinaryFiles(const std::string& pattern, std::vector<std::string>* names) {
  names->clear();
  WIN32_FIND_DATAA found;
  win32::OwnedFind find(FindFirstFileA(pattern.c_str(), &found));
  if (!find) return;
  do {
    if ((found.dwFileAttributes & kNotOrdinary) == 0) names->push_back(found.cFileName);
  } while (FindNextFileA(find.Get(), &found));
}

namespace {

// Wide text as the system's own zero-terminated UTF-16 (a std::string's
// buffer is aligned for it).
std::string Terminated(const std::string& wide) { return wide + std::string(2, '\0'); }

LPCWSTR Ptr(const std::string& w) { return reinterpret_cast<LPCWSTR>(w.data()); }

// "\\?\" and the folder made absolute, then the name untouched: only the
// folder goes through the system's normalisation.
bool ExactPath(const win32::WideApi& w, const std::string& folder, const std::string& name,
               std::string* out) {
  const std::string f = Terminated(folder);
  const DWORD n = w.GetFullPathNameW(Ptr(f), 0, 0, 0);
  if (n == 0) return false;
  std::string buffer(2 * (n + 1), '\0');
  if (w.GetFullPathNameW(Ptr(f), n + 1, reinterpret_cast<LPWSTR>(&buffer[0]), 0) == 0)
    return false;
  const LPCWSTR full = Ptr(buffer);
  std::string path;
  const char* prefix = "\\\\?\\";
  size_t skip = 0;
  if (full[0] == '\\' && full[1] == '\\') {
    // Already a \\?\ path, or a share: \\?\UNC\server\share.
    if (full[2] == '?' || full[2] == '.') prefix = "";
    else {
      prefix = "\\\\?\\UNC";
      skip = 1;
    }
  }
  for (const char* p = prefix; *p; ++p) AppendWide(&path, static_cast<WCHAR>(*p));
  for (size_t i = skip; full[i] != 0; ++i) AppendWide(&path, full[i]);
  if (WideUnits(path) == 0 || WideAt(path, WideUnits(path) - 1) != '\\') AppendWide(&path, '\\');
  *out = Terminated(path + name);
  return true;
}

}  // namespace

bool ListOrdinaryFilesW(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  const win32::WideApi& w = win32::Wide();
  if (!w.nt) return false;
  std::string pattern = folder;
  for (const char* p = "\\*.*"; *p; ++p) AppendWide(&pattern, static_cast<WCHAR>(*p));
  WIN32_FIND_DATAW found;
  win32::OwnedFind find(w.FindFirstFileW(Ptr(Terminated(pattern)), &found));
  if (!find) return true;
  do {
    if ((found.dwFileAttributes & kNotOrdinary) == 0) {
      size_t n = 0;
      while (n < MAX_PATH && found.cFileName[n] != 0) ++n;
      names->push_back(std::string(reinterpret_cast<const char*>(found.cFileName), n * 2));
    }
  } while (w.FindNextFileW(find.Get(), &found));
  return true;
}

bool DeleteFileW(const std::string& folder, const std::string& name, uint32_t* error) {
  const win32::WideApi& w = win32::Wide();
  std::string path;
  if (!w.nt || !ExactPath(w, folder, name, &path)) return Failed(error, ERROR_INVALID_NAME);
  const DWORD code = w.DeleteFileW(Ptr(path)) ? NO_ERROR : GetLastError();
  if (w.GetFileAttributesW(Ptr(path)) == INVALID_FILE_ATTRIBUTES) {
    const DWORD now = GetLastError();
    if (now == ERROR_FILE_NOT_FOUND || now == ERROR_PATH_NOT_FOUND) return true;
  }
  return Failed(error, code);
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
}

std::string SystemFolder() {
  char path[MAX_PATH];
  const UINT n = GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path, n < MAX_PATH ? n : 0);
}

std::string ProgramCommand() {
  char command[MAX_PATH + 2];
  const DWORD n = GetModuleFileNameA(0, command + 1, MAX_PATH);
  command[0] = command[n + 1] = '"';
  return std::string(command, n < MAX_PATH ? n + 2 : 0);
}

bool CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), 0) != FALSE; }

bool DeleteFileA(const std::string& path, uint32_t* error) {
  const DWORD code = ::DeleteFileA(path.c_str()) ? NO_ERROR : GetLastError();
  // What counts is whether the file is gone: a file already missing is, one
  // marked for deletion while another program holds it open is not yet.
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    const DWORD now = GetLastError();
    if (now == ERROR_FILE_NOT_FOUND || now == ERROR_PATH_NOT_FOUND) return true;
  }
  return Failed(error, code);
}

void FileCloser::Close(intptr_t file) { CloseHandle(reinterpret_cast<HANDLE>(file)); }

bool RecordFile::Open(const std::string& path, uint32_t recordLength, uint32_t* error) {
  Close();
  if (recordLength == 0) return Failed(error, ERROR_INVALID_PARAMETER);
  win32::OwnedFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, 0, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, 0));
  if (!file) return Failed(error, GetLastError());
  handle_.Reset(reinterpret_cast<intptr_t>(file.Release()));
  recordLength_ = recordLength;
  return true;
}

uint32_t RecordFile::RecordCount() {
  if (!handle_) return 0;
  DWORD high = 0;
  DWORD low = GetFileSize(Handle(handle_), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  // Records are reached by 32-bit offsets; 32-bit division also keeps a
  // libgcc helper out of the program.
  if (high != 0) return 0xFFFFFFFFu / recordLength_;
  return low / recordLength_ + (low % recordLength_ != 0 ? 1 : 0);
}

bool RecordFile::ReadRecord(uint32_t n, char* buf, uint32_t count) {
  if (!handle_) return false;
  ZeroMemory(buf, recordLength_ * count);
  DWORD got = 0;
  return Seek(Handle(handle_), n, recordLength_) &&
         ReadFile(Handle(handle_), buf, recordLength_ * count, &got, 0);
}

bool RecordFile::WriteRecord(uint32_t n, const char* buf, uint32_t* error) {
  if (!handle_) return Failed(error, ERROR_INVALID_HANDLE);
  DWORD put = 0;
  if (!Seek(Handle(handle_), n, recordLength_) ||
      !WriteFile(Handle(handle_), buf, recordLength_, &put, 0))
    return Failed(error, GetLastError());
  if (put != recordLength_) return Failed(error, ERROR_DISK_FULL);
  return true;
}

}  // namespace plat
