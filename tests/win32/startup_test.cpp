// What only a real Startup folder shows: file attributes, subfolders, and
// files that resist deletion with the system's own reason.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "tests/common/monitor_fixture.h"

namespace {

using StartupFolderTest = MonitorTest;

// Hidden and system files and folders are not listed; a read-only file and
// one held open are, and their removal fails with the system's reason.
TEST_F(StartupFolderTest, OnlyOrdinaryFilesAreListedAndThoseThatStaySayWhy) {
  const auto path = [](const std::string& name) { return places::StartupFolder() + "\\" + name; };
  const std::pair<const char*, DWORD> files[] = {{"visible.lnk", FILE_ATTRIBUTE_NORMAL},
                                                 {"oculto.lnk", FILE_ATTRIBUTE_HIDDEN},
                                                 {"sistema.lnk", FILE_ATTRIBUTE_SYSTEM},
                                                 {"protegido.lnk", FILE_ATTRIBUTE_READONLY},
                                                 {"abierto.lnk", FILE_ATTRIBUTE_NORMAL}};
  for (const auto& f : files) {
    places::AddStartupFile(f.first);
    SetFileAttributesA(path(f.first).c_str(), f.second);
  }
  plat::CreateFolder(path("carpeta"));
  HANDLE open = CreateFileA(path("abierto.lnk").c_str(), GENERIC_READ, FILE_SHARE_READ, 0,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  monitor.llegirdelregistre();
  Names names = Column();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, std::vector<std::string>({"abierto.lnk", "protegido.lnk", "visible.lnk"}));
  const std::pair<const char*, const char*> cases[] = {{"protegido.lnk", txt::kErrAccesoDenegado},
                                                       {"abierto.lnk", txt::kErrEnUso}};
  for (const auto& c : cases) {
    const int32_t row = FindRow(c.first);
    ASSERT_GT(row, 0) << c.first;
    std::string why;
    EXPECT_FALSE(Remove(row, &why)) << c.first;
    EXPECT_EQ(why,
              std::string(txt::kNoEliminadoBefore) + c.first + txt::kNoEliminadoFichero + c.second);
    EXPECT_NE(GetFileAttributesA(path(c.first).c_str()), INVALID_FILE_ATTRIBUTES) << c.first;
  }
  CloseHandle(open);
}

}  // namespace
