#include "tests/common/places.h"

#include <stdio.h>

#include <fstream>
#include <iterator>

#include "core/texts.h"
#include "platform/files.h"
#include "tests/standin/regedit4.h"
#include "platform/registry.h"
#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ftw.h>
#include <stdlib.h>

#include "tests/standin/standin.h"
#endif

namespace places {
namespace {

const char kBase[] = "C:\\centinela-tests";
// The current test's Startup folder, new at every Reset.
std::string g_startup;
int g_next = 0;

plat::REGSAM ViewFlag(RegView view) {
  return view == kRegView64   ? plat::kKeyWow64_64Key
         : view == kRegView32 ? plat::kKeyWow64_32Key
                              : 0;
}

// Made when missing.
plat::HKEY OpenKey(int32_t root, const std::string& key, RegView view = kRegViewDefault) {
  plat::HKEY k = 0;
  plat::RegCreateKeyExA(plat::RootKey(root), key.c_str(), 0, 0, 0,
                        plat::kKeyAllAccess | ViewFlag(view), 0, &k, 0);
  return k;
}

void WriteWhole(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Wide(const std::string& ansi) { return plat::WideFromAnsi(ansi); }

#ifdef _WIN32
std::string Local(const std::string& windowsPath) { return windowsPath; }
#else
std::string Local(const std::string& windowsPath) { return plat::standin::MapPath(windowsPath); }

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }
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

}  // namespace

void Reset() {
#ifndef _WIN32
  plat::standin::ResetRegistry();
  plat::standin::ResetFiles();
  plat::standin::SetTwoViews(true);
  plat::standin::SetFileRoot(g_root.path);
  plat::CreateFolder("c:\\");
  plat::CreateFolder("c:\\windows");
  // Here the last test's folder goes too: a fuzzer resets once an input.
  nftw(Local(kBase).c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
#endif
  // Deleting the key takes every value, those no ANSI name reaches too.
  for (int32_t root : {plat::kHkeyLocalMachine, plat::kHkeyCurrentUser})
    for (const char* key : {txt::kRunKey, txt::kRunServicesKey})
      for (RegView view : {kRegViewDefault, kRegView64, kRegView32})
        if (view == kRegViewDefault || plat::RegHasTwoViews())
          plat::DeleteRegTree(plat::RootKey(root), key, ViewFlag(view));
  // A folder of its own for every test: nothing an earlier one left shows.
  plat::CreateFolder(kBase);
  std::string top;
  do top = std::string(kBase) + "\\" + std::to_string(g_next++);
  while (!plat::CreateFolder(top) && g_next < 1000000);
  g_startup = top + "\\Inicio";
  plat::CreateFolder(g_startup);
  SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue, g_startup);
  SetOpenCommand(txt::kStandardOpenCommand);
  remove(Local(txt::kDataFile).c_str());
}

std::string StartupFolder() { return g_startup; }
void AddFile(const std::string& path) { WriteWhole(Local(path), "x"); }
void AddStartupFolder(const std::string& name) { plat::CreateFolder(g_startup + "\\" + name); }

bool FileExists(const std::string& path) { return std::ifstream(Local(path)).good(); }

void SetValueW(int32_t root, const std::string& key, const std::string& wideName, uint32_t type,
               const std::string& bytes) {
  plat::HKEY k = OpenKey(root, key);
  std::string name = wideName + std::string(2, '\0');
  const uint16_t n = static_cast<uint16_t>(wideName.size());
  plat::UNICODE_STRING u = {n, n, reinterpret_cast<plat::WCHAR*>(&name[0])};
  plat::NtSetValueKey(k, &u, 0, type, bytes.data(), static_cast<plat::DWORD>(bytes.size()));
  plat::RegCloseKey(k);
}

void AddStartupFileW(const std::string& wideName) {
#ifdef _WIN32
  std::string path = Wide("\\\\?\\" + g_startup + "\\") + wideName + std::string(2, '\0');
  HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(path.data()), GENERIC_WRITE, 0, 0, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, 0);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
#else
  WriteWhole(plat::standin::MapWidePath(Wide(g_startup + "\\") + wideName), "x");
#endif
}

std::vector<std::string> Snapshot(int32_t root, const std::string& key) {
  std::vector<std::string> all;
  plat::HKEY k = OpenKey(root, key);
  std::string name(2 * 16384, '\0'), data(4 * 1024 * 1024, '\0');
  for (plat::DWORD i = 0; k != 0; ++i) {
    plat::DWORD chars = 16384, size = static_cast<plat::DWORD>(data.size()), type = 0;
    if (plat::RegEnumValueW(k, i, reinterpret_cast<plat::WCHAR*>(&name[0]), &chars, 0, &type,
                            reinterpret_cast<plat::BYTE*>(&data[0]), &size) != plat::kErrorSuccess)
      break;
    all.push_back("value " + name.substr(0, 2 * chars) + " = " + data.substr(0, size));
  }
  plat::RegCloseKey(k);
  std::vector<std::string> files;
  plat::ListOrdinaryFilesW(Wide(g_startup), &files);
  for (size_t i = 0; i < files.size(); ++i) all.push_back("file " + files[i]);
  return all;
}

void GrowDataFile(uint64_t bytes) {
  plat::RecordFile file;
  const std::string record(260, ' ');
  uint32_t error;
  if (file.Open(txt::kDataFile, 260, &error))
    file.WriteRecord(static_cast<uint32_t>(bytes / 260), record.data(), &error);
}

void SetValue(int32_t root, const std::string& key, const std::string& name, uint32_t type,
              const std::string& bytes, RegView view) {
  plat::HKEY k = OpenKey(root, key, view);
  plat::RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const plat::BYTE*>(bytes.data()),
                       static_cast<plat::DWORD>(bytes.size()));
  plat::RegCloseKey(k);
}

void SetString(int32_t root, const std::string& key, const std::string& name,
               const std::string& text, RegView view) {
  SetValue(root, key, name, plat::kRegSz, text + std::string(1, '\0'), view);
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
  std::ifstream in(Local(txt::kDataFile), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteDataFileBytes(const std::string& bytes) { WriteWhole(Local(txt::kDataFile), bytes); }

}  // namespace places
