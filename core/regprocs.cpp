#include "core/regprocs.h"

#include "core/strutil.h"
#include "core/texts.h"

namespace {

const char kHexUpper[] = "0123456789ABCDEF";

// A REG_DWORD's four bytes, least significant first.
uint32_t Dword(const unsigned char* b) {
  return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}

// Data as text, by type. The enumeration shows binary data like a string.
std::string DataText(plat::DWORD type, const std::string& buf, plat::DWORD size, bool enumerating) {
  if (type == plat::kRegDword) {
    // The first four bytes of the (zero-filled) buffer, even if fewer came.
    std::string digits = DecimalText(Dword(reinterpret_cast<const unsigned char*>(buf.data())));
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

plat::REGSAM ViewFlag(RegView view) {
  return view == kRegView64 ? plat::kKeyWow64_64Key : plat::kKeyWow64_32Key;
}

// Registry key names are at most 255 characters.
const plat::DWORD kKeyNameChars = 256;

}  // namespace

bool RegKey::Open(int32_t root, const std::string& subKey, RegView view, plat::REGSAM access,
                  plat::LONG* status) {
  Close();
  plat::HKEY opened = 0;
  plat::LONG code;
  if (view == kRegViewDefault) {
    code = plat::RegOpenKeyA(plat::RootKey(root), subKey.c_str(), &opened);
  } else {
    code = plat::RegOpenKeyExA(plat::RootKey(root), subKey.c_str(), 0, access | ViewFlag(view),
                               &opened);
  }
  if (code == plat::kErrorSuccess) key_.Reset(opened);
  if (status) *status = code;
  return IsOpen();
}

bool RegKey::OpenBelow(const RegKey& parent, const Exacto& exacto, RegView view,
                       plat::REGSAM access, plat::LONG* status) {
  Close();
  const plat::REGSAM sam = access | (view == kRegViewDefault ? 0 : ViewFlag(view));
  plat::HKEY opened = 0;
  const std::string name = exacto.WideCero();
  const plat::LONG code = plat::RegOpenKeyExW(
      parent.Handle(), reinterpret_cast<const plat::WCHAR*>(name.data()), 0, sam, &opened);
  if (code == plat::kErrorSuccess) key_.Reset(opened);
  if (status) *status = code;
  return IsOpen();
}

bool RegKey::SubkeyAt(uint32_t index, Exacto* exacto) const {
  std::string name(kKeyNameChars * 2, '\0');
  plat::DWORD chars = kKeyNameChars;
  if (plat::RegEnumKeyExW(Handle(), index, reinterpret_cast<plat::WCHAR*>(&name[0]), &chars) !=
      plat::kErrorSuccess)
    return false;
  name.resize(chars * 2);
  *exacto = Exacto::DeWide(name);
  return true;
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

bool ReadRegValueAt(const RegKey& key, const char* valueName, std::string* text) {
  plat::DWORD type = 0, size = 0;
  const plat::LONG code = plat::RegQueryValueExA(key.Handle(), valueName, 0, &type, 0, &size);
  if (code != plat::kErrorSuccess && code != plat::kErrorMoreData) return false;
  std::string data = DataBuffer(size);
  *text = size <= kRegDataBytesMax && plat::RegQueryValueExA(key.Handle(), valueName, 0,
                                                             &type, Bytes(&data), &size) ==
                                          plat::kErrorSuccess
              ? DataText(type, data, size, false)
              : std::string(txt::kNotFound);
  if (type == plat::kRegMultiSz) {
    while (!text->empty() && (*text)[text->size() - 1] == '\0') text->resize(text->size() - 1);
    for (size_t i = 0; i < text->size(); ++i)
      if ((*text)[i] == '\0') (*text)[i] = ' ';
  }
  return true;
}

uint32_t ReadRegDword(const RegKey& key, const char* valueName) {
  plat::BYTE b[4] = {0, 0, 0, 0};
  plat::DWORD type = 0, size = 4;
  if (plat::RegQueryValueExA(key.Handle(), valueName, 0, &type, b, &size) != plat::kErrorSuccess ||
      type != plat::kRegDword)
    return 0;
  return Dword(b);
}

namespace {

bool IsString(plat::DWORD type) {
  return type == plat::kRegSz || type == plat::kRegExpandSz || type == plat::kRegMultiSz;
}

// The first read's data buffer: most values are short, and it grows once
// for a value that is not.
const uint32_t kFirstDataBytes = 4096;

}  // namespace

ValueReader::ValueReader(const RegKey& key, uint32_t nameChars, uint32_t dataBytes)
    : key_(key.Handle()),
      nameChars_(nameChars > 0 ? nameChars : 1),
      dataBytes_(dataBytes),
      wide_(plat::HasWideNames()),
      name_(static_cast<size_t>(nameChars_) * (wide_ ? 2 : 1), '\0'),
      nameLength_(0) {
  // Wide text takes two bytes where ANSI takes one.
  const uint32_t most = wide_ ? 2 * dataBytes + 2 : dataBytes;
  data_.assign(most < kFirstDataBytes ? most : kFirstDataBytes, '\0');
}

plat::LONG ValueReader::Call(uint32_t index, bool withData, plat::DWORD* type, plat::DWORD* size) {
  nameLength_ = nameChars_;
  if (data_.size() < 4) data_.resize(4);
  plat::BYTE* data = withData ? reinterpret_cast<plat::BYTE*>(&data_[0]) : 0;
  *size = static_cast<plat::DWORD>(data_.size());
  if (wide_) {
    plat::WCHAR* name = reinterpret_cast<plat::WCHAR*>(&name_[0]);
    return plat::RegEnumValueW(key_, index, name, &nameLength_, 0, type, data, size);
  }
  return plat::RegEnumValueA(key_, index, &name_[0], &nameLength_, 0, type, data, size);
}

RegEnumResult ValueReader::Read(uint32_t index, EnumStatus* status) {
  RegEnumResult result;
  result.data = txt::kNotFound;
  *status = kEnumNoMore;
  plat::DWORD type = 0, size = 0;
  plat::LONG code = Call(index, true, &type, &size);
  const uint32_t most = wide_ ? 2 * dataBytes_ + 2 : dataBytes_;
  if (code == plat::kErrorMoreData) {
    // Name and size first: a value is listed under its name whatever its data.
    code = Call(index, false, &type, &size);
    if (code != plat::kErrorSuccess) {
      *status = code == plat::kErrorMoreData ? kEnumUnreadable : kEnumNoMore;
      return result;
    }
    if (size <= most) {
      data_.assign(size, '\0');
      code = Call(index, true, &type, &size);
    } else {
      code = plat::kErrorMoreData;
    }
  }
  if (code != plat::kErrorSuccess && code != plat::kErrorMoreData) return result;
  const size_t unit = wide_ ? 2 : 1;
  const std::string raw = name_.substr(0, nameLength_ * unit);
  result.exact = wide_ ? Exacto::DeWide(raw) : Exacto::DeAnsi(raw);
  result.name = result.exact.Visible();
  *status = kEnumUnreadable;
  if (code != plat::kErrorSuccess) return result;
  std::string bytes = data_.substr(0, size);
  if (wide_ && IsString(type)) bytes = plat::AnsiFromWide(bytes, 0);
  if (bytes.size() > dataBytes_) return result;
  *status = kEnumOk;
  result.type = static_cast<int32_t>(type);
  const plat::DWORD n = static_cast<plat::DWORD>(bytes.size());
  bytes.resize(n < 4 ? 4 : n, '\0');
  result.data = DataText(type, bytes, n, true);
  return result;
}

RegEnumResult EnumValueAt(const RegKey& key, uint32_t index, uint32_t nameChars, uint32_t dataBytes,
                          EnumStatus* status) {
  EnumStatus outcome;
  RegEnumResult result = ValueReader(key, nameChars, dataBytes).Read(index, &outcome);
  if (status) *status = outcome;
  return result;
}

bool ReadRegWide(int32_t root, const std::string& subKey, const std::string& valueName,
                 std::string* wide) {
  if (!plat::HasWideNames()) return false;
  RegKey key;
  if (!key.Open(root, subKey)) return false;
  const std::string name = Exacto::DeAnsi(valueName).WideCero();
  const plat::WCHAR* w = reinterpret_cast<const plat::WCHAR*>(name.data());
  plat::DWORD type = 0, size = 0;
  if (plat::RegQueryValueExW(key.Handle(), w, 0, &type, 0, &size) != plat::kErrorSuccess)
    return false;
  std::string data(size + 2, '\0');
  if (plat::RegQueryValueExW(key.Handle(), w, 0, &type, Bytes(&data), &size) !=
          plat::kErrorSuccess ||
      !IsString(type))
    return false;
  data.resize(size & ~1u);
  if (data.size() >= 2 && data[data.size() - 1] == 0 && data[data.size() - 2] == 0)
    data.resize(data.size() - 2);
  *wide = data;
  return true;
}

void WriteRegValue(int32_t root, const std::string& subKey, const std::string& valueName,
                   uint32_t type, const std::string& data, RegView view) {
  plat::HKEY created = 0;
  if (view == kRegViewDefault)
    plat::RegCreateKeyA(plat::RootKey(root), subKey.c_str(), &created);
  else
    plat::RegCreateKeyExA(plat::RootKey(root), subKey.c_str(), 0, 0, 0,
                          plat::kKeySetValue | ViewFlag(view), 0, &created, 0);
  const plat::OwnedKey owned(created);
  const plat::HKEY key = owned.Get();
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
    plat::RegSetValueExA(key, valueName.c_str(), 0,
                         data.find('\0') == std::string::npos ? plat::kRegSz : plat::kRegMultiSz,
                         reinterpret_cast<const plat::BYTE*>(text.data()),
                         static_cast<plat::DWORD>(text.size()));
  }
  plat::RegFlushKey(key);
}

namespace {

// The counted form of wide text; false when it is too long for one.
bool Counted(std::string* wide, plat::UNICODE_STRING* u) {
  if (wide->size() > 0xFFFE) return false;
  wide->append(2, '\0');
  u->Length = static_cast<uint16_t>(wide->size() - 2);
  u->MaximumLength = static_cast<uint16_t>(wide->size());
  u->Buffer = reinterpret_cast<plat::WCHAR*>(&(*wide)[0]);
  return true;
}

// After a deletion: the value may still be there when its key cannot be
// read (it may be only hidden from the rescan) or when it is.
bool MayRemain(const RegKey& key, plat::LONG opened, const std::string& ansi,
               const plat::UNICODE_STRING* wide) {
  if (!key.IsOpen()) return opened != plat::kErrorFileNotFound;
  if (wide) {
    char info[16];
    plat::DWORD got = 0;
    return plat::NtQueryValueKey(key.Handle(), wide, plat::kKeyValueBasicInformation, info,
                                 sizeof info, &got) != plat::kStatusObjectNameNotFound;
  }
  plat::DWORD size = 0;
  return plat::RegQueryValueExA(key.Handle(), ansi.c_str(), 0, 0, 0, &size) == plat::kErrorSuccess;
}

}  // namespace

bool DeleteRegValueExact(const RegKey& key, plat::LONG opened, const Exacto& exact,
                         bool* mayRemain) {
  std::string ansi, wide;
  plat::UNICODE_STRING counted;
  const bool byWide = plat::HasWideNames() && exact.Wide(&wide) && Counted(&wide, &counted);
  if (!byWide && !exact.Ansi(&ansi)) return false;
  if (byWide)
    plat::NtDeleteValueKey(key.Handle(), &counted);
  else
    plat::RegDeleteValueA(key.Handle(), ansi.c_str());
  *mayRemain = MayRemain(key, opened, ansi, byWide ? &counted : 0);
  return true;
}

void DeleteRegValue(int32_t root, const std::string& subKey, const std::string& valueName,
                    RegView view) {
  RegKey key;
  key.Open(root, subKey, view, plat::kKeySetValue);
  plat::RegDeleteValueA(key.Handle(), valueName.c_str());
}
