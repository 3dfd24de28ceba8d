// What only a real Startup folder shows: file attributes, subfolders, and a
// file that cannot be deleted.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "core/monitor.h"
#include "core/texts.h"
#include "tests/common/monitor_fixture.h"
#include "tests/common/places.h"

namespace {

class StartupFolderTest : public MonitorTest<places::QuietDesktop> {
 protected:
  std::string PathOf(const std::string& name) { return places::StartupFolder() + "\\" + name; }
  std::vector<std::string> ListedNames() {
    std::vector<std::string> names;
    for (int32_t r = 1; r < monitor.LIST1.Rows(); ++r)
      names.push_back(monitor.LIST1.TextMatrix(r, kColNombre));
    return names;
  }
};

TEST_F(StartupFolderTest, OnlyOrdinaryFilesAreListed) {
  places::AddStartupFile("visible.lnk");
  places::AddStartupFile("oculto.lnk");
  places::AddStartupFile("sistema.lnk");
  places::AddStartupFile("lectura.lnk");
  SetFileAttributesA(PathOf("oculto.lnk").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(PathOf("sistema.lnk").c_str(), FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesA(PathOf("lectura.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
  CreateDirectoryA(PathOf("carpeta").c_str(), 0);
  monitor.llegirdelregistre();
  std::vector<std::string> names = ListedNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, std::vector<std::string>({"lectura.lnk", "visible.lnk"}));
}

TEST_F(StartupFolderTest, AFileThatCannotBeDeletedIsReported) {
  places::AddStartupFile("protegido.lnk");
  SetFileAttributesA(PathOf("protegido.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
  places::AddStartupFile("abierto.lnk");
  HANDLE open = CreateFileA(PathOf("abierto.lnk").c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, 0);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  monitor.llegirdelregistre();
  for (const char* name : {"protegido.lnk", "abierto.lnk"}) {
    const int32_t row = FindRow(name);
    ASSERT_GT(row, 0) << name;
    monitor.LIST1.SetRow(row);
    std::string why;
    EXPECT_FALSE(monitor.eliminar(&why)) << name;
    EXPECT_NE(why.find(name), std::string::npos) << why;
    EXPECT_NE(GetFileAttributesA(PathOf(name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
  }
  CloseHandle(open);
}

}  // namespace
