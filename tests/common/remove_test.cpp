// Taking entries out of start-up, on the stand-in natively and on the real
// registry and disk under Wine.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/exacto.h"
#include "platform/text.h"
#ifndef _WIN32
#include "tests/standin/standin.h"
#endif
#include "tests/common/monitor_fixture.h"

namespace {

class RemoveTest : public MonitorTest {
 protected:
  // Makes the entry current, as a click would.
  void Select(const std::string& name, const std::string& place, const std::string& view = "") {
    ASSERT_TRUE(monitor.LIST1.SetRow(FindRow(name, place.c_str(), view.c_str()))) << name;
  }
  // The rows as name, command, place, key and view.
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int32_t r = 1; r < monitor.LIST1.Rows(); ++r) {
      rows.emplace_back();
      for (int32_t c : {kColNombre, kColRuta, kColUbicacion, kColSubclave, kColVista})
        rows.back() += monitor.LIST1.TextMatrix(r, c) + "|";
    }
    return rows;
  }
};

// From each place exactly the entry removed goes: the machine's value and
// not the user's namesake, the 32-bit view's and not the 64-bit one's, one
// Startup file and not its neighbour, and the open command is written back
// standard. Validated before it went, each is still validated when it returns.
TEST_F(RemoveTest, EachPlaceLosesExactlyTheEntryAndItsMarkStays) {
  const RegView mv = places::MachineView();
  const bool twoViews = plat::RegHasTwoViews();
  const std::string command = "c:\\intruso.exe \"%1\" %*";
  auto add = [&] {
    places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Dup", "c:\\m.exe", mv);
    AddUserRun("Dup", "c:\\m.exe");  // its validation is the machine one's too
    for (RegView view : {kRegView64, kRegView32})
      if (twoViews)
        places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Par", "c:\\p.exe", view);
    places::AddStartupFile("borrame.lnk");
    places::AddStartupFile("queda.lnk");
    places::SetOpenCommand(command);
  };
  struct Target {
    std::string name, location, view;
  };
  std::vector<Target> targets = {{"Dup", kHklm, places::ViewTag(mv)},
                                 {"borrame.lnk", places::StartupFolder(), ""},
                                 {command, kHkcr, ""}};
  if (twoViews) targets.insert(targets.begin() + 1, {"Par", kHklm, "32"});
  add();
  monitor.llegirdelregistre();
  for (const Target& t : targets) {
    SCOPED_TRACE(t.name);
    Select(t.name, t.location, t.view);
    std::vector<std::string> expected = Rows();
    const int32_t row = monitor.LIST1.Row();
    expected.erase(expected.begin() + row - 1);
    Validate(row);
    monitor.LIST1.SetRow(row);
    std::string why;
    EXPECT_TRUE(monitor.eliminar(&why)) << why;
    EXPECT_EQ(Rows(), expected);
    monitor.llegirdelregistre();
    EXPECT_EQ(Rows(), expected);
  }
  EXPECT_EQ(ReadRegValue(plat::kHkeyClassesRoot, txt::kOpenCommandKey, ""), "\"%1\" %*");
  add();
  monitor.llegirdelregistre();
  for (const Target& t : targets) {
    Select(t.name, t.location, t.view);
    EXPECT_EQ(monitor.LIST1.TextMatrix(monitor.LIST1.Row(), kColValidado), "SI") << t.name;
  }
}

// A row whose folder is no longer the one the registry names (the setting
// moved since the scan), or whose name climbs out of the folder, deletes
// nothing and says which entry stayed.
TEST_F(RemoveTest, ARowThatPointsOutOfTheFolderRemovesNothing) {
  places::AddStartupFile("senuelo.txt");
  const std::string victim = places::StartupFolder() + "-victima.txt";
  places::AddFile(victim);
  for (const std::string name :
       {"", "..\\Inicio-victima.txt", "../Inicio-victima.txt", "c:..\\Inicio-victima.txt", ".."}) {
    places::SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue,
                      places::StartupFolder());
    monitor.llegirdelregistre();
    Select("senuelo.txt", places::StartupFolder());
    if (name.empty()) {
      places::SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue,
                        places::StartupFolder() + "2");
    } else {
      monitor.LIST1.SetCol(kColNombre);
      monitor.LIST1.SetText(name);
      monitor.LIST1.SetCol(kColExacto);
      monitor.LIST1.SetText(ExactoDeAnsi(name));
    }
    std::string why;
    EXPECT_FALSE(monitor.eliminar(&why)) << name;
    EXPECT_NE(why.find(name.empty() ? "senuelo.txt" : name), std::string::npos) << why;
    EXPECT_TRUE(places::FileExists(victim)) << name;
    EXPECT_TRUE(places::StartupFileExists("senuelo.txt")) << name;
  }
}

// Entries made the way programs hide from tools: each is listed under a
// name a person can read, validated alone, and removal takes exactly it,
// leaving every other value of the key and file of the folder as it was.
std::string WideSz(const std::string& ansi) {
  return plat::WideFromAnsi(ansi) + std::string(2, '\0');
}

struct Hostile {
  const char* label;
  bool file;         // a Startup file, else a value of the user's Run key
  std::string name;  // exact (wide)
  std::string data;  // a value's REG_SZ data, wide with its zero
  std::string shown;
  std::string twin;  // a namesake that must stay ("" the default value)
};

TEST_F(RemoveTest, HostileNamesAndSizesAreListedValidatedAndRemovedExactly) {
  const std::string mark(1, txt::kMarcaNul);
  const Hostile cases[] = {
      {"NUL first", false, std::string("\0\0o\0c\0u\0l\0t\0o\0", 14), WideSz("c:\\x.exe"),
       mark + "oculto", ""},
      {"1.2 MB of data", false, plat::WideFromAnsi("grande"), WideSz(std::string(600 * 1024, 'g')),
       "grande", ""},
      {"outside the code page", false, "\x16\x04\x43\x04\x3a\x04", WideSz("c:\\ru.exe"), "???",
       "\x14\x04\x3e\x04\x3c\x04"},
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
    // Rows by exact name: the shown one may be the twin's too.
    auto rowOf = [&](const std::string& wide) {
      for (int32_t r = 1; r < monitor.LIST1.Rows(); ++r)
        if (monitor.LIST1.TextMatrix(r, kColExacto) == ExactoDeWide(wide)) return r;
      return -1;
    };
    ASSERT_GT(rowOf(h.name), 0);
    ASSERT_GT(rowOf(h.twin), 0);
    EXPECT_EQ(monitor.LIST1.TextMatrix(rowOf(h.name), kColNombre), h.shown);

    // Validated alone, and still after a rescan.
    Validate(rowOf(h.name));
    EXPECT_EQ(monitor.LIST1.TextMatrix(rowOf(h.name), kColValidado), "SI");
    EXPECT_EQ(monitor.LIST1.TextMatrix(rowOf(h.twin), kColValidado), "NO");

    monitor.LIST1.SetRow(rowOf(h.name));
    std::string why;
    EXPECT_TRUE(monitor.eliminar(&why)) << why;
    std::vector<std::string> rest = before;
    const auto it = std::find(rest.begin(), rest.end(),
                              h.file ? "file " + h.name : "value " + h.name + " = " + h.data);
    ASSERT_NE(it, rest.end());
    rest.erase(it);
    EXPECT_EQ(places::Snapshot(hkcu, txt::kRunKey), rest);
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
