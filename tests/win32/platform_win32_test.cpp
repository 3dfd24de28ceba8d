// What only the real system shows: file attributes, files that resist
// deletion, and the two registry views of 64-bit Windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/regprocs.h"
#include "core/texts.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/common/support.h"

namespace {

TEST(FilesWin32Test, AFileThatStaysGivesTheSystemsReason) {
  support::TempFolder folder;
  ASSERT_TRUE(folder.WriteFile("ro.txt", "x"));
  ASSERT_TRUE(SetFileAttributesA(folder.PathOf("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  std::string why;
  EXPECT_FALSE(plat::DeleteFileA(folder.PathOf("ro.txt"), &why));
  EXPECT_EQ(txt::kErrAccesoDenegado, why);
  EXPECT_TRUE(plat::FileExists(folder.PathOf("ro.txt")));

  ASSERT_TRUE(folder.WriteFile("open.txt", "x"));
  HANDLE held = CreateFileA(folder.PathOf("open.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, 0,
                            OPEN_EXISTING, 0, 0);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_FALSE(plat::DeleteFileA(folder.PathOf("open.txt"), &why));
  EXPECT_EQ(txt::kErrEnUso, why);
  CloseHandle(held);
  EXPECT_TRUE(plat::DeleteFileA(folder.PathOf("open.txt"), &why));
}

class ViewsWin32Test : public ::testing::Test {
 protected:
  void SetUp() override { support::ResetTestKeys(); }
  void TearDown() override { support::ResetTestKeys(); }

  static void Write(int32_t root, plat::REGSAM view, const std::string& data) {
    plat::HKEY key = 0;
    ASSERT_EQ(plat::kErrorSuccess,
              plat::RegCreateKeyExA(plat::RootKey(root), Key().c_str(), 0, 0, 0,
                                    plat::kKeyAllAccess | view, 0, &key, 0));
    plat::RegSetValueExA(key, "v", 0, plat::kRegSz,
                         reinterpret_cast<const plat::BYTE*>(data.c_str()),
                         static_cast<plat::DWORD>(data.size() + 1));
    plat::RegCloseKey(key);
  }
  static std::string Key() { return std::string(support::kSandbox) + "\\Views"; }
};

TEST_F(ViewsWin32Test, MachineSoftwareHasTwoViewsAndTheUserOne) {
  ASSERT_TRUE(plat::RegHasTwoViews());  // a 64-bit prefix, as current Windows
  Write(plat::kHkeyLocalMachine, plat::kKeyWow64_64Key, "64");
  Write(plat::kHkeyLocalMachine, plat::kKeyWow64_32Key, "32");
  EXPECT_EQ("64", ReadRegValue(plat::kHkeyLocalMachine, Key(), "v", kRegView64));
  EXPECT_EQ("32", ReadRegValue(plat::kHkeyLocalMachine, Key(), "v", kRegView32));
#ifdef _WIN64
  EXPECT_EQ("64", ReadRegValue(plat::kHkeyLocalMachine, Key(), "v"));
#else
  EXPECT_EQ("32", ReadRegValue(plat::kHkeyLocalMachine, Key(), "v"));
#endif
  DeleteRegValue(plat::kHkeyLocalMachine, Key(), "v", kRegView64);
  EXPECT_EQ(txt::kNotFound, ReadRegValue(plat::kHkeyLocalMachine, Key(), "v", kRegView64));
  EXPECT_EQ("32", ReadRegValue(plat::kHkeyLocalMachine, Key(), "v", kRegView32));

  Write(plat::kHkeyCurrentUser, plat::kKeyWow64_64Key, "64");
  Write(plat::kHkeyCurrentUser, plat::kKeyWow64_32Key, "32");
  EXPECT_EQ("32", ReadRegValue(plat::kHkeyCurrentUser, Key(), "v", kRegView64));
  EXPECT_EQ("32", ReadRegValue(plat::kHkeyCurrentUser, Key(), "v", kRegView32));
}

TEST_F(ViewsWin32Test, ResetClearsTheSandboxInBothViews) {
  Write(plat::kHkeyLocalMachine, plat::kKeyWow64_64Key, "64");
  Write(plat::kHkeyLocalMachine, plat::kKeyWow64_32Key, "32");
  support::ResetTestKeys();
  RegKey key;
  EXPECT_FALSE(key.Open(plat::kHkeyLocalMachine, support::kSandbox, kRegView64));
  EXPECT_FALSE(key.Open(plat::kHkeyLocalMachine, support::kSandbox, kRegView32));
}

}  // namespace
