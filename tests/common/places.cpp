#include "tests/common/places.h"

#include <stdio.h>

#include "core/texts.h"
#include "platform/files.h"
#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/standin.h"
#endif

namespace places {
namespace {

plat::REGSAM ViewFlag(RegView view) {
  if (view == kRegView64) return plat::kKeyWow64_64Key;
  if (view == kRegView32) return plat::kKeyWow64_32Key;
  return 0;
}

plat::HKEY OpenKey(int32_t root, const std::string& key, RegView view, bool create) {
  plat::HKEY k = 0;
  const plat::REGSAM sam = plat::kKeyAllAccess | ViewFlag(view);
  if (create)
    plat::RegCreateKeyExA(plat::RootKey(root), key.c_str(), 0, 0, 0, sam, 0, &k, 0);
  else
    plat::RegOpenKeyExA(plat::RootKey(root), key.c_str(), 0, sam, &k);
  return k;
}

plat::UNICODE_STRING Counted(std::string* wide) {
  const uint16_t n = static_cast<uint16_t>(wide->size());
  wide->append(2, '\0');
  plat::UNICODE_STRING u = {n, n, reinterpret_cast<plat::WCHAR*>(&(*wide)[0])};
  return u;
}

// Values by their exact names, so that a value no ANSI name reaches goes as
// well.
void ClearKeyValues(int32_t root, const char* key, RegView view) {
  plat::HKEY k = OpenKey(root, key, view, false);
  for (int guard = 0; k != 0 && guard < 100000; ++guard) {
    std::string name(2 * 16384, '\0');
    plat::DWORD chars = 16384;
    if (plat::RegEnumValueW(k, 0, reinterpret_cast<plat::WCHAR*>(&name[0]), &chars, 0, 0, 0, 0) !=
        plat::kErrorSuccess)
      break;
    name.resize(2 * chars);
    plat::UNICODE_STRING u = Counted(&name);
    if (plat::NtDeleteValueKey(k, &u) != plat::kStatusSuccess) break;
  }
  plat::RegCloseKey(k);
}

std::string Wide(const std::string& ansi) { return plat::WideFromAnsi(ansi); }

bool Exists(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f) fclose(f);
  return f != 0;
}

void WriteWhole(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

#ifdef _WIN32
const char kTop[] = "C:\\centinela-tests";
const char kStartup[] = "C:\\centinela-tests\\Inicio";

std::string Local(const std::string& windowsPath) { return windowsPath; }
void MakeDir(const std::string& path) { CreateDirectoryA(path.c_str(), 0); }

void RemoveTree(const std::string& dir) {
  // Names the ANSI functions cannot give ("foo." among them) first.
  std::vector<std::string> names;
  plat::ListOrdinaryFilesW(Wide(dir), &names);
  for (size_t i = 0; i < names.size(); ++i) plat::DeleteFileW(Wide(dir), names[i], 0);
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
  for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &found)) {
    const std::string name = found.cFileName, path = dir + "\\" + name;
    if (name == "." || name == "..") continue;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      RemoveTree(path);
    else
      DeleteFileA(path.c_str());
  }
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  RemoveDirectoryA(dir.c_str());
}
#else
const char kTop[] = "c:\\Documents";
const char kStartup[] = "c:\\Documents\\Inicio";

std::string Local(const std::string& windowsPath) { return plat::standin::MapPath(windowsPath); }

void MakeDir(const std::string& windowsPath) {
  const std::string path = Local(windowsPath);
  for (size_t i = 1; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }
void RemoveTree(const std::string& windowsPath) {
  nftw(Local(windowsPath).c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// One temporary root for the whole test run, removed when the run ends.
struct Root {
  Root() {
    char pattern[] = "/tmp/centinela-places-XXXXXX";
    if (mkdtemp(pattern)) path = pattern;
  }
  ~Root() { nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); }
  std::string path;
} g_root;
#endif

std::string InStartup(const std::string& name) { return std::string(kStartup) + "\\" + name; }
std::string Beside(const std::string& name) { return std::string(kTop) + "\\" + name; }

}  // namespace

void Reset() {
#ifndef _WIN32
  plat::standin::ResetRegistry();
  plat::standin::ResetFiles();
  plat::standin::SetTwoViews(true);
  plat::standin::SetFileRoot(g_root.path);
  MakeDir("c:\\windows");
#endif
  for (int32_t root : {plat::kHkeyLocalMachine, plat::kHkeyCurrentUser})
    for (const char* key : {txt::kRunKey, txt::kRunServicesKey})
      for (RegView view : {kRegViewDefault, kRegView64, kRegView32})
        if (view == kRegViewDefault || plat::RegHasTwoViews()) ClearKeyValues(root, key, view);
  RemoveTree(kTop);
  MakeDir(kTop);
  MakeDir(kStartup);
  SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue, kStartup);
  SetOpenCommand(txt::kStandardOpenCommand);
  remove(Local(txt::kDataFile).c_str());
}

std::string StartupFolder() { return kStartup; }
void AddStartupFile(const std::string& name) { WriteWhole(Local(InStartup(name)), "x"); }
bool StartupFileExists(const std::string& name) { return Exists(Local(InStartup(name))); }
void AddStartupFolder(const std::string& name) { MakeDir(InStartup(name)); }
void AddFileBesideStartup(const std::string& name) { WriteWhole(Local(Beside(name)), "x"); }
bool FileBesideStartupExists(const std::string& name) { return Exists(Local(Beside(name))); }

void SetValueW(int32_t root, const std::string& key, const std::string& wideName, uint32_t type,
               const std::string& bytes) {
  plat::HKEY k = OpenKey(root, key, kRegViewDefault, true);
  std::string name = wideName;
  plat::UNICODE_STRING u = Counted(&name);
  plat::NtSetValueKey(k, &u, 0, type, bytes.data(), static_cast<plat::DWORD>(bytes.size()));
  plat::RegCloseKey(k);
}

void AddStartupFileW(const std::string& wideName) {
#ifdef _WIN32
  std::string path = Wide(std::string("\\\\?\\") + kStartup + "\\") + wideName;
  path.append(2, '\0');
  HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(path.data()), GENERIC_WRITE, 0, 0, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, 0);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
#else
  WriteWhole(plat::standin::MapWidePath(Wide(std::string(kStartup) + "\\") + wideName), "x");
#endif
}

std::vector<std::string> Snapshot(int32_t root, const std::string& key) {
  std::vector<std::string> all;
  plat::HKEY k = OpenKey(root, key, kRegViewDefault, false);
  for (plat::DWORD i = 0; k != 0; ++i) {
    std::string name(2 * 16384, '\0');
    std::string data(4 * 1024 * 1024, '\0');
    plat::DWORD chars = 16384, size = static_cast<plat::DWORD>(data.size()), type = 0;
    if (plat::RegEnumValueW(k, i, reinterpret_cast<plat::WCHAR*>(&name[0]), &chars, 0, &type,
                            reinterpret_cast<plat::BYTE*>(&data[0]), &size) != plat::kErrorSuccess)
      break;
    all.push_back("value " + name.substr(0, 2 * chars) + " = " + data.substr(0, size));
  }
  plat::RegCloseKey(k);
  std::vector<std::string> files;
  plat::ListOrdinaryFilesW(Wide(kStartup), &files);
  for (size_t i = 0; i < files.size(); ++i) all.push_back("file " + files[i]);
  return all;
}

void GrowDataFile(uint64_t bytes) {
#ifdef _WIN32
  HANDLE h = CreateFileA(txt::kDataFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
  LONG high = static_cast<LONG>(bytes >> 32);
  SetFilePointer(h, static_cast<LONG>(bytes & 0xFFFFFFFFu), &high, FILE_BEGIN);
  SetEndOfFile(h);
  CloseHandle(h);
#else
  if (truncate(Local(txt::kDataFile).c_str(), static_cast<off_t>(bytes)) != 0) return;
#endif
}

void SetValue(int32_t root, const std::string& key, const std::string& name, uint32_t type,
              const std::string& bytes, RegView view) {
  plat::HKEY k = OpenKey(root, key, view, true);
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

std::string ViewTag(RegView view) {
  if (!plat::RegHasTwoViews()) return "";
  return view == kRegView32 ? txt::kView32 : txt::kView64;
}

RegView MachineView() { return plat::RegHasTwoViews() ? kRegView64 : kRegViewDefault; }

std::string DataFileBytes() {
  std::string bytes;
  FILE* f = fopen(Local(txt::kDataFile).c_str(), "rb");
  if (!f) return bytes;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
  fclose(f);
  return bytes;
}

void WriteDataFileBytes(const std::string& bytes) { WriteWhole(Local(txt::kDataFile), bytes); }

}  // namespace places
