#include "ui/ayuda.h"

#include <string.h>

#include "core/monitor.h"
#include "core/texts.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace {

const plat::DWORD kBufferChars = 1024;
const char kDigits[] = "0123456789ABCDEF";

std::string HexDword(const plat::BYTE* bytes) {
  std::string text = "&h";
  for (int i = 3; i >= 0; --i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

}  // namespace

bool GetKeyValue(int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string* KeyVal) {
  plat::HKEY opened = 0;
  // Reading needs no more; asking for write rights fails for standard users.
  if (plat::RegOpenKeyExA(plat::RootKey(KeyRoot), KeyName.c_str(), 0, plat::kKeyQueryValue,
                          &opened) != plat::kErrorSuccess) {
    KeyVal->clear();
    return false;
  }
  const plat::OwnedKey key(opened);
  plat::BYTE buffer[kBufferChars];
  memset(buffer, 0, sizeof buffer);
  plat::DWORD size = kBufferChars;
  plat::DWORD type = 0;
  // Empty data has no character to keep: it counts as not found.
  if (plat::RegQueryValueExA(key.Get(), SubKeyRef.c_str(), 0, &type, buffer, &size) !=
          plat::kErrorSuccess ||
      size == 0) {
    KeyVal->clear();
    return false;
  }
  if (size > kBufferChars) size = kBufferChars;
  plat::DWORD keep = buffer[size - 1] == 0 ? size - 1 : size;
  if (type == plat::kRegSz)
    KeyVal->assign(reinterpret_cast<const char*>(buffer), keep);
  else if (type == plat::kRegDword && size >= 4)
    *KeyVal = HexDword(buffer);
  return true;
}

void StartSysInfo(plat::Desktop* desktop, Monitor* monitor) {
  std::string path;
  bool found = GetKeyValue(plat::kHkeyLocalMachine, txt::kMsinfoKey, txt::kMsinfoPathValue, &path);
  if (!found) {
    std::string folder;
    if (GetKeyValue(plat::kHkeyLocalMachine, txt::kMsinfoLocationKey, txt::kMsinfoLocationValue,
                    &folder)) {
      path = folder + txt::kMsinfoExe;
      found = plat::FileExists(path);
    }
  }
  if (found && desktop->StartProgram(path)) return;
  monitor->Caja(txt::kSysInfoNoDisponible, txt::kAppTitle, plat::kMbOk);
}
