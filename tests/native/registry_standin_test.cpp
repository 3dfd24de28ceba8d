// Facts of the abstract registry that only it can show: creation order,
// its handle table, and how it models the two views of 64-bit Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/regprocs.h"
#include "core/texts.h"
#include "platform/nocase.h"
#include "platform/posix/standin.h"
#include "platform/registry.h"

namespace {

using plat::HKEY;
using plat::RootKey;

class StandinRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::standin::ResetRegistry(); }
  void TearDown() override { plat::standin::ResetRegistry(); }
};

HKEY Create(int32_t root, const char* path, plat::REGSAM sam = plat::kKeyAllAccess) {
  HKEY key = 0;
  EXPECT_EQ(plat::kErrorSuccess,
            plat::RegCreateKeyExA(RootKey(root), path, 0, 0, 0, sam, 0, &key, 0));
  return key;
}

plat::LONG Set(HKEY key, const char* name, const std::string& data) {
  return plat::RegSetValueExA(key, name, 0, plat::kRegSz,
                              reinterpret_cast<const plat::BYTE*>(data.c_str()),
                              static_cast<plat::DWORD>(data.size() + 1));
}

std::vector<std::string> Names(HKEY key) {
  std::vector<std::string> names;
  char name[64];
  plat::DWORD length = sizeof name;
  for (plat::DWORD i = 0; plat::RegEnumValueA(key, i, name, &length, 0, 0, 0, 0) == 0; ++i) {
    names.push_back(std::string(name, length));
    length = sizeof name;
  }
  return names;
}

TEST_F(StandinRegistryTest, ValuesKeepCreationOrderAndReplacementKeepsItsPlace) {
  HKEY key = Create(plat::kHkeyCurrentUser, "Software\\Order");
  Set(key, "b", "1");
  Set(key, "a", "2");
  Set(key, "c", "3");
  Set(key, "A", "replaced");
  EXPECT_EQ((std::vector<std::string>{"b", "a", "c"}), Names(key));
  EXPECT_EQ("replaced", EnumRegValue(plat::kHkeyCurrentUser, "Software\\Order", 1).data);
  plat::RegDeleteValueA(key, "B");
  EXPECT_EQ((std::vector<std::string>{"a", "c"}), Names(key));
  plat::RegCloseKey(key);
}

TEST_F(StandinRegistryTest, HandlesAreRealAndCloseOnce) {
  HKEY key = Create(plat::kHkeyCurrentUser, "Software\\H");
  HKEY same = 0;
  EXPECT_EQ(plat::kErrorSuccess, plat::RegOpenKeyA(key, "", &same));
  EXPECT_TRUE(same == key);  // no subkey: the very handle, as advapi32 gives it
  EXPECT_EQ(1u, plat::standin::OpenHandleCount());
  EXPECT_EQ(plat::kErrorSuccess, plat::RegCloseKey(key));
  EXPECT_EQ(plat::kErrorInvalidHandle, plat::RegCloseKey(key));
  EXPECT_EQ(plat::kErrorInvalidHandle, Set(key, "x", "stale"));
  EXPECT_EQ(plat::kErrorInvalidHandle, plat::RegCloseKey(reinterpret_cast<HKEY>(0x12340)));
  EXPECT_EQ(plat::kErrorSuccess, plat::RegCloseKey(RootKey(plat::kHkeyLocalMachine)));
  EXPECT_EQ(0u, plat::standin::OpenHandleCount());
}

TEST_F(StandinRegistryTest, ProceduresCloseEveryKeyTheyOpen) {
  plat::RegCloseKey(Create(plat::kHkeyCurrentUser, "Software\\P"));
  const char* const keys[] = {"Software\\P", "Software\\Missing", ""};
  for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i) {
    SCOPED_TRACE(keys[i]);
    WriteRegValue(plat::kHkeyCurrentUser, keys[i], "v", plat::kRegSz, "x");
    ReadRegValue(plat::kHkeyCurrentUser, keys[i], "v");
    EnumRegValue(plat::kHkeyCurrentUser, keys[i], 0);
    EnumRegValue(plat::kHkeyLocalMachine, keys[i], 0, 0, kRegView32);
    DeleteRegValue(plat::kHkeyCurrentUser, keys[i], "v", kRegView64);
    DeleteRegValue(plat::kHkeyCurrentUser, keys[i], "v");
    EXPECT_EQ(0u, plat::standin::OpenHandleCount());
  }
  RegKey first;
  ASSERT_TRUE(first.Open(plat::kHkeyCurrentUser, "Software\\P"));
  RegKey second(std::move(first));
  EXPECT_FALSE(first.IsOpen());
  EXPECT_TRUE(second.IsOpen());
  second = RegKey();
  EXPECT_EQ(0u, plat::standin::OpenHandleCount());
}

TEST_F(StandinRegistryTest, DeletingKeysTakesLeavesOnly) {
  plat::RegCloseKey(Create(plat::kHkeyCurrentUser, "Software\\D\\Leaf"));
  HKEY leaf = Create(plat::kHkeyCurrentUser, "Software\\D\\Leaf");
  HKEY root = RootKey(plat::kHkeyCurrentUser);
  EXPECT_EQ(plat::kErrorAccessDenied, plat::RegDeleteKeyA(root, "Software\\D"));
  EXPECT_EQ(plat::kErrorSuccess, plat::RegDeleteKeyA(root, "software\\d\\LEAF"));
  EXPECT_EQ(plat::kErrorKeyDeleted, Set(leaf, "x", "y"));
  EXPECT_EQ(plat::kErrorFileNotFound, plat::RegDeleteKeyA(root, "Software\\D\\Leaf"));
  EXPECT_EQ(plat::kErrorSuccess, plat::RegDeleteKeyA(root, "Software\\D"));
  plat::RegCloseKey(leaf);
}

struct ViewCase {
  bool twoViews;
  int32_t root;
  plat::REGSAM view;
  const char* path;
  const char* lands;  // where the key is when opened without a view flag
};

TEST_F(StandinRegistryTest, ThirtyTwoBitViewOfMachineSoftwareIsWow6432Node) {
  const ViewCase cases[] = {
      {true, plat::kHkeyLocalMachine, plat::kKeyWow64_32Key, "Software\\T\\K",
       "Software\\Wow6432Node\\T\\K"},
      {true, plat::kHkeyLocalMachine, plat::kKeyWow64_32Key, "software", "Software\\Wow6432Node"},
      {true, plat::kHkeyLocalMachine, plat::kKeyWow64_32Key, "Software\\Wow6432Node\\T",
       "Software\\Wow6432Node\\T"},
      {true, plat::kHkeyLocalMachine, plat::kKeyWow64_64Key, "Software\\T", "Software\\T"},
      {true, plat::kHkeyLocalMachine, 0, "Software\\T", "Software\\T"},
      {true, plat::kHkeyLocalMachine, plat::kKeyWow64_32Key, "System\\T", "System\\T"},
      {true, plat::kHkeyCurrentUser, plat::kKeyWow64_32Key, "Software\\T", "Software\\T"},
      {false, plat::kHkeyLocalMachine, plat::kKeyWow64_32Key, "Software\\T", "Software\\T"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const ViewCase& c = cases[i];
    SCOPED_TRACE(i);
    plat::standin::ResetRegistry();
    plat::standin::SetTwoViews(c.twoViews);
    EXPECT_EQ(c.twoViews, plat::RegHasTwoViews());
    HKEY key = Create(c.root, c.path, plat::kKeyAllAccess | c.view);
    Set(key, "v", "here");
    plat::RegCloseKey(key);
    EXPECT_EQ("here", ReadRegValue(c.root, c.lands, "v"));
    const RegView view = c.view == plat::kKeyWow64_32Key ? kRegView32 : kRegView64;
    EXPECT_EQ("here", ReadRegValue(c.root, c.path, "v", view));
  }
}

TEST_F(StandinRegistryTest, HandlesKeepTheRightsTheyWereOpenedWith) {
  plat::RegCloseKey(Create(plat::kHkeyLocalMachine, "Software\\R"));
  HKEY reader = 0;
  ASSERT_EQ(0, plat::RegOpenKeyExA(RootKey(plat::kHkeyLocalMachine), "Software\\R", 0,
                                   plat::kKeyRead, &reader));
  EXPECT_EQ(plat::kErrorAccessDenied, Set(reader, "x", "y"));
  plat::RegCloseKey(reader);

  // A standard user's plain open of a machine key reads, and writes nothing.
  plat::standin::DenyRegistryWrites(plat::kHkeyLocalMachine);
  HKEY plain = 0;
  ASSERT_EQ(0, plat::RegOpenKeyA(RootKey(plat::kHkeyLocalMachine), "Software\\R", &plain));
  EXPECT_EQ(plat::kErrorAccessDenied, Set(plain, "x", "y"));
  EXPECT_EQ(plat::kErrorAccessDenied,
            plat::RegDeleteKeyA(RootKey(plat::kHkeyLocalMachine), "Software\\R"));
  plat::RegCloseKey(plain);
  HKEY created = 0;
  EXPECT_EQ(plat::kErrorAccessDenied,
            plat::RegCreateKeyA(RootKey(plat::kHkeyLocalMachine), "Software\\New", &created));
}

TEST_F(StandinRegistryTest, AnUnopenableKeyEndsItsEnumerationAtOnce) {
  HKEY key = Create(plat::kHkeyCurrentUser, "Software\\F");
  Set(key, "v", "x");
  plat::RegCloseKey(key);
  plat::standin::FailRegistryOpen(plat::kHkeyCurrentUser, "software\\f");
  EnumStatus status = kEnumOk;
  EXPECT_EQ(txt::kNotFound, EnumRegValue(plat::kHkeyCurrentUser, "Software\\F", 0, &status).data);
  EXPECT_EQ(kEnumNoMore, status);
  EXPECT_EQ(txt::kNotFound, ReadRegValue(plat::kHkeyCurrentUser, "Software\\F", "v"));
}

TEST(NoCaseTest, FoldsAsWindowsUpperCasesCp1252) {
  struct {
    const char* a;
    const char* b;
    bool same;
  } const cases[] = {
      {"run", "RUN", true},   {"caf\xe9", "CAF\xc9", true},
      {"\xff", "\x9f", true}, {"\x9a\x9c\x9e", "\x8a\x8c\x8e", true},
      {"\xdf", "\xdf", true}, {"\xf7", "\xd7", false},  // division and multiplication signs
      {"[", "{", false},                                // 0x20 apart but not letters
      {"a", "ab", false},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
    EXPECT_EQ(cases[i].same, plat::SameNoCase(cases[i].a, cases[i].b)) << i;
}

}  // namespace
