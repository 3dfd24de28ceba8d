#include "tests/common/support.h"

#include "platform/regedit4.h"
#include "platform/registry.h"

#ifdef _WIN32
#include <stdlib.h>
#else
#include "platform/posix/standin.h"
#endif

#ifndef CENTINELA_FIXTURES_DIR
#error "CENTINELA_FIXTURES_DIR names the folder of the .reg fixtures"
#endif

namespace support {

const char kSandbox[] = "Software\\CentinelaTest";

#ifdef _WIN32

void ResetTestKeys() {
  plat::DeleteRegTree(plat::RootKey(plat::kHkeyCurrentUser), kSandbox, 0);
  plat::DeleteRegTree(plat::RootKey(plat::kHkeyLocalMachine), kSandbox, plat::kKeyWow64_32Key);
  plat::DeleteRegTree(plat::RootKey(plat::kHkeyLocalMachine), kSandbox, plat::kKeyWow64_64Key);
}

bool ImportRegFixture(const std::string& name) {
  // "regedit.exe" alone finds the one of our own bitness (the system folder
  // comes first in the path), so HKLM\Software lands in the view that this
  // test program reads by default.
  const std::string fixture = std::string(CENTINELA_FIXTURES_DIR) + "\\" + name;
  return system(("regedit.exe /s \"" + fixture + "\"").c_str()) == 0;
}

#else

void ResetTestKeys() { plat::standin::ResetRegistry(); }

bool ImportRegFixture(const std::string& name) {
  return plat::standin::LoadRegFile(std::string(CENTINELA_FIXTURES_DIR) + "/" + name);
}

#endif

}  // namespace support
