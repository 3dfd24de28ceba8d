// The six watched places as a test sets them up: natively on the stand-in
// registry and disk, under Wine on the prefix's real registry and a real
// Startup folder. Every test starts from empty places.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "core/regprocs.h"
#include "core/texts.h"
#include "platform/files.h"

namespace places {

// Text with its terminator, as a REG_SZ value holds it.
inline std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

// Empties the four watched keys (in every view), points "Startup" at a new
// empty folder, writes the standard open command, removes the data file.
void Reset();

// The Startup folder, as the registry names it (a Windows path).
std::string StartupFolder();
// Files by Windows path (the data file by default), and in the Startup
// folder by name.
void WriteDataFileBytes(const std::string& bytes, const std::string& path = txt::kDataFile);
inline void AddStartupFile(const std::string& name) {
  WriteDataFileBytes("x", StartupFolder() + "\\" + name);
}
inline bool StartupFileExists(const std::string& name) {
  return plat::FileExists(StartupFolder() + "\\" + name);
}

// Writes exactly these bytes as a value of any key, made when missing.
void SetValue(int32_t root, const std::string& key, const std::string& name, uint32_t type,
              const std::string& bytes, RegView view = kRegViewDefault);
inline void SetString(int32_t root, const std::string& key, const std::string& name,
                      const std::string& text, RegView view = kRegViewDefault) {
  SetValue(root, key, name, plat::kRegSz, Sz(text), view);
}
inline void SetOpenCommand(const std::string& command) {
  SetString(plat::kHkeyClassesRoot, txt::kOpenCommandKey, "", command);
}

// The view in which a machine-wide value written with `view` shows in the
// scan's hidden column ("" where the system has one view).
inline std::string ViewTag(RegView view) {
  return !plat::RegHasTwoViews() ? "" : view == kRegView32 ? txt::kView32 : txt::kView64;
}
// Machine-wide values go to the 64-bit view where there are two.
inline RegView MachineView() { return plat::RegHasTwoViews() ? kRegView64 : kRegViewDefault; }

// Values and files by exact name (wide text, platform/text.h), as hostile
// programs make them: a NUL in a name, characters outside the code page, a
// trailing dot or blank.
void SetValueW(int32_t root, const std::string& key, const std::string& wideName, uint32_t type,
               const std::string& bytes);
void AddStartupFileW(const std::string& wideName);
// Every value of the key (by view of the default open) and every file of the
// Startup folder, by exact name and with the values' data.
std::vector<std::string> Snapshot(int32_t root, const std::string& key);

// The data file's bytes.
std::string DataFileBytes();

}  // namespace places
