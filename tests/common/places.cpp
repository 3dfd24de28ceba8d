#include "tests/common/places.h"

#include <stdio.h>
#include <stdlib.h>

#include "core/texts.h"
#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/standin.h"
#endif

namespace places {
namespace {

const char kDataFile[] = "c:\\windows\\ximvar.dat";

plat::REGSAM ViewFlag(RegView view) {
  if (view == kRegView64) return plat::kKeyWow64_64Key;
  if (view == kRegView32) return plat::kKeyWow64_32Key;
  return 0;
}

void ClearKeyValues(int32_t root, const char* key, RegView view) {
  plat::HKEY k = 0;
  if (plat::RegOpenKeyExA(plat::RootKey(root), key, 0, plat::kKeyAllAccess | ViewFlag(view), &k) !=
      plat::kErrorSuccess)
    return;
  for (int guard = 0; guard < 100000; ++guard) {
    char name[16384];
    plat::DWORD chars = sizeof name;
    if (plat::RegEnumValueA(k, 0, name, &chars, 0, 0, 0, 0) != plat::kErrorSuccess) break;
    if (plat::RegDeleteValueA(k, name) != plat::kErrorSuccess) break;
  }
  plat::RegCloseKey(k);
}

std::string ReadWhole(const std::string& path) {
  std::string bytes;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  fclose(f);
  return bytes;
}

void WriteWhole(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

#ifdef _WIN32
const char kStartup[] = "C:\\centinela-tests\\Inicio";

std::string Local(const std::string& windowsPath) { return windowsPath; }

void MakeFolder() {
  CreateDirectoryA("C:\\centinela-tests", 0);
  CreateDirectoryA(kStartup, 0);
}

void EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + "\\" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      EmptyFolder(path);
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(h, &found));
  FindClose(h);
}
#else
const char kStartup[] = "c:\\Documents\\Inicio";

std::string Local(const std::string& windowsPath) { return plat::standin::MapPath(windowsPath); }

void MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

void MakeFolder() {
  MakeDirs(Local(kStartup));
  MakeDirs(Local("c:\\windows"));
}

void EmptyFolder(const std::string& windowsFolder) {
  std::string folder = Local(windowsFolder);
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string path = folder + "/" + name;
    if (unlink(path.c_str()) != 0) rmdir(path.c_str());
  }
  closedir(dir);
}

// One temporary root for the whole test run, removed when the run ends.
std::string g_root;

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

struct RootRemover {
  ~RootRemover() {
    if (!g_root.empty()) nftw(g_root.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  }
};
RootRemover g_rootRemover;

const std::string& Root() {
  if (g_root.empty()) {
    char pattern[] = "/tmp/centinela-places-XXXXXX";
    if (mkdtemp(pattern)) g_root = pattern;
  }
  return g_root;
}
#endif

}  // namespace

void Reset() {
#ifndef _WIN32
  plat::standin::ResetRegistry();
  plat::standin::ResetFiles();
  plat::standin::SetTwoViews(true);
  plat::standin::SetFileRoot(Root());
#endif
  const int32_t roots[] = {plat::kHkeyLocalMachine, plat::kHkeyCurrentUser};
  const char* keys[] = {txt::kRunKey, txt::kRunServicesKey};
  for (int r = 0; r < 2; ++r)
    for (int k = 0; k < 2; ++k) {
      ClearKeyValues(roots[r], keys[k], kRegViewDefault);
      if (plat::RegHasTwoViews()) {
        ClearKeyValues(roots[r], keys[k], kRegView64);
        ClearKeyValues(roots[r], keys[k], kRegView32);
      }
    }
  MakeFolder();
  EmptyFolder(kStartup);
  SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue, kStartup);
  SetOpenCommand(txt::kStandardOpenCommand);
  remove(Local(kDataFile).c_str());
}

std::string StartupFolder() { return kStartup; }

void AddStartupFile(const std::string& name) {
  WriteWhole(Local(std::string(kStartup) + "\\" + name), "x");
}

bool StartupFileExists(const std::string& name) {
  FILE* f = fopen(Local(std::string(kStartup) + "\\" + name).c_str(), "rb");
  if (f) fclose(f);
  return f != 0;
}

std::string Beside(const std::string& name) {
  const std::string folder = kStartup;
  return Local(folder.substr(0, folder.rfind('\\')) + "\\" + name);
}

void AddFileBesideStartup(const std::string& name) { WriteWhole(Beside(name), "x"); }

bool FileBesideStartupExists(const std::string& name) {
  FILE* f = fopen(Beside(name).c_str(), "rb");
  if (f) fclose(f);
  return f != 0;
}

void RemoveStartupValue() {
  plat::HKEY k = 0;
  plat::RegOpenKeyA(plat::RootKey(plat::kHkeyCurrentUser), txt::kShellFoldersKey, &k);
  plat::RegDeleteValueA(k, txt::kStartupValue);
  plat::RegCloseKey(k);
}

void SetValue(int32_t root, const std::string& key, const std::string& name, uint32_t type,
              const std::string& bytes, RegView view) {
  plat::HKEY k = 0;
  plat::RegCreateKeyExA(plat::RootKey(root), key.c_str(), 0, 0, 0,
                        plat::kKeyAllAccess | ViewFlag(view), 0, &k, 0);
  plat::RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const plat::BYTE*>(bytes.data()),
                       static_cast<plat::DWORD>(bytes.size()));
  plat::RegCloseKey(k);
}

void SetString(int32_t root, const std::string& key, const std::string& name,
               const std::string& text, RegView view) {
  SetValue(root, key, name, plat::kRegSz, text + std::string(1, '\0'), view);
}

bool ValueExists(int32_t root, const std::string& key, const std::string& name, RegView view) {
  plat::HKEY k = 0;
  if (plat::RegOpenKeyExA(plat::RootKey(root), key.c_str(), 0,
                          plat::kKeyQueryValue | ViewFlag(view), &k) != plat::kErrorSuccess)
    return false;
  plat::DWORD size = 0;
  bool exists = plat::RegQueryValueExA(k, name.c_str(), 0, 0, 0, &size) == plat::kErrorSuccess;
  plat::RegCloseKey(k);
  return exists;
}

void SetOpenCommand(const std::string& command) {
  SetString(plat::kHkeyClassesRoot, txt::kOpenCommandKey, "", command);
}

std::string OpenCommand() {
  return ReadRegValue(plat::kHkeyClassesRoot, txt::kOpenCommandKey, "");
}

std::string ViewTag(RegView view) {
  if (!plat::RegHasTwoViews()) return "";
  return view == kRegView32 ? txt::kView32 : txt::kView64;
}

RegView MachineView() { return plat::RegHasTwoViews() ? kRegView64 : kRegViewDefault; }

std::string DataFileBytes() { return ReadWhole(Local(kDataFile)); }

void WriteDataFileBytes(const std::string& bytes) { WriteWhole(Local(kDataFile), bytes); }

}  // namespace places
