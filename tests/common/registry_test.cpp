// The registry procedures against whichever registry this build has: the
// abstract one natively, the real one under Wine, loaded from the same
// fixtures. Order: where a test walks a key it expects creation order, and
// the fixtures create values in name order, which is what Wine lists.
#include "platform/registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "core/regprocs.h"
#include "core/texts.h"
#include "tests/standin/regedit4.h"
#include "tests/common/places.h"
#ifndef _WIN32
#include "tests/standin/standin.h"
#endif

namespace {

using plat::kHkeyCurrentUser;
using plat::kHkeyLocalMachine;

const std::string kSandbox = "Software\\CentinelaTest";
const std::string kTypes = kSandbox + "\\Types";
const std::string kLarge = kSandbox + "\\Large";
const std::string kScratch = kSandbox + "\\Scratch";

// Loads tests/fixtures/<name>: natively with our REGEDIT4 reader, on Windows
// with the system's own "regedit /s", so both registries get the same data.
// "regedit.exe" alone finds the one of our own bitness, so HKLM\Software
// lands in the view that this test program reads by default.
bool Import(const std::string& name) {
#ifdef _WIN32
  return system(("regedit.exe /s \"" CENTINELA_FIXTURES_DIR "\\" + name + "\"").c_str()) == 0;
#else
  return plat::standin::LoadRegFile(CENTINELA_FIXTURES_DIR "/" + name);
#endif
}

class RegistryTest : public ::testing::Test {
 protected:
  // The places' reset gives the stand-in a fresh registry; the sandbox is
  // emptied for the real one.
  void SetUp() override {
    places::Reset();
    plat::DeleteRegTree(plat::RootKey(kHkeyCurrentUser), kSandbox, 0);
    for (plat::REGSAM view : {plat::kKeyWow64_32Key, plat::kKeyWow64_64Key})
      plat::DeleteRegTree(plat::RootKey(kHkeyLocalMachine), kSandbox, view);
  }
};

// What a procedure stored: its type and bytes.
std::string Query(const std::string& subKey, const char* name, plat::DWORD* type) {
  RegKey key;
  plat::BYTE buf[64];
  plat::DWORD size = sizeof buf;
  if (!key.Open(kHkeyCurrentUser, subKey) ||
      plat::RegQueryValueExA(key.Handle(), name, 0, type, buf, &size) != plat::kErrorSuccess)
    return "(none)";
  return std::string(reinterpret_cast<char*>(buf), size);
}

struct TypeCase {
  const char* name;
  int32_t type;
  std::string read;        // as ReadRegValue gives it
  std::string enumerated;  // as EnumRegValue gives it
};

TEST_F(RegistryTest, EveryTypeBecomesTextAsEachProcedureSays) {
  ASSERT_TRUE(Import("types.reg"));
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
  const std::string missingKey = kSandbox + "\\Missing";
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, missingKey, "A_sz"));
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, kTypes, "NoSuchValue"));
  for (const std::string& key : {kTypes, missingKey}) {
    EnumStatus status = kEnumOk;
    EXPECT_EQ(txt::kNotFound,
              EnumRegValue(kHkeyCurrentUser, key, key == kTypes ? count : 0, &status).data);
    EXPECT_EQ(kEnumNoMore, status);
  }
}

// A name or data too long for the first read's buffers: that value reads
// "Not Found" and is unreadable, its neighbours read, and with the largest
// buffers it reads whole.
TEST_F(RegistryTest, ValuesBeyondTheBuffersAreUnreadableUntilReadWhole) {
  ASSERT_TRUE(Import("large.reg"));
  EXPECT_EQ(4096u, ReadRegValue(kHkeyCurrentUser, kLarge, "A_exact").size());
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, kLarge, "B_over"));
  EXPECT_EQ(2047u, EnumRegValue(kHkeyCurrentUser, kLarge, 0).data.size());
  EXPECT_EQ("after", EnumRegValue(kHkeyCurrentUser, kLarge, 2).data);
  const std::string fits(kRegNameChars - 1, 'n'), tooLong(kRegNameChars, 'n');
  places::SetString(kHkeyCurrentUser, kScratch, fits, "a");
  places::SetString(kHkeyCurrentUser, kScratch, tooLong, "b");
  std::string over;  // the fixture's 2,048 bytes
  for (int i = 0; i < 2048; ++i) over += static_cast<char>((i * 7 + 1) & 0xFF);
  const struct {
    std::string key, first, name, data;
  } cases[] = {{kLarge, "A_exact", "B_over", over}, {kScratch, fits, tooLong, "b"}};
  for (const auto& c : cases) {
    EnumStatus status = kEnumNoMore;
    EXPECT_EQ(c.first, EnumRegValue(kHkeyCurrentUser, c.key, 0, &status).name);
    EXPECT_EQ(kEnumOk, status);
    EXPECT_EQ(txt::kNotFound, EnumRegValue(kHkeyCurrentUser, c.key, 1, &status).data);
    EXPECT_EQ(kEnumUnreadable, status);
    RegKey key;
    ASSERT_TRUE(key.Open(kHkeyCurrentUser, c.key));
    RegEnumResult whole = EnumValueAt(key, 1, kRegNameCharsMax, kRegDataBytesMax, &status);
    EXPECT_EQ(kEnumOk, status);
    EXPECT_EQ(c.name, whole.name);
    EXPECT_EQ(c.data, whole.data);
  }
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
    plat::DWORD type = 0;
    EXPECT_EQ(cases[i].stored, Query(cases[i].subKey, cases[i].name, &type));
    EXPECT_EQ(cases[i].storedType, type);
    EXPECT_EQ(cases[i].readBack, ReadRegValue(kHkeyCurrentUser, cases[i].subKey, cases[i].name));
  }
}

TEST_F(RegistryTest, StringWithoutTerminatorLosesItsLastCharacter) {
  // A byte other than zero after the data keeps Windows NT from counting a
  // terminator of its own.
  plat::HKEY key = 0;
  ASSERT_EQ(plat::kErrorSuccess,
            plat::RegCreateKeyA(plat::RootKey(kHkeyCurrentUser), kScratch.c_str(), &key));
  plat::RegSetValueExA(key, "u", 0, plat::kRegSz, reinterpret_cast<const plat::BYTE*>("abcX"), 3);
  plat::RegCloseKey(key);
  EXPECT_EQ("ab", ReadRegValue(kHkeyCurrentUser, kScratch, "u"));
  EXPECT_EQ("ab", EnumRegValue(kHkeyCurrentUser, kScratch, 0).data);
}

TEST_F(RegistryTest, DeleteRemovesOneValueAndIgnoresWhatIsMissing) {
  ASSERT_TRUE(Import("types.reg"));
  ASSERT_TRUE(Import("machine.reg"));
  const std::string run = kSandbox + "\\Run";
  places::SetString(kHkeyCurrentUser, run, "A_machine", "user");

  DeleteRegValue(kHkeyCurrentUser, run, "A_machine");
  EXPECT_EQ(txt::kNotFound, ReadRegValue(kHkeyCurrentUser, run, "A_machine"));
  EXPECT_EQ("c:\\machine.exe", ReadRegValue(kHkeyLocalMachine, run, "A_machine"));

  DeleteRegValue(kHkeyCurrentUser, run, "A_machine");
  DeleteRegValue(kHkeyCurrentUser, kSandbox + "\\Nowhere", "x");
  EXPECT_EQ("005", ReadRegValue(kHkeyCurrentUser, kTypes, "B_dword5"));
}

}  // namespace
