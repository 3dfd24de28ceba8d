// Taking entries out of start-up, on the stand-in natively and on the real
// registry and disk under Wine.
#include <algorithm>

#include "core/exacto.h"
#include "tests/common/monitor_fixture.h"
#ifndef _WIN32
#include "tests/standin/standin.h"
#endif

namespace {

using RemoveTest = MonitorTest;

// From each place exactly the entry removed goes: the machine's value and
// not the user's namesake, the 32-bit view's and not the 64-bit one's, one
// Startup file and not its neighbour, and the open command is written back
// standard. Validated before it went, each is still validated when it returns.
TEST_F(RemoveTest, EachPlaceLosesExactlyTheEntryAndItsMarkStays) {
  const RegView mv = places::MachineView();
  const bool twoViews = plat::RegHasTwoViews();
  const std::string command = "c:\\intruso.exe \"%1\" %*";
  // The rows as name, command, place, key and view: not the marks.
  const auto entries = [this] {
    return Rows({kColNombre, kColRuta, kColUbicacion, kColSubclave, kColVista});
  };
  auto add = [&] {
    places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Dup", "c:\\m.exe", mv);
    AddUserRun("Dup", "c:\\m.exe");  // its validation is the machine one's too
    for (RegView view : {kRegView64, kRegView32})
      if (twoViews) places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Par", "c:\\p", view);
    places::AddStartupFile("borrame.lnk");
    places::AddStartupFile("queda.lnk");
    places::SetOpenCommand(command);
  };
  std::vector<Names> targets = {{"Dup", kHklm, places::ViewTag(mv)},
                                {"borrame.lnk", places::StartupFolder(), ""},
                                {command, kHkcr, ""}};
  if (twoViews) targets.push_back({"Par", kHklm, "32"});
  add();
  monitor.llegirdelregistre();
  for (const auto& t : targets) {
    SCOPED_TRACE(t[0]);
    const int32_t row = FindRow(t[0], t[1].c_str(), t[2].c_str());
    ASSERT_GT(row, 0);
    std::vector<Names> expected = entries();
    expected.erase(expected.begin() + row);
    Validate(row);
    std::string why;
    EXPECT_TRUE(Remove(row, &why)) << why;
    EXPECT_EQ(entries(), expected);
    monitor.llegirdelregistre();
    EXPECT_EQ(entries(), expected);
  }
  EXPECT_EQ(ReadRegValue(plat::kHkeyClassesRoot, txt::kOpenCommandKey, ""), "\"%1\" %*");
  add();
  monitor.llegirdelregistre();
  for (const auto& t : targets) {
    const int32_t row = FindRow(t[0], t[1].c_str(), t[2].c_str());
    EXPECT_EQ(monitor.LIST1.TextMatrix(row, kColValidado), "SI") << t[0];
  }
}

// A row whose folder is no longer the one the registry names (the setting
// moved since the scan), or whose name climbs out of the folder, deletes
// nothing and says which entry stayed.
TEST_F(RemoveTest, ARowThatPointsOutOfTheFolderRemovesNothing) {
  places::AddStartupFile("senuelo.txt");
  const std::string folder = places::StartupFolder(), victim = folder + "-victima.txt";
  places::WriteDataFileBytes("x", victim);
  for (const std::string name :
       {"", "..\\Inicio-victima.txt", "../Inicio-victima.txt", "c:..\\Inicio-victima.txt", ".."}) {
    places::SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue, folder);
    monitor.llegirdelregistre();
    const int32_t row = FindRow("senuelo.txt");
    if (name.empty()) {
      places::SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue,
                        folder + "2");
    } else {
      SetCell(row, kColNombre, name);
      SetCell(row, kColExacto, Exacto::DeAnsi(name).Celda());
    }
    std::string why;
    EXPECT_FALSE(Remove(row, &why)) << name;
    EXPECT_NE(why.find(name.empty() ? "senuelo.txt" : name), std::string::npos) << why;
    EXPECT_TRUE(plat::FileExists(victim)) << name;
    EXPECT_TRUE(places::StartupFileExists("senuelo.txt")) << name;
  }
}

// Entries made the way programs hide from tools: each is listed under a
// name a person can read, validated alone, and removal takes exactly it,
// leaving every other value of the key and file of the folder as it was.
TEST_F(RemoveTest, HostileNamesAndSizesAreListedValidatedAndRemovedExactly) {
  const auto w = [](const std::string& ansi) { return plat::WideFromAnsi(ansi); };
  const std::string mark(1, txt::kMarcaNul);
  const struct {
    const char* label;
    bool file;         // a Startup file, else a value of the user's Run key
    std::string name;  // exact (wide)
    std::string data;  // a value's REG_SZ text
    std::string shown;
    std::string twin;  // a namesake that must stay ("" the default value)
  } cases[] = {
      {"NUL first", false, w(std::string("\0oculto", 7)), "c:\\x.exe", mark + "oculto", ""},
      {"1.2 MB of data", false, w("grande"), std::string(600 * 1024, 'g'), "grande", ""},
      {"outside the code page", false, "\x16\x04\x43\x04\x3a\x04", "c:\\ru.exe", "???",
       "\x14\x04\x3e\x04\x3c\x04"},
      {"trailing dot", true, w("foo."), "", "foo.", w("foo")},
      {"trailing blank", true, w("bar "), "", "bar ", w("bar")},
  };
  for (const auto& h : cases) {
    SCOPED_TRACE(h.label);
    places::Reset();
    const std::string data = w(places::Sz(h.data));
    for (const std::string& name : {h.twin, h.name}) {
      if (h.file) places::AddStartupFileW(name);
      if (!h.file)
        places::SetValueW(plat::kHkeyCurrentUser, txt::kRunKey, name, plat::kRegSz,
                          name == h.name ? data : w(places::Sz("c:\\twin.exe")));
    }
    Names rest = places::Snapshot(plat::kHkeyCurrentUser, txt::kRunKey);
    ASSERT_EQ(rest.size(), 2u);
    monitor.llegirdelregistre();
    // Rows by exact name: the shown one may be the twin's too.
    int32_t row = 0, twin = 0;
    for (int32_t r = 1; r < monitor.LIST1.Rows(); ++r)
      if (Propia(r)) (monitor.LIST1.TextMatrix(r, kColExacto) == Exacto::DeWide(h.name).Celda() ? row : twin) = r;
    ASSERT_EQ(Column().size(), 2u);
    ASSERT_GT(row * twin, 0);
    EXPECT_EQ(monitor.LIST1.TextMatrix(row, kColNombre), h.shown);
    Validate(row);  // alone, and still after the rescan
    EXPECT_EQ(Column(kColValidado), row == 1 ? Names({"SI", "NO"}) : Names({"NO", "SI"}));
    std::string why;
    EXPECT_TRUE(Remove(row, &why)) << why;
    rest.erase(std::find(rest.begin(), rest.end(),
                         h.file ? "file " + h.name : "value " + h.name + " = " + data));
    EXPECT_EQ(places::Snapshot(plat::kHkeyCurrentUser, txt::kRunKey), rest);
    EXPECT_EQ(Column().size(), 1u);
  }
}

#ifndef _WIN32
// Windows 9x has no path form that keeps a trailing dot: the ANSI path would
// delete "foo" for "foo.", so such a file is left alone, and said so.
TEST_F(RemoveTest, WithoutWideNamesANameTheSystemWouldChangeIsLeftAlone) {
  places::AddStartupFile("foo");
  places::AddStartupFile("foo.");
  plat::standin::SetWideNames(false);
  monitor.llegirdelregistre();
  std::string why;
  EXPECT_FALSE(Remove(FindRow("foo."), &why));
  EXPECT_NE(why.find("\"foo.\""), std::string::npos) << why;
  plat::standin::SetWideNames(true);
  EXPECT_TRUE(places::StartupFileExists("foo") && places::StartupFileExists("foo."));
}
#endif

}  // namespace
