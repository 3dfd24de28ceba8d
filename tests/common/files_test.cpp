// The file operations on whichever file system this build has: the POSIX
// stand-in natively, the real one under Wine.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/texts.h"
#include "tests/common/support.h"

namespace {

const uint32_t kLength = 260;

std::string Record(char fill) { return std::string(kLength, fill); }

std::string ReadRecord(plat::RecordFile* file, uint32_t n) {
  std::string buf(kLength, '?');
  EXPECT_TRUE(file->ReadRecord(n, &buf[0]));
  return buf;
}

std::vector<std::string> Sorted(const std::string& pattern) {
  std::vector<std::string> names;
  plat::ListOrdinaryFiles(pattern, &names);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FilesTest, RecordFileGrowsByRecordAndNeverShrinks) {
  support::TempFolder folder;
  const std::string path = folder.PathOf("data.dat");
  {
    plat::RecordFile file;
    std::string why;
    ASSERT_TRUE(file.Open(path, kLength, &why)) << why;
    EXPECT_EQ(0u, file.RecordCount());
    ASSERT_TRUE(file.WriteRecord(3, Record('C').data(), &why)) << why;
    EXPECT_EQ(3u, file.RecordCount());
    EXPECT_EQ(std::string(kLength, '\0'), ReadRecord(&file, 2));
    EXPECT_EQ(Record('C'), ReadRecord(&file, 3));
    EXPECT_EQ(std::string(kLength, '\0'), ReadRecord(&file, 7));  // past the end
  }
  plat::RecordFile again;
  ASSERT_TRUE(again.Open(path, kLength, 0));
  EXPECT_EQ(3u, again.RecordCount());
  ASSERT_TRUE(again.WriteRecord(1, Record('A').data(), 0));
  again.Close();
  std::string bytes;
  ASSERT_TRUE(folder.ReadFile("data.dat", &bytes));
  EXPECT_EQ(Record('A') + std::string(kLength, '\0') + Record('C'), bytes);
}

TEST(FilesTest, PartialLastRecordCountsAndReadsZeroFilled) {
  support::TempFolder folder;
  ASSERT_TRUE(folder.WriteFile("p.dat", std::string(600, 'x')));
  plat::RecordFile file;
  ASSERT_TRUE(file.Open(folder.PathOf("p.dat"), kLength, 0));
  EXPECT_EQ(3u, file.RecordCount());
  EXPECT_EQ(std::string(80, 'x') + std::string(180, '\0'), ReadRecord(&file, 3));
}

TEST(FilesTest, TwoOpeningsShareOneFile) {
  support::TempFolder folder;
  plat::RecordFile first, second;
  ASSERT_TRUE(first.Open(folder.PathOf("s.dat"), kLength, 0));
  ASSERT_TRUE(second.Open(folder.PathOf("s.dat"), kLength, 0));
  ASSERT_TRUE(first.WriteRecord(2, Record('F').data(), 0));
  EXPECT_EQ(2u, second.RecordCount());
  EXPECT_EQ(Record('F'), ReadRecord(&second, 2));
}

TEST(FilesTest, OpeningInAMissingFolderSaysWhy) {
  support::TempFolder folder;
  plat::RecordFile file;
  std::string why;
  EXPECT_FALSE(file.Open(folder.PathOf("no\\such.dat"), kLength, &why));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(txt::kErrRutaNoEncontrada, why);
}

TEST(FilesTest, ListingGivesOrdinaryFilesOnly) {
  support::TempFolder folder;
  ASSERT_TRUE(folder.WriteFile("a.txt", "a"));
  ASSERT_TRUE(folder.WriteFile("B.lnk", "b"));
  ASSERT_TRUE(folder.WriteFile("noext", "c"));
  ASSERT_TRUE(folder.MakeFolder("sub"));
  ASSERT_TRUE(folder.MakeFolder("sub.d"));
  ASSERT_TRUE(folder.WriteFile("sub\\inner.txt", "i"));
  const std::vector<std::string> all = {"B.lnk", "a.txt", "noext"};
  EXPECT_EQ(all, Sorted(folder.Path() + "\\*.*"));
  EXPECT_EQ(all, Sorted(folder.Path() + "\\*"));
  EXPECT_EQ(std::vector<std::string>{"B.lnk"}, Sorted(folder.Path() + "\\*.LNK"));
  EXPECT_TRUE(Sorted(folder.PathOf("missing") + "\\*.*").empty());
}

TEST(FilesTest, ExistenceAndDeletion) {
  support::TempFolder folder;
  ASSERT_TRUE(folder.WriteFile("f.txt", "x"));
  ASSERT_TRUE(folder.MakeFolder("sub"));
  EXPECT_TRUE(plat::FileExists(folder.PathOf("f.txt")));
  EXPECT_FALSE(plat::FileExists(folder.PathOf("sub")));
  EXPECT_FALSE(plat::FileExists(folder.PathOf("missing.txt")));

  std::string why;
  EXPECT_TRUE(plat::DeleteFileA(folder.PathOf("f.txt"), &why));
  EXPECT_FALSE(plat::FileExists(folder.PathOf("f.txt")));
  EXPECT_TRUE(plat::DeleteFileA(folder.PathOf("f.txt"), &why));  // already gone
  EXPECT_FALSE(plat::DeleteFileA(folder.PathOf("sub"), &why));
  EXPECT_EQ(txt::kErrAccesoDenegado, why);
}

}  // namespace
