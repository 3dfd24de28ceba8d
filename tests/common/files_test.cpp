// The file operations on whichever file system this build has: the POSIX
// stand-in natively, the real one under Wine.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/texts.h"
#include "platform/errors.h"
#include "tests/common/places.h"

namespace {

const uint32_t kLength = 260;

std::string Read(plat::RecordFile* file, uint32_t n) {
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

// Two openings share the file, a gap reads as zeros, a partial last record
// counts, and nothing ever truncates it.
TEST(FilesTest, RecordFileGrowsByRecordSharedAndNeverShrinks) {
  places::Reset();
  const std::string zeros(kLength, '\0'), a(kLength, 'A'), c(kLength, 'C');
  places::WriteDataFileBytes(std::string(kLength + 80, 'x'));
  plat::RecordFile first, second;
  uint32_t why = 0;
  ASSERT_TRUE(first.Open(txt::kDataFile, kLength, &why)) << why;
  ASSERT_TRUE(second.Open(txt::kDataFile, kLength, &why)) << why;
  EXPECT_EQ(2u, first.RecordCount());
  EXPECT_EQ(std::string(80, 'x') + std::string(180, '\0'), Read(&first, 2));
  ASSERT_TRUE(first.WriteRecord(4, c.data(), &why)) << why;
  EXPECT_EQ(4u, second.RecordCount());
  EXPECT_EQ(zeros, Read(&second, 3));
  EXPECT_EQ(c, Read(&second, 4));
  EXPECT_EQ(zeros, Read(&second, 9));  // past the end
  ASSERT_TRUE(second.WriteRecord(1, a.data(), &why)) << why;
  first.Close();
  second.Close();
  EXPECT_EQ(a + std::string(80, 'x') + std::string(180, '\0') + zeros + c, places::DataFileBytes());

  plat::RecordFile missing;
  EXPECT_FALSE(missing.Open(places::StartupFolder() + "\\no\\such.dat", kLength, &why));
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_EQ(plat::kErrPathNotFound, why);
}

TEST(FilesTest, ListingExistenceAndDeletion) {
  places::Reset();
  const std::string dir = places::StartupFolder();
  for (const char* name : {"sub", "sub.d"}) plat::CreateFolder(dir + "\\" + name);
  for (const char* name : {"a.txt", "B.lnk", "noext", "sub\\inner.txt"})
    places::AddStartupFile(name);
  EXPECT_EQ(Sorted(dir + "\\*.*"), std::vector<std::string>({"B.lnk", "a.txt", "noext"}));
  EXPECT_TRUE(Sorted(dir + "\\missing\\*.*").empty());

  EXPECT_TRUE(plat::FileExists(dir + "\\a.txt"));
  EXPECT_FALSE(plat::FileExists(dir + "\\sub"));
  uint32_t why = 0;
  EXPECT_TRUE(plat::DeleteFileA(dir + "\\a.txt", &why));
  EXPECT_FALSE(plat::FileExists(dir + "\\a.txt"));
  EXPECT_TRUE(plat::DeleteFileA(dir + "\\a.txt", &why));  // already gone
  EXPECT_FALSE(plat::DeleteFileA(dir + "\\sub", &why));
  EXPECT_EQ(plat::kErrAccessDenied, why);
}

}  // namespace
