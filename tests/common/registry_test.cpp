// The registry procedures against whichever registry this build has: the
// abstract one natively, the real one under Wine, loaded from the same
// fixtures. Order: where a test walks a key it expects creation order, and
// the fixtures create values in name order, which is what Wine lists.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "core/regprocs.h"
#include "core/texts.h"
#include "tests/common/support.h"

namespace {

using plat::kHkeyCurrentUser;
using plat::kHkeyLocalMachine;

const std::string kTypes = std::string(support::kSandbox) + "\\Types";
const std::string kLarge = std::string(support::kSandbox) + "\\Large";
const std::string kScratch = std::string(support::kSandbox) + "\\Scratch";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { support::ResetTestKeys(); }
  void TearDown() override { support::ResetTestKeys(); }
};

// Raw access for checking what the procedures stored.
struct Stored {
  plat::LONG status;
  plat::DWORD type;
  std::string data;
};

Stored Query(int32_t root, const std::string& subKey, const char* name) {
  Stored s = {0, 0, std::string()};
  plat::HKEY key = 0;
  s.status = plat::RegOpenKeyA(plat::RootKey(root), subKey.c_str(), &key);
  if (s.status != plat::kErrorSuccess) return s;
  plat::BYTE buf[64];
  plat::DWORD size = sizeof buf;
  s.status = plat::RegQueryValueExA(key, name, 0, &s.type, buf, &size);
  if (s.status == plat::kErrorSuccess) s.data.assign(reinterpret_cast<char*>(buf), size);
  plat::RegCloseKey(key);
  return s;
}

void SetValue(int32_t root, const std::string& subKey, const std::string& name, plat::DWORD type,
              const std::string& data, size_t size = std::string::npos) {
  plat::HKEY key = 0;
  ASSERT_EQ(plat::kErrorSuccess, plat::RegCreateKeyA(plat::RootKey(root), subKey.c_str(), &key));
  ASSERT_EQ(plat::kErrorSuccess,
            plat::RegSetValueExA(
                key, name.c_str(), 0, type, reinterpret_cast<const plat::BYTE*>(data.data()),
                static_cast<plat::DWORD>(size < data.size() ? size : data.size())));
  plat::RegCloseKey(key);
}

struct TypeCase {
  const char* name;
  int32_t type;
  std::string read;        // as ReadRegValue gives it
  std::string enumerated;  // as EnumRegValue gives it
};

TEST_F(RegistryTest, EveryTypeBecomesTextAsEachProcedureSays) {
  ASSERT_TRUE(support::ImportRegFixture("types.reg"));
  const TypeCase cases[] = {
      {"", 1, "default text", "default text"},
      {"A_sz", 1, "C:\\Archivos de programa\\a.exe \"/min\"",
       "C:\\Archivos de programa\\a.exe \"/min\""},
      {"B_dword5", 4, "005", "005"},
      {"C_dword70000", 4, "70000", "70000"},
      {"D_dwordmax", 4, "4294967295", "4294967295"},
      {"E_binary", 3, "000FA0", std::string("\x00\x0f", 2)},
      {"F_emptybin", 3, "", ""},
      {"H_expand", 2, "%WINDIR%", "%WINDIR%"},
      {"I_multi", 7, std::string("a\0b\0", 4), std::string("a\0b\0", 4)},
      {"J_notfound", 1, "Not Found", "Not Found"},
      {"K_empty", 1, "", ""},
      {"L_caf\xe9", 1, "\xe9t\xe9", "\xe9t\xe9"},
      {"M_shortdword", 4, "007", "007"},
  };
  const uint32_t count = sizeof cases / sizeof cases[0];
  for (uint32_t i = 0; i < count; ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(cases[i].read, ReadRegValue(kHkeyCurrentUser, kTypes, cases[i].name));
    EnumStatus status = kEnumNoMore;
    RegEnumResult r = EnumRegValue(kHkeyCurrentUser, kTypes, i, &status);
    EXPECT_EQ(kEnumOk, status);  // "Not Found" as data is a value like any other
    EXPECT_EQ(cases[i].type, r.type);
    EXPECT_EQ(cases[i].name, r.name);
    EXPECT_EQ(cases[i].enumerated, r.data);
  }
  // Key and value names ignore case, CP1252 letters too.
  EXPECT_EQ("005", ReadRegValue(kHkeyCurrentUser, "software\\CENTINELATEST\\types", "b_DWORD5"));
  EXPECT_EQ("\xe9t\xe9", ReadRegValue(kHkeyCurrentUser, kTypes, "l_CAF\xc9"));
  // Past the last value, a value or a key that is not there: "Not Found".
  const std::string missingKey = std::string(support::kSandbox) + "\\Missing";
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, missingKey, "A_sz"));
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, kTypes, "NoSuchValue"));
  for (const std::string& key : {kTypes, missingKey}) {
    EnumStatus status = kEnumOk;
    EXPECT_EQ(txt::kNotFound,
              EnumRegValue(kHkeyCurrentUser, key, key == kTypes ? count : 0, &status).data);
    EXPECT_EQ(kEnumNoMore, status);
  }
}

TEST_F(RegistryTest, DataBeyondTheBuffersIsUnreadableUntilReadWhole) {
  ASSERT_TRUE(support::ImportRegFixture("large.reg"));
  EXPECT_EQ(4096u, ReadRegValue(kHkeyCurrentUser, kLarge, "A_exact").size());
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, kLarge, "B_over"));

  EnumStatus status = kEnumNoMore;
  EXPECT_EQ(2047u, EnumRegValue(kHkeyCurrentUser, kLarge, 0, &status).data.size());
  EXPECT_EQ(kEnumOk, status);
  EXPECT_EQ(txt::kNotFound, EnumRegValue(kHkeyCurrentUser, kLarge, 1, &status).data);
  EXPECT_EQ(kEnumUnreadable, status);
  EXPECT_EQ("after", EnumRegValue(kHkeyCurrentUser, kLarge, 2, &status).data);

  RegKey key;
  ASSERT_TRUE(key.Open(kHkeyCurrentUser, kLarge));
  RegEnumResult whole = EnumValueAt(key, 1, kRegNameCharsMax, kRegDataBytesMax, &status);
  EXPECT_EQ(kEnumOk, status);
  EXPECT_EQ("B_over", whole.name);
  ASSERT_EQ(2048u, whole.data.size());
  EXPECT_EQ('\x01', whole.data[0]);
  EXPECT_EQ(static_cast<char>((2047 * 7 + 1) & 0xFF), whole.data[2047]);
}

TEST_F(RegistryTest, NameBufferMustHoldTheNameAndItsZero) {
  const std::string fits(kRegNameChars - 1, 'n');
  const std::string tooLong(kRegNameChars, 'n');
  SetValue(kHkeyCurrentUser, kScratch, fits, plat::kRegSz, std::string("a\0", 2));
  SetValue(kHkeyCurrentUser, kScratch, tooLong, plat::kRegSz, std::string("b\0", 2));

  EnumStatus status = kEnumNoMore;
  EXPECT_EQ(fits, EnumRegValue(kHkeyCurrentUser, kScratch, 0, &status).name);
  EXPECT_EQ(kEnumOk, status);
  EXPECT_EQ(txt::kNotFound, EnumRegValue(kHkeyCurrentUser, kScratch, 1, &status).data);
  EXPECT_EQ(kEnumUnreadable, status);

  RegKey key;
  ASSERT_TRUE(key.Open(kHkeyCurrentUser, kScratch));
  RegEnumResult whole = EnumValueAt(key, 1, kRegNameCharsMax, kRegDataBytesMax, &status);
  EXPECT_EQ(kEnumOk, status);
  EXPECT_EQ(tooLong, whole.name);
  EXPECT_EQ("b", whole.data);
}

TEST_F(RegistryTest, WriteCreatesTheKeyAndStoresByType) {
  struct {
    std::string subKey;
    const char* name;
    uint32_t type;
    const char* text;
    plat::DWORD storedType;
    std::string stored;
    const char* readBack;
  } const cases[] = {
      {kScratch + "\\Two\\Levels", "sz", plat::kRegSz, "ab", plat::kRegSz, std::string("ab\0", 3),
       "ab"},
      {kScratch, "", plat::kRegSz, "\"%1\" %*", plat::kRegSz, std::string("\"%1\" %*\0", 8),
       "\"%1\" %*"},
      {kScratch, "dword", plat::kRegDword, "-2", plat::kRegDword, "\xfe\xff\xff\xff", "4294967294"},
      // Not a number: nothing is stored, what was there stays.
      {kScratch, "dword", plat::kRegDword, "12abc", plat::kRegDword, "\xfe\xff\xff\xff",
       "4294967294"},
      // Other types are stored as REG_SZ text, whole.
      {kScratch, "expand", plat::kRegExpandSz, "xyz", plat::kRegSz, std::string("xyz\0", 4), "xyz"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    SCOPED_TRACE(i);
    WriteRegValue(kHkeyCurrentUser, cases[i].subKey, cases[i].name, cases[i].type, cases[i].text);
    Stored stored = Query(kHkeyCurrentUser, cases[i].subKey, cases[i].name);
    EXPECT_EQ(plat::kErrorSuccess, stored.status);
    EXPECT_EQ(cases[i].storedType, stored.type);
    EXPECT_EQ(cases[i].stored, stored.data);
    EXPECT_EQ(cases[i].readBack, ReadRegValue(kHkeyCurrentUser, cases[i].subKey, cases[i].name));
  }
}

TEST_F(RegistryTest, StringWithoutTerminatorLosesItsLastCharacter) {
  // A byte other than zero after the data keeps Windows NT from counting a
  // terminator of its own.
  SetValue(kHkeyCurrentUser, kScratch, "u", plat::kRegSz, "abcX", 3);
  EXPECT_EQ("ab", ReadRegValue(kHkeyCurrentUser, kScratch, "u"));
  EXPECT_EQ("ab", EnumRegValue(kHkeyCurrentUser, kScratch, 0).data);
}

TEST_F(RegistryTest, DeleteRemovesOneValueAndIgnoresWhatIsMissing) {
  ASSERT_TRUE(support::ImportRegFixture("types.reg"));
  ASSERT_TRUE(support::ImportRegFixture("machine.reg"));
  const std::string run = std::string(support::kSandbox) + "\\Run";
  SetValue(kHkeyCurrentUser, run, "A_machine", plat::kRegSz, std::string("user\0", 5));

  DeleteRegValue(kHkeyCurrentUser, run, "A_machine");
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, run, "A_machine"));
  EXPECT_EQ("c:\\machine.exe", ReadRegValue(kHkeyLocalMachine, run, "A_machine"));

  DeleteRegValue(kHkeyCurrentUser, run, "A_machine");
  DeleteRegValue(kHkeyCurrentUser, std::string(support::kSandbox) + "\\Nowhere", "x");
  EXPECT_EQ("005", ReadRegValue(kHkeyCurrentUser, kTypes, "B_dword5"));

  // Deleting a value moves those behind it one index up.
  EXPECT_EQ("A_sz", EnumRegValue(kHkeyCurrentUser, kTypes, 1).name);
  DeleteRegValue(kHkeyCurrentUser, kTypes, "A_sz");
  EXPECT_EQ("B_dword5", EnumRegValue(kHkeyCurrentUser, kTypes, 1).name);
}

}  // namespace
