// Taking entries out of start-up, on the stand-in natively and on the real
// registry and disk under Wine.
#include <gtest/gtest.h>

#include "core/monitor.h"
#include "core/texts.h"
#include "platform/registry.h"
#include "tests/common/monitor_fixture.h"
#include "tests/common/places.h"

namespace {

class RemoveTest : public MonitorTest<places::QuietDesktop> {
 protected:
  // Makes the entry current, by name and location, as a click would.
  void Select(const std::string& name, const std::string& location, const std::string& view = "") {
    for (int32_t r = 1; r < monitor.LIST1.Rows(); ++r) {
      if (monitor.LIST1.TextMatrix(r, kColNombre) == name &&
          monitor.LIST1.TextMatrix(r, kColUbicacion) == location &&
          monitor.LIST1.TextMatrix(r, kColVista) == view) {
        monitor.LIST1.SetRow(r);
        return;
      }
    }
    FAIL() << "no row " << name << " at " << location;
  }
  int Count(const std::string& name) const {
    int n = 0;
    for (int32_t r = 1; r < monitor.LIST1.Rows(); ++r)
      if (monitor.LIST1.TextMatrix(r, kColNombre) == name) ++n;
    return n;
  }
};

TEST_F(RemoveTest, AMachineValueGoesAndTheUsersNamesakeStays) {
  const RegView mv = places::MachineView();
  places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Dup", "c:\\m.exe", mv);
  places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, "Dup", "c:\\u.exe");
  monitor.llegirdelregistre();
  Select("Dup", "-2147483646", places::ViewTag(mv));
  std::string why;
  EXPECT_TRUE(monitor.eliminar(&why)) << why;
  EXPECT_FALSE(places::ValueExists(plat::kHkeyLocalMachine, txt::kRunKey, "Dup", mv));
  EXPECT_TRUE(places::ValueExists(plat::kHkeyCurrentUser, txt::kRunKey, "Dup"));
  EXPECT_EQ(Count("Dup"), 1);
}

TEST_F(RemoveTest, RemovalActsOnTheViewTheRowCameFrom) {
  if (!plat::RegHasTwoViews()) GTEST_SKIP() << "one registry view here";
  places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Par", "c:\\64.exe", kRegView64);
  places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Par", "c:\\32.exe", kRegView32);
  monitor.llegirdelregistre();
  Select("Par", "-2147483646", "32");
  std::string why;
  EXPECT_TRUE(monitor.eliminar(&why)) << why;
  EXPECT_FALSE(places::ValueExists(plat::kHkeyLocalMachine, txt::kRunKey, "Par", kRegView32));
  EXPECT_TRUE(places::ValueExists(plat::kHkeyLocalMachine, txt::kRunKey, "Par", kRegView64));
}

TEST_F(RemoveTest, AStartupFileIsDeletedFromTheFolderTheRegistryNames) {
  places::AddStartupFile("borrame.lnk");
  places::AddStartupFile("queda.lnk");
  monitor.llegirdelregistre();
  Select("borrame.lnk", places::StartupFolder());
  std::string why;
  EXPECT_TRUE(monitor.eliminar(&why)) << why;
  EXPECT_FALSE(places::StartupFileExists("borrame.lnk"));
  EXPECT_TRUE(places::StartupFileExists("queda.lnk"));
  EXPECT_EQ(Count("borrame.lnk"), 0);
}

TEST_F(RemoveTest, TheOpenCommandIsWrittenBack) {
  places::SetOpenCommand("c:\\intruso.exe \"%1\" %*");
  monitor.llegirdelregistre();
  Select("c:\\intruso.exe \"%1\" %*", "-2147483648");
  std::string why;
  EXPECT_TRUE(monitor.eliminar(&why)) << why;
  EXPECT_EQ(places::OpenCommand(), "\"%1\" %*");
  EXPECT_EQ(monitor.LIST1.Rows(), 1);
}

TEST_F(RemoveTest, ARemovedEntryThatComesBackIsStillValidated) {
  places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, "Vuelve", "c:\\v.exe");
  monitor.llegirdelregistre();
  Select("Vuelve", "-2147483647");
  monitor.LIST1.SetCol(kColValidado);
  monitor.LIST1.SetText(txt::kSi);
  std::string why;
  ASSERT_TRUE(monitor.GUARDAR(&why));
  Select("Vuelve", "-2147483647");
  EXPECT_TRUE(monitor.eliminar(&why));
  places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, "Vuelve", "c:\\v.exe");
  monitor.llegirdelregistre();
  EXPECT_EQ(monitor.LIST1.TextMatrix(1, kColValidado), "SI");
}

// The Startup setting moved since the scan: the row's folder is no longer the
// one the registry names, so nothing may be deleted.
TEST_F(RemoveTest, ARowFromAnOldStartupFolderRemovesNothing) {
  places::AddStartupFile("viejo.lnk");
  monitor.llegirdelregistre();
  Select("viejo.lnk", places::StartupFolder());
  places::SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue,
                    places::StartupFolder() + "2");
  std::string why;
  EXPECT_FALSE(monitor.eliminar(&why));
  EXPECT_NE(why.find("viejo.lnk"), std::string::npos);
  EXPECT_TRUE(places::StartupFileExists("viejo.lnk"));
}

TEST_F(RemoveTest, ANameWithAPathInItIsNeverFollowed) {
  places::AddStartupFile("senuelo.txt");
  places::AddFileBesideStartup("victima.txt");
  // Rows claiming names that climb out of the folder.
  const char* names[] = {"..\\victima.txt", "../victima.txt", "c:..\\victima.txt", ".."};
  for (const char* name : names) {
    monitor.llegirdelregistre();
    Select("senuelo.txt", places::StartupFolder());
    monitor.LIST1.SetCol(kColNombre);
    monitor.LIST1.SetText(name);
    std::string why;
    EXPECT_FALSE(monitor.eliminar(&why)) << name;
    EXPECT_TRUE(places::FileBesideStartupExists("victima.txt")) << name;
  }
}

}  // namespace
