// Taking entries out of start-up, on the stand-in natively and on the real
// registry and disk under Wine.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/exacto.h"
#include "core/monitor.h"
#include "core/texts.h"
#include "platform/registry.h"
#include "platform/text.h"
#ifndef _WIN32
#include "platform/posix/standin.h"
#endif
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
  EXPECT_EQ(ReadRegValue(plat::kHkeyClassesRoot, txt::kOpenCommandKey, ""), "\"%1\" %*");
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
    monitor.LIST1.SetCol(kColExacto);
    monitor.LIST1.SetText(ExactoDeAnsi(name));
    std::string why;
    EXPECT_FALSE(monitor.eliminar(&why)) << name;
    EXPECT_TRUE(places::FileBesideStartupExists("victima.txt")) << name;
  }
}

// Entries made the way programs hide from tools: each is listed under a
// name a person can read, validated alone, and removal takes exactly it,
// leaving every other value of the key and file of the folder as it was.
std::string W(std::initializer_list<plat::WCHAR> units) {
  std::string wide;
  for (plat::WCHAR u : units) plat::AppendWide(&wide, u);
  return wide;
}

std::string WideSz(const std::string& ansi) {
  return plat::WideFromAnsi(ansi) + std::string(2, '\0');
}

struct Hostile {
  const char* label;
  bool file;         // a Startup file, else a value of the user's Run key
  std::string name;  // exact (wide)
  std::string data;  // a value's REG_SZ data, wide with its zero
  std::string shown;
  std::string twin;  // a namesake that must stay as it is ("" the default value)
};

TEST_F(RemoveTest, HostileNamesAndSizesAreListedValidatedAndRemovedExactly) {
  const std::string mark(1, txt::kMarcaNul);
  const Hostile cases[] = {
      {"NUL first", false, W({0, 'o', 'c', 'u', 'l', 't', 'o'}), WideSz("c:\\x.exe"),
       mark + "oculto", ""},
      {"1.2 MB of data", false, plat::WideFromAnsi("grande"),
       WideSz(std::string(600 * 1024, 'g')), "grande", ""},
      {"outside the code page", false, W({0x416, 0x443, 0x43A}), WideSz("c:\\ru.exe"), "???",
       W({0x414, 0x43E, 0x43C})},
      {"trailing dot", true, plat::WideFromAnsi("foo."), "", "foo.", plat::WideFromAnsi("foo")},
      {"trailing blank", true, plat::WideFromAnsi("bar "), "", "bar ", plat::WideFromAnsi("bar")},
  };
  for (const Hostile& h : cases) {
    SCOPED_TRACE(h.label);
    places::Reset();
    const int32_t hkcu = plat::kHkeyCurrentUser;
    if (h.file) {
      places::AddStartupFileW(h.twin);
      places::AddStartupFileW(h.name);
    } else {
      places::SetValueW(hkcu, txt::kRunKey, h.twin, plat::kRegSz, WideSz("c:\\twin.exe"));
      places::SetValueW(hkcu, txt::kRunKey, h.name, plat::kRegSz, h.data);
    }
    const std::vector<std::string> before = places::Snapshot(hkcu, txt::kRunKey);
    ASSERT_EQ(before.size(), 2u);

    monitor.llegirdelregistre();
    ASSERT_EQ(monitor.LIST1.Rows(), 3);
    int32_t row = 0, twin = 0;
    for (int32_t r = 1; r <= 2; ++r)
      (monitor.LIST1.TextMatrix(r, kColExacto) == ExactoDeWide(h.name) ? row : twin) = r;
    ASSERT_GT(row, 0);
    ASSERT_GT(twin, 0);
    EXPECT_EQ(monitor.LIST1.TextMatrix(row, kColNombre), h.shown);
    EXPECT_EQ(monitor.LIST1.TextMatrix(twin, kColExacto), ExactoDeWide(h.twin));

    // Validated alone, and still after a rescan.
    monitor.LIST1.SetRow(row);
    monitor.LIST1.SetCol(kColValidado);
    monitor.LIST1.SetText(txt::kSi);
    std::string why;
    ASSERT_TRUE(monitor.GUARDAR(&why)) << why;
    for (int32_t r = 1; r <= 2; ++r) {
      const bool isIt = monitor.LIST1.TextMatrix(r, kColExacto) == ExactoDeWide(h.name);
      EXPECT_EQ(monitor.LIST1.TextMatrix(r, kColValidado), isIt ? "SI" : "NO");
      if (isIt) row = r;
    }

    monitor.LIST1.SetRow(row);
    EXPECT_TRUE(monitor.eliminar(&why)) << why;
    const std::vector<std::string> after = places::Snapshot(hkcu, txt::kRunKey);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(std::find(before.begin(), before.end(), after[0]), before.end());
    EXPECT_EQ(after[0].find(h.file ? "file " + h.twin : "value " + h.twin + " = "), 0u);
    EXPECT_EQ(monitor.LIST1.Rows(), 2);
  }
}

#ifndef _WIN32
// Windows 9x has no path form that keeps a trailing dot: the ANSI path would
// delete "foo" for "foo.", so such a file is left alone, and said so.
TEST_F(RemoveTest, WithoutWideNamesANameTheSystemWouldChangeIsLeftAlone) {
  places::AddStartupFile("foo");
  places::AddStartupFileW(plat::WideFromAnsi("foo."));
  const std::vector<std::string> before = places::Snapshot(plat::kHkeyCurrentUser, txt::kRunKey);
  ASSERT_EQ(before.size(), 2u);
  plat::standin::SetWideNames(false);
  monitor.llegirdelregistre();
  Select("foo.", places::StartupFolder());
  std::string why;
  EXPECT_FALSE(monitor.eliminar(&why));
  EXPECT_NE(why.find("\"foo.\""), std::string::npos) << why;
  plat::standin::SetWideNames(true);
  EXPECT_EQ(places::Snapshot(plat::kHkeyCurrentUser, txt::kRunKey), before);
}
#endif

}  // namespace
