// The registry procedures against whichever registry this build has: the
// stand-in natively, the real one under Wine, filled from the same tables in
// the user's Run key. Names go in sorted order, which is what Wine lists, so
// that creation order and listing order agree.
#include <gtest/gtest.h>

#include "tests/common/places.h"

namespace {

using plat::kHkeyCurrentUser;

using places::Sz;

TEST(RegistryTest, EveryValueBecomesTextAsEachProcedureSaysUpToTheBuffersOfARead) {
  places::Reset();
  std::string exact, hex;  // the 2048 bytes one read takes
  for (unsigned i = 0; i < 2048; ++i) {
    const unsigned char b = static_cast<unsigned char>(i * 7 + 1);
    exact += static_cast<char>(b);
    hex += std::string(1, "0123456789ABCDEF"[b >> 4]) + "0123456789ABCDEF"[b & 15];
  }
  const std::string sinCero = "abc", over = exact + '\x01';  // and one more
  const std::string fits(kRegNameChars - 1, 'x'), tooLong(kRegNameChars, 'x');
  const struct {
    std::string name;
    uint32_t type;
    std::string bytes, read, listed;  // listed: as enumerated; "Not Found" for unreadable
    std::string whole = "";           // enumerated with the largest buffers, when not `listed`
  } cases[] = {
      {"", 1, Sz("default text"), "default text", "default text"},
      {"A_sz", 1, Sz("C:\\Archivos de programa\\a.exe \"/min\""),
       "C:\\Archivos de programa\\a.exe \"/min\"", "C:\\Archivos de programa\\a.exe \"/min\""},
      {"B_dword5", 4, std::string("\x05\0\0\0", 4), "005", "005"},
      {"C_dword70000", 4, std::string("\x70\x11\x01\0", 4), "70000", "70000"},
      {"D_dwordmax", 4, "\xff\xff\xff\xff", "4294967295", "4294967295"},
      {"E_binary", 3, std::string("\x00\x0f\xa0", 3), "000FA0", std::string("\x00\x0f", 2)},
      {"F_emptybin", 3, "", "", ""},
      {"G_exact", 3, exact, hex, exact.substr(0, 2047)},
      {"H_expand", 2, Sz("%WINDIR%"), "%WINDIR%", "%WINDIR%"},
      {"I_multi", 7, std::string("a\0b\0\0", 5), std::string("a\0b\0", 4),
       std::string("a\0b\0", 4)},
      // "Not Found" as data is a value like any other.
      {"J_notfound", 1, Sz(txt::kNotFound), txt::kNotFound, txt::kNotFound},
      {"K_empty", 1, Sz(""), "", ""},
      {"L_caf\xe9", 1, Sz("\xe9t\xe9"), "\xe9t\xe9", "\xe9t\xe9"},
      {"M_shortdword", 4, "\x07", "007", "007"},
      // Too long for one read: unreadable, and the values after it are not.
      {"N_over", 3, over, txt::kNotFound, txt::kNotFound, over.substr(0, 2048)},
      {"O_sincero", 1, sinCero, "ab", "ab"},
      {fits, 1, Sz("a"), "a", "a"},
      {tooLong, 1, Sz("b"), "b", txt::kNotFound, "b"},
  };
  for (const auto& c : cases)
    places::SetValue(kHkeyCurrentUser, txt::kRunKey, c.name, c.type, c.bytes);
  RegKey key;
  ASSERT_TRUE(key.Open(kHkeyCurrentUser, txt::kRunKey));
  // One value by index with the buffers of old, its key opened for it alone.
  auto enumRegValue = [](const std::string& k, uint32_t i, EnumStatus* status) {
    RegKey opened;
    opened.Open(kHkeyCurrentUser, k);
    return EnumValueAt(opened, i, kRegNameChars, kRegDataBytes, status);
  };
  const uint32_t count = sizeof cases / sizeof cases[0];
  for (uint32_t i = 0; i < count; ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.name.substr(0, 20));
    EXPECT_EQ(c.read, ReadRegValue(kHkeyCurrentUser, txt::kRunKey, c.name));
    EnumStatus status = kEnumNoMore;
    RegEnumResult r = enumRegValue(txt::kRunKey, i, &status);
    const bool readable = c.whole.empty();
    EXPECT_EQ(readable ? kEnumOk : kEnumUnreadable, status);
    EXPECT_EQ(c.listed, r.data);
    if (readable) {
      EXPECT_EQ(c.name, r.name);
      EXPECT_EQ(static_cast<int32_t>(c.type), r.type);
    }
    RegEnumResult whole = EnumValueAt(key, i, kRegNameCharsMax, kRegDataBytesMax, &status);
    EXPECT_EQ(kEnumOk, status);
    EXPECT_EQ(c.name, whole.name);
    EXPECT_EQ(readable ? c.listed : c.whole, whole.data);
  }
  // Key and value names ignore case, CP1252 letters too.
  EXPECT_EQ("005", ReadRegValue(kHkeyCurrentUser,
                                "software\\MICROSOFT\\windows\\currentversion\\RUN", "b_DWORD5"));
  EXPECT_EQ("\xe9t\xe9", ReadRegValue(kHkeyCurrentUser, txt::kRunKey, "l_CAF\xc9"));
  // Past the last value, a value or a key that is not there: "Not Found".
  const std::string missingKey = std::string(txt::kRunKey) + "\\Missing";
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, missingKey, "A_sz"));
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, txt::kRunKey, "NoSuchValue"));
  for (const std::string& k : {std::string(txt::kRunKey), missingKey}) {
    EnumStatus status = kEnumOk;
    EXPECT_EQ(txt::kNotFound, enumRegValue(k, k == missingKey ? 0 : count, &status).data);
    EXPECT_EQ(kEnumNoMore, status);
  }
}

// REG_DWORD stores a number or nothing; any other type, REG_SZ text whole.
// Deleting takes the user's value, not the machine's namesake, and what is
// not there is no error.
TEST(RegistryTest, WriteCreatesTheKeyAndStoresByTypeDeleteTakesOneValue) {
  places::Reset();
  const std::string run = txt::kRunKey;
  const struct {
    std::string subKey;
    const char* name;
    uint32_t type;
    const char* text;
    uint32_t storedType;
    std::string stored;
    const char* readBack;
  } cases[] = {
      {run + "\\Two\\Levels", "sz", 1, "ab", 1, Sz("ab"), "ab"},
      {run, "", 1, "\"%1\" %*", 1, Sz("\"%1\" %*"), "\"%1\" %*"},
      {run, "dword", 4, "-2", 4, "\xfe\xff\xff\xff", "4294967294"},
      {run, "dword", 4, "12abc", 4, "\xfe\xff\xff\xff", "4294967294"},
      {run, "expand", 2, "xyz", 1, Sz("xyz"), "xyz"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    WriteRegValue(kHkeyCurrentUser, c.subKey, c.name, c.type, c.text);
    RegKey key;
    plat::BYTE buf[64];
    plat::DWORD size = sizeof buf, type = 0;
    ASSERT_TRUE(key.Open(kHkeyCurrentUser, c.subKey));
    ASSERT_EQ(plat::kErrorSuccess,
              plat::RegQueryValueExA(key.Handle(), c.name, 0, &type, buf, &size));
    EXPECT_EQ(c.stored, std::string(reinterpret_cast<char*>(buf), size));
    EXPECT_EQ(c.storedType, type);
    EXPECT_EQ(c.readBack, ReadRegValue(kHkeyCurrentUser, c.subKey, c.name));
  }
  places::SetString(plat::kHkeyLocalMachine, run, "dup", "c:\\machine.exe");
  places::SetString(kHkeyCurrentUser, run, "dup", "user");
  for (int i = 0; i < 2; ++i) DeleteRegValue(kHkeyCurrentUser, run, "dup");
  DeleteRegValue(kHkeyCurrentUser, run + "\\Nowhere", "x");
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, run, "dup"));
  EXPECT_EQ("c:\\machine.exe", ReadRegValue(plat::kHkeyLocalMachine, run, "dup"));
  EXPECT_EQ("xyz", ReadRegValue(kHkeyCurrentUser, run, "expand"));
}

}  // namespace
