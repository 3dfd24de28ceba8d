// The POSIX stand-in for Windows files: where paths go, what counts as
// hidden or system, and its faults on demand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/texts.h"
#include "platform/files.h"
#include "platform/posix/standin.h"
#include "tests/common/support.h"

namespace {

TEST(FilesStandinTest, WindowsPathsMapBelowTheRootAndNeverClimbOut) {
  plat::standin::SetFileRoot("/r");
  struct {
    const char* windows;
    const char* mapped;
  } const cases[] = {
      {"c:\\windows\\ximvar.dat", "/r/c/windows/ximvar.dat"},
      {"C:/Windows/X.dat", "/r/c/Windows/X.dat"},
      {"d:\\a\\.\\b\\\\c\\", "/r/d/a/b/c"},
      {"c:\\", "/r/c"},
      {"c:\\a\\..\\b", ""},
      {"c:\\..\\..\\etc\\passwd", ""},
      {"c:\\a/../../x", ""},
      {"windows\\x", ""},
      {"\\windows\\x", ""},
      {"\\\\server\\share\\x", ""},
      {"c:x", ""},
      {"c:", ""},
      {"1:\\x", ""},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
    EXPECT_EQ(cases[i].mapped, plat::standin::MapPath(cases[i].windows)) << cases[i].windows;
  EXPECT_EQ("", plat::standin::MapPath(std::string("c:\\a\0/../..", 11)));
  plat::standin::SetFileRoot("");
  EXPECT_EQ("", plat::standin::MapPath("c:\\windows\\ximvar.dat"));
}

TEST(FilesStandinTest, DotFilesAreHiddenAndMarkedFilesAreSystem) {
  support::TempFolder folder;
  ASSERT_TRUE(folder.WriteFile("plain.txt", "p"));
  ASSERT_TRUE(folder.WriteFile(".hidden", "h"));
  ASSERT_TRUE(folder.WriteFile("system.sys", "s"));
  plat::standin::SetSystemFile(folder.PathOf("system.sys"), true);
  std::vector<std::string> names;
  plat::ListOrdinaryFiles(folder.Path() + "\\*.*", &names);
  EXPECT_EQ(std::vector<std::string>{"plain.txt"}, names);
  EXPECT_FALSE(plat::FileExists(folder.PathOf(".hidden")));
  EXPECT_FALSE(plat::FileExists(folder.PathOf("system.sys")));
  plat::standin::SetSystemFile(folder.PathOf("system.sys"), false);
  EXPECT_TRUE(plat::FileExists(folder.PathOf("system.sys")));
}

TEST(FilesStandinTest, PathsThatMapNowhereGiveNothing) {
  support::TempFolder folder;
  ASSERT_TRUE(folder.WriteFile("f.txt", "x"));
  std::vector<std::string> names = {"stale"};
  plat::ListOrdinaryFiles("temp\\*.*", &names);
  EXPECT_TRUE(names.empty());
  plat::ListOrdinaryFiles(folder.Path() + "\\..\\temp\\*.*", &names);
  EXPECT_TRUE(names.empty());
  std::string why;
  EXPECT_FALSE(plat::DeleteFileA("f.txt", &why));
  EXPECT_EQ(txt::kErrRutaNoEncontrada, why);
  plat::RecordFile file;
  EXPECT_FALSE(file.Open("..\\x.dat", 260, &why));
  EXPECT_TRUE(plat::FileExists(folder.PathOf("f.txt")));
}

TEST(FilesStandinTest, FaultsOnDemandSayWhy) {
  support::TempFolder folder;
  ASSERT_TRUE(folder.WriteFile("f.txt", "x"));
  std::string why;
  plat::standin::FailNextDeletes(1);
  EXPECT_FALSE(plat::DeleteFileA(folder.PathOf("f.txt"), &why));
  EXPECT_EQ(txt::kErrAccesoDenegado, why);
  EXPECT_TRUE(plat::FileExists(folder.PathOf("f.txt")));
  EXPECT_TRUE(plat::DeleteFileA(folder.PathOf("f.txt"), &why));

  plat::RecordFile file;
  ASSERT_TRUE(file.Open(folder.PathOf("d.dat"), 4, &why));
  plat::standin::FailNextWrites(1);
  EXPECT_FALSE(file.WriteRecord(1, "abcd", &why));
  EXPECT_EQ(txt::kErrDiscoLleno, why);
  EXPECT_EQ(0u, file.RecordCount());
  EXPECT_TRUE(file.WriteRecord(1, "abcd", &why));
  EXPECT_EQ(1u, file.RecordCount());
}

}  // namespace
