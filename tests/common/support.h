// Test helpers that work alike natively (abstract registry, file stand-in)
// and under Wine (the real registry and file system).
#pragma once
#include <string>

namespace support {

// The keys the registry tests own, below HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE.
extern const char kSandbox[];

// Empties the sandbox keys in every view; natively the whole registry.
void ResetTestKeys();

// Loads tests/fixtures/<name>: natively with our REGEDIT4 reader, on Windows
// with the system's own "regedit /s", so both registries get the same data.
bool ImportRegFixture(const std::string& name);

// An empty folder of its own for one test, removed with its contents when
// the object goes. Path() is a Windows path for the platform functions.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string PathOf(const std::string& name) const { return path_ + "\\" + name; }

  bool WriteFile(const std::string& name, const std::string& bytes) const;
  bool ReadFile(const std::string& name, std::string* bytes) const;
  bool MakeFolder(const std::string& name) const;

 private:
  std::string path_;  // as the program sees it
  std::string host_;  // the same folder on the machine running the test
  std::string root_;  // what to remove at the end
};

}  // namespace support
