#include "core/regprocs.h"

#include "core/strutil.h"
#include "core/texts.h"

namespace {

const char kHexUpper[] = "0123456789ABCDEF";

// Data as text, by type. The enumeration shows binary data like a string.
std::string DataText(plat::DWORD type, const std::string& buf, plat::DWORD size, bool enumerating) {
  if (type == plat::kRegDword) {
    // The first four bytes of the (zero-filled) buffer, even if fewer came.
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(buf[i]);
    std::string digits = DecimalText(v);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return digits;
  }
  std::string text;
  if (type == plat::kRegBinary && !enumerating) {
    for (plat::DWORD i = 0; i < size; ++i) {
      const unsigned char b = static_cast<unsigned char>(buf[i]);
      text += kHexUpper[b >> 4];
      text += kHexUpper[b & 15];
    }
    return text;
  }
  // Strings lose their last byte, their terminating zero when they have one.
  if (size > 0) text.assign(buf, 0, size - 1);
  return text;
}

// A zero-filled buffer of `size` bytes, never shorter than a REG_DWORD.
std::string DataBuffer(plat::DWORD size) { return std::string(size < 4 ? 4 : size, '\0'); }

plat::BYTE* Bytes(std::string* buf) { return reinterpret_cast<plat::BYTE*>(&(*buf)[0]); }

}  // namespace

RegKey& RegKey::operator=(RegKey&& other) {
  if (this != &other) {
    Close();
    key_ = other.key_;
    other.key_ = 0;
  }
  return *this;
}

bool RegKey::Open(int32_t root, const std::string& subKey, RegView view, plat::REGSAM access,
                  plat::LONG* status) {
  Close();
  plat::LONG code;
  if (view == kRegViewDefault) {
    code = plat::RegOpenKeyA(plat::RootKey(root), subKey.c_str(), &key_);
  } else {
    const plat::REGSAM flag = view == kRegView64 ? plat::kKeyWow64_64Key : plat::kKeyWow64_32Key;
    code = plat::RegOpenKeyExA(plat::RootKey(root), subKey.c_str(), 0, access | flag, &key_);
  }
  if (code != plat::kErrorSuccess) key_ = 0;
  if (status) *status = code;
  return key_ != 0;
}

void RegKey::Close() {
  if (key_ != 0) plat::RegCloseKey(key_);
  key_ = 0;
}

std::string ReadRegValue(int32_t root, const std::string& subKey, const std::string& valueName,
                         RegView view) {
  RegKey key;
  key.Open(root, subKey, view);  // a failed open leaves a null handle, and the query fails
  std::string data = DataBuffer(kRegDataBytes);
  plat::DWORD type = 0;
  plat::DWORD size = kRegDataBytes;
  if (plat::RegQueryValueExA(key.Handle(), valueName.c_str(), 0, &type, Bytes(&data), &size) !=
      plat::kErrorSuccess)
    return txt::kNotFound;
  return DataText(type, data, size, false);
}

RegEnumResult EnumValueAt(const RegKey& key, uint32_t index, uint32_t nameChars, uint32_t dataBytes,
                          EnumStatus* status) {
  RegEnumResult result;
  result.data = txt::kNotFound;
  std::string name(nameChars > 0 ? nameChars : 1, '\0');
  plat::DWORD nameLength = nameChars;
  plat::DWORD capacity = dataBytes;
  plat::LONG code = plat::kErrorSuccess;
  if (dataBytes > kRegDataBytes) {
    // Large buffers are sized by what the value needs, not allocated whole.
    plat::DWORD needed = 0;
    code = plat::RegEnumValueA(key.Handle(), index, &name[0], &nameLength, 0, 0, 0, &needed);
    if (code == plat::kErrorSuccess && needed < capacity) capacity = needed;
    nameLength = nameChars;
  }
  std::string data;
  plat::DWORD type = 0;
  plat::DWORD size = capacity;
  if (code == plat::kErrorSuccess) {
    data = DataBuffer(capacity);
    code = plat::RegEnumValueA(key.Handle(), index, &name[0], &nameLength, 0, &type, Bytes(&data),
                               &size);
  }
  EnumStatus outcome = code == plat::kErrorMoreData ? kEnumUnreadable : kEnumNoMore;
  if (code == plat::kErrorSuccess) {
    outcome = kEnumOk;
    result.type = static_cast<int32_t>(type);
    result.name.assign(name, 0, nameLength);
    result.data = DataText(type, data, size, true);
  }
  if (status) *status = outcome;
  return result;
}

RegEnumResult EnumRegValue(int32_t root, const std::string& subKey, uint32_t index,
                           EnumStatus* status, RegView view) {
  RegKey key;
  key.Open(root, subKey, view);
  return EnumValueAt(key, index, kRegNameChars, kRegDataBytes, status);
}

void WriteRegValue(int32_t root, const std::string& subKey, const std::string& valueName,
                   uint32_t type, const std::string& data) {
  plat::HKEY key = 0;
  plat::RegCreateKeyA(plat::RootKey(root), subKey.c_str(), &key);
  if (type == plat::kRegDword) {
    int32_t number = 0;
    if (ParseInt32(data, &number)) {
      const uint32_t v = static_cast<uint32_t>(number);
      const plat::BYTE bytes[4] = {static_cast<plat::BYTE>(v), static_cast<plat::BYTE>(v >> 8),
                                   static_cast<plat::BYTE>(v >> 16),
                                   static_cast<plat::BYTE>(v >> 24)};
      plat::RegSetValueExA(key, valueName.c_str(), 0, plat::kRegDword, bytes, 4);
    }
  } else {
    // Windows NT counts a terminator left out when one follows in memory;
    // storing it ourselves gives every registry the same, whole, text.
    std::string text = data;
    text.push_back('\0');
    plat::RegSetValueExA(key, valueName.c_str(), 0, plat::kRegSz,
                         reinterpret_cast<const plat::BYTE*>(text.data()),
                         static_cast<plat::DWORD>(text.size()));
  }
  plat::RegFlushKey(key);
  plat::RegCloseKey(key);
}

void DeleteRegValue(int32_t root, const std::string& subKey, const std::string& valueName,
                    RegView view) {
  RegKey key;
  key.Open(root, subKey, view, plat::kKeySetValue);
  plat::RegDeleteValueA(key.Handle(), valueName.c_str());
}
