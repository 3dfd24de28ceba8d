#include "tests/common/support.h"

#include <stdio.h>

#include <algorithm>

#include "platform/regedit4.h"
#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/standin.h"
#endif

#ifndef CENTINELA_FIXTURES_DIR
#error "CENTINELA_FIXTURES_DIR names the folder of the .reg fixtures"
#endif

namespace support {

const char kSandbox[] = "Software\\CentinelaTest";

namespace {

#ifdef _WIN32
const char kSeparator = '\\';
int g_folders = 0;  // makes every temporary folder's name unique

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = dir + "\\" + name;
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full);
      else
        DeleteFileA(full.c_str());
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}
#else
const char kSeparator = '/';

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }
#endif

// A name below the folder ("sub\\f.txt") on the machine running the test.
std::string HostName(std::string name) {
  std::replace(name.begin(), name.end(), '\\', kSeparator);
  return name;
}

}  // namespace

#ifdef _WIN32

void ResetTestKeys() {
  plat::DeleteRegTree(plat::RootKey(plat::kHkeyCurrentUser), kSandbox, 0);
  plat::DeleteRegTree(plat::RootKey(plat::kHkeyLocalMachine), kSandbox, plat::kKeyWow64_32Key);
  plat::DeleteRegTree(plat::RootKey(plat::kHkeyLocalMachine), kSandbox, plat::kKeyWow64_64Key);
}

bool ImportRegFixture(const std::string& name) {
  const std::string file = std::string(CENTINELA_FIXTURES_DIR) + "\\" + name;
  if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  // "regedit.exe" alone finds the one of our own bitness (the system folder
  // is searched before the Windows folder), so HKLM\Software lands in the
  // view that this test program reads by default.
  std::string command = "regedit.exe /s \"" + file + "\"";
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(0, &command[0], 0, 0, FALSE, 0, 0, 0, &startup, &process)) return false;
  const bool done = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return done && code == 0;
}

TempFolder::TempFolder() {
  char temp[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof temp, temp);
  std::string base = n > 0 && n < sizeof temp ? std::string(temp, n) : std::string("C:\\");
  if (base[base.size() - 1] != '\\') base += '\\';
  path_ = base + "centinela-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++g_folders);
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), 0);
  host_ = root_ = path_;
}

TempFolder::~TempFolder() { RemoveTree(root_); }

bool TempFolder::MakeFolder(const std::string& name) const {
  return CreateDirectoryA(PathOf(name).c_str(), 0) != 0;
}

#else

void ResetTestKeys() { plat::standin::ResetRegistry(); }

bool ImportRegFixture(const std::string& name) {
  return plat::standin::LoadRegFile(std::string(CENTINELA_FIXTURES_DIR) + "/" + name);
}

TempFolder::TempFolder() {
  char pattern[] = "/tmp/centinela-XXXXXX";
  if (mkdtemp(pattern) != 0) root_ = pattern;
  plat::standin::SetFileRoot(root_);
  plat::standin::ResetFiles();
  path_ = "c:\\temp";
  host_ = root_ + "/c/temp";
  mkdir((root_ + "/c").c_str(), 0755);
  mkdir(host_.c_str(), 0755);
}

TempFolder::~TempFolder() {
  if (!root_.empty()) nftw(root_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  plat::standin::SetFileRoot(std::string());
}

bool TempFolder::MakeFolder(const std::string& name) const {
  return mkdir((host_ + "/" + HostName(name)).c_str(), 0755) == 0;
}

#endif

bool TempFolder::WriteFile(const std::string& name, const std::string& bytes) const {
  FILE* f = fopen((host_ + kSeparator + HostName(name)).c_str(), "wb");
  if (f == 0) return false;
  const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

bool TempFolder::ReadFile(const std::string& name, std::string* bytes) const {
  FILE* f = fopen((host_ + kSeparator + HostName(name)).c_str(), "rb");
  if (f == 0) return false;
  bytes->clear();
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) bytes->append(chunk, got);
  fclose(f);
  return true;
}

}  // namespace support
