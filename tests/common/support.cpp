#include "tests/common/support.h"

#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>
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
  // is searched before the Windows folder), so HKLM\Software lands in the
  // view that this test program reads by default.
  std::string command = "regedit.exe /s \"" + std::string(CENTINELA_FIXTURES_DIR) + "\\" + name + "\"";
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(0, &command[0], 0, 0, FALSE, 0, 0, 0, &startup, &process)) return false;
  DWORD code = 1;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0;
}

#else

void ResetTestKeys() { plat::standin::ResetRegistry(); }

bool ImportRegFixture(const std::string& name) {
  return plat::standin::LoadRegFile(std::string(CENTINELA_FIXTURES_DIR) + "/" + name);
}

#endif

}  // namespace support
