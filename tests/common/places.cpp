#include "tests/common/places.h"

#include "core/texts.h"
#include "platform/files.h"
#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "tests/standin/standin.h"
#endif

namespace places {
namespace {

const char kBase[] = "c:\\centinela-tests";
// The current test's Startup folder, new at every Reset.
std::string g_startup;
int g_next = 0;

// Made when missing.
plat::OwnedKey OpenKey(int32_t root, const std::string& key, RegView view = kRegViewDefault) {
  const plat::REGSAM flags[] = {0, plat::kKeyWow64_64Key, plat::kKeyWow64_32Key};  // by view
  plat::HKEY k = 0;
  plat::RegCreateKeyExA(plat::RootKey(root), key.c_str(), 0, 0, 0,
                        plat::kKeyAllAccess | flags[view], 0, &k, 0);
  return plat::OwnedKey(k);
}

plat::UNICODE_STRING Counted(std::string* wide) {
  const uint16_t n = static_cast<uint16_t>(wide->size());
  wide->append(2, '\0');
  return plat::UNICODE_STRING{n, n, reinterpret_cast<plat::WCHAR*>(&(*wide)[0])};
}

// Each value of the key as its exact name and its data.
std::vector<std::pair<std::string, std::string> > Values(const plat::OwnedKey& k) {
  std::vector<std::pair<std::string, std::string> > all;
  std::string name(2 * 16384, '\0'), data(4 * 1024 * 1024, '\0');
  for (plat::DWORD i = 0;; ++i) {
    plat::DWORD chars = 16384, size = static_cast<plat::DWORD>(data.size());
    if (plat::RegEnumValueW(k.Get(), i, reinterpret_cast<plat::WCHAR*>(&name[0]), &chars, 0, 0,
                            reinterpret_cast<plat::BYTE*>(&data[0]), &size) != plat::kErrorSuccess)
      return all;
    all.emplace_back(name.substr(0, 2 * chars), data.substr(0, size));
  }
}

std::string Wide(const std::string& ansi) { return plat::WideFromAnsi(ansi); }

}  // namespace

void Reset() {
#ifdef _WIN32
  // Every value goes by its exact name, those no ANSI name reaches too.
  for (int32_t root : {plat::kHkeyLocalMachine, plat::kHkeyCurrentUser})
    for (const char* key : {txt::kRunKey, txt::kRunServicesKey})
      for (RegView view : {kRegViewDefault, kRegView64, kRegView32}) {
        const plat::OwnedKey k = OpenKey(root, key, view);
        for (auto& value : Values(k)) {
          plat::UNICODE_STRING u = Counted(&value.first);
          plat::NtDeleteValueKey(k.Get(), &u);
        }
      }
#else
  plat::standin::ResetRegistry();
  plat::standin::ResetFiles();
  plat::CreateFolder("c:\\windows");
#endif
  // A folder of its own for every test: nothing an earlier one left shows.
  plat::CreateFolder(kBase);
  std::string top;
  do top = std::string(kBase) + "\\" + std::to_string(g_next++);
  while (!plat::CreateFolder(top) && g_next < 1000000);
  g_startup = top + "\\Inicio";
  plat::CreateFolder(g_startup);
  SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue, g_startup);
  SetOpenCommand(txt::kStandardOpenCommand);
  uint32_t error;
  plat::DeleteFileA(txt::kDataFile, &error);
}

std::string StartupFolder() { return g_startup; }

void SetValue(int32_t root, const std::string& key, const std::string& name, uint32_t type,
              const std::string& bytes, RegView view) {
  // A byte other than zero after the data keeps Windows NT from adding a
  // terminator of its own to a string.
  const std::string buffer = bytes + "X";
  plat::RegSetValueExA(OpenKey(root, key, view).Get(), name.c_str(), 0, type,
                       reinterpret_cast<const plat::BYTE*>(buffer.data()),
                       static_cast<plat::DWORD>(bytes.size()));
}

void SetValueW(int32_t root, const std::string& key, const std::string& wideName, uint32_t type,
               const std::string& bytes) {
  std::string name = wideName;
  plat::UNICODE_STRING u = Counted(&name);
  plat::NtSetValueKey(OpenKey(root, key).Get(), &u, 0, type, bytes.data(),
                      static_cast<plat::DWORD>(bytes.size()));
}

void AddStartupFileW(const std::string& wideName) {
#ifdef _WIN32
  std::string path = Wide("\\\\?\\" + g_startup + "\\") + wideName + std::string(2, '\0');
  CloseHandle(CreateFileW(reinterpret_cast<LPCWSTR>(path.data()), GENERIC_WRITE, 0, 0, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, 0));
#else
  plat::standin::Disk().files[plat::AnsiFromWide(Wide(g_startup + "\\") + wideName, 0)] = "x";
#endif
}

std::vector<std::string> Snapshot(int32_t root, const std::string& key) {
  std::vector<std::string> all;
  for (const auto& value : Values(OpenKey(root, key)))
    all.push_back("value " + value.first + " = " + value.second);
  std::vector<std::string> files;
  plat::ListOrdinaryFilesW(Wide(g_startup), &files);
  for (const std::string& file : files) all.push_back("file " + file);
  return all;
}

std::string DataFileBytes() {
  plat::RecordFile file;
  uint32_t error;
  if (!plat::FileExists(txt::kDataFile) || !file.Open(txt::kDataFile, 1, &error)) return "";
  std::string bytes(file.RecordCount(), '\0');
  if (!bytes.empty()) file.ReadRecord(1, &bytes[0], static_cast<uint32_t>(bytes.size()));
  return bytes;
}

// Anew, as the bytes the record file holds.
void WriteDataFileBytes(const std::string& bytes, const std::string& path) {
  plat::RecordFile file;
  uint32_t error;
  plat::DeleteFileA(path, &error);
  if (file.Open(path, static_cast<uint32_t>(bytes.size()), &error) && !bytes.empty())
    file.WriteRecord(1, bytes.data(), &error);
}

}  // namespace places
