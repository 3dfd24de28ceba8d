// The monitor's registry procedures: read, enumerate, write and delete one
// value. Each opens its key, does one thing and closes it; nothing is ever
// reported as an error, and a read that fails gives "Not Found" as its data.
#pragma once
#include <stdint.h>

#include <string>

#include "core/exacto.h"
#include "platform/registry.h"

// The registry view a key is opened in. The default is the plain open, which
// a 32-bit program on 64-bit Windows gets redirected to the 32-bit view.
enum RegView { kRegViewDefault, kRegView64, kRegView32 };

// Why an enumeration step gave what it gave.
enum EnumStatus {
  kEnumOk,          // a value was read; its data may still be the text "Not Found"
  kEnumNoMore,      // no value at that index, or the key could not be opened
  kEnumUnreadable,  // a value is there but its name or data overflows the buffers
};

// The buffers of one read, as the procedures have always used them.
const uint32_t kRegNameChars = 2048;
const uint32_t kRegDataBytes = 2048;
// Enough for any value name Windows allows (16383 characters and the zero),
// and for any start-up command worth showing.
const uint32_t kRegNameCharsMax = 16384;
const uint32_t kRegDataBytesMax = 1024 * 1024;

// The three elements of an enumeration: type, name, data as text. After a
// failure only `data` ("Not Found") means anything.
// `exact` is the name as the system holds it, `name` the same for display;
// it is set whenever the value was found, readable or not.
struct RegEnumResult {
  int32_t type;
  std::string name;
  std::string data;
  Exacto exact;
  RegEnumResult() : type(0) {}
};

// One open key, closed when the object goes.
class RegKey {
 public:
  // The default view opens with RegOpenKeyA (all access it allows); another
  // view with RegOpenKeyExA, `access` and the view's KEY_WOW64_* flag. The
  // system's answer goes to `status` when given.
  bool Open(int32_t root, const std::string& subKey, RegView view = kRegViewDefault,
            plat::REGSAM access = plat::kKeyRead, plat::LONG* status = 0);
  // Its subkey by exact name, through the wide functions: on NT only.
  bool OpenBelow(const RegKey& parent, const Exacto& exacto, RegView view,
                 plat::REGSAM access = plat::kKeyRead, plat::LONG* status = 0);
  // The exact name of its subkey at `index`; false past the last, and on 9x.
  bool SubkeyAt(uint32_t index, Exacto* exacto) const;
  bool IsOpen() const { return static_cast<bool>(key_); }
  plat::HKEY Handle() const { return key_.Get(); }
  void Close() { key_.Reset(); }

 private:
  plat::OwnedKey key_;
};

std::string ReadRegValue(int32_t root, const std::string& subKey, const std::string& valueName,
                         RegView view = kRegViewDefault);

// The named value of an open key: its data as text, read whole ("Not Found"
// past kRegDataBytesMax), the strings of a REG_MULTI_SZ joined by blanks;
// false when the key holds no such value.
bool ReadRegValueAt(const RegKey& key, const char* valueName, std::string* text);
// A REG_DWORD value in one read; 0 when it is not one.
uint32_t ReadRegDword(const RegKey& key, const char* valueName);

// REG_DWORD stores the text as a signed 32-bit decimal number (nothing is
// stored when it is not one); any other type stores the text as REG_SZ with
// its terminating zero, so that it reads back whole, or as REG_MULTI_SZ when
// it holds a NUL: strings each ended by one, then one more.
void WriteRegValue(int32_t root, const std::string& subKey, const std::string& valueName,
                   uint32_t type, const std::string& data, RegView view = kRegViewDefault);

void DeleteRegValue(int32_t root, const std::string& subKey, const std::string& valueName,
                    RegView view = kRegViewDefault);

// Reads the values of an open key by index: names of at most `nameChars`
// characters with their zero, data of at most `dataBytes` bytes as the ANSI
// functions count them. On NT-family Windows names are read exactly, through
// the wide functions. The buffers are kept from one value to the next and
// grow only to what a value needs.
class ValueReader {
 public:
  ValueReader(const RegKey& key, uint32_t nameChars, uint32_t dataBytes);
  RegEnumResult Read(uint32_t index, EnumStatus* status);

 private:
  plat::LONG Call(uint32_t index, bool withData, plat::DWORD* type, plat::DWORD* size);

  plat::HKEY key_;
  uint32_t nameChars_, dataBytes_;
  bool wide_;
  std::string name_, data_;
  plat::DWORD nameLength_;
};

// One value of a key already open by index, with the buffers given.
RegEnumResult EnumValueAt(const RegKey& key, uint32_t index, uint32_t nameChars, uint32_t dataBytes,
                          EnumStatus* status);

// The wide text of a REG_SZ value, on NT-family Windows (false elsewhere, and
// when it cannot be read); its terminating zero is not part of it.
bool ReadRegWide(int32_t root, const std::string& subKey, const std::string& valueName,
                 std::string* wide);

// Deletes the value whose exact name is `exact` from a key
// opened to set and query values, whose open gave `opened`. False when no
// function of this system can name it exactly: then nothing is touched.
// `mayRemain` says whether it may still be there afterwards.
bool DeleteRegValueExact(const RegKey& key, plat::LONG opened, const Exacto& exact,
                         bool* mayRemain);
