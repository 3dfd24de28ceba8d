// Checks the ground every other test stands on: the data model the platform
// layer assumes, and that the fixtures path handed over by the build reaches
// the source tree (under Wine through drive Z:).
#include <stdint.h>
#include <stdio.h>

#include <string>

#include <gtest/gtest.h>

TEST(Smoke, DataModel) {
  // A registry root held in 32 bits must sign-extend into a pointer-sized handle.
  EXPECT_EQ(4u, sizeof(int32_t));
  EXPECT_TRUE(sizeof(void*) == 4 || sizeof(void*) == 8);
  EXPECT_EQ(sizeof(void*), sizeof(intptr_t));
  EXPECT_EQ(static_cast<intptr_t>(-2147483647 - 1),
            static_cast<intptr_t>(static_cast<int32_t>(0x80000000u)));
}

TEST(Smoke, FixturesDirReachesSourceTree) {
  const std::string dir = CENTINELA_FIXTURES_DIR;
#ifdef _WIN32
  const char sep = '\\';
  ASSERT_EQ(0u, dir.find("Z:\\")) << dir;
#else
  const char sep = '/';
  ASSERT_EQ(0u, dir.find('/')) << dir;
#endif
  const std::string tests = dir.substr(0, dir.rfind(sep));
  const std::string self = tests + sep + "common" + sep + "smoke_test.cpp";
  FILE* f = fopen(self.c_str(), "rb");
  EXPECT_TRUE(f != NULL) << self;
  if (f) fclose(f);
}
