// The scan of the six places and the data file, on the stand-in natively and
// on the real registry and disk under Wine.
#include <gtest/gtest.h>

#include "core/exacto.h"
#include "tests/common/monitor_fixture.h"

namespace {

using Cells = std::vector<std::string>;

class ScanTest : public MonitorTest {
 protected:
  Cells RowCells(int32_t row) const {
    Cells cells;
    for (int32_t c = 0; c < kColExacto; ++c) cells.push_back(monitor.LIST1.TextMatrix(row, c));
    return cells;
  }
  std::string Mark(const std::string& name) const {
    return monitor.LIST1.TextMatrix(FindRow(name), kColValidado);
  }
};

TEST_F(ScanTest, ListsEveryPlaceInOrderWithItsHiddenColumns) {
  const RegView mv = places::MachineView();
  places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Alfa", "c:\\alfa.exe", mv);
  places::SetString(plat::kHkeyLocalMachine, txt::kRunServicesKey, "Beta", "c:\\beta.exe", mv);
  AddUserRun("Gamma", "c:\\gamma.exe /s");
  places::SetString(plat::kHkeyCurrentUser, txt::kRunServicesKey, "Delta", "c:\\delta.exe");
  places::AddStartupFile("epsilon.lnk");
  places::SetOpenCommand("c:\\zeta.exe \"%1\" %*");

  monitor.llegirdelregistre();

  const std::string tag = places::ViewTag(mv);
  const std::vector<Cells> expected = {
      {"NOMBRE", "RUTA", "Validado", "", "", ""},
      {"Alfa", "c:\\alfa.exe", "NO", kHklm, txt::kRunKey, tag},
      {"Beta", "c:\\beta.exe", "NO", kHklm, txt::kRunServicesKey, tag},
      {"Gamma", "c:\\gamma.exe /s", "NO", kHkcu, txt::kRunKey, ""},
      {"Delta", "c:\\delta.exe", "NO", kHkcu, txt::kRunServicesKey, ""},
      {"epsilon.lnk", "epsilon.lnk", "NO", places::StartupFolder(), "", ""},
      {"c:\\zeta.exe \"%1\" %*", "c:\\zeta.exe \"%1\" %*", "NO", kHkcr, "", ""},
  };
  ASSERT_EQ(monitor.LIST1.Rows(), static_cast<int32_t>(expected.size()));
  for (size_t r = 0; r < expected.size(); ++r) {
    EXPECT_EQ(RowCells(static_cast<int32_t>(r)), expected[r]) << "row " << r;
    // Values and files carry their exact names; the open command has none.
    const std::string& exacto = monitor.LIST1.TextMatrix(static_cast<int32_t>(r), kColExacto);
    EXPECT_EQ(r >= 1 && r <= 5 ? expected[r][0] : "", NombreVisible(exacto)) << "row " << r;
  }
}

// Values after one that reads as "Not Found", one too long for the first
// read, or one with a very long name must all be listed, each as text; the
// default value's empty name is not validated by nothing.
TEST_F(ScanTest, NoValueHidesTheValuesAfterIt) {
  const std::string longData(3000, 'x');
  const std::string longName = "a4" + std::string(2100, 'n');
  AddUserRun("", "c:\\default.exe");
  AddUserRun("a1", txt::kNotFound);
  AddUserRun("a2", longData);
  AddUserRun("a3", "c:\\after.exe");
  AddUserRun(longName, "c:\\longname.exe");
  places::SetValue(plat::kHkeyCurrentUser, txt::kRunKey, "a5", plat::kRegDword,
                   std::string("\x05\x00\x00\x00", 4));
  AddUserRun("a6\tb", "c:\\x.exe\t-2147483646");  // a tab moves no cell
  monitor.llegirdelregistre();
  const Cells names = {"", "a1", "a2", "a3", longName, "a5", "a6\tb"};
  const Cells data = {"c:\\default.exe",       txt::kNotFound,     longData,
                      "c:\\after.exe",         "c:\\longname.exe", "005",
                      "c:\\x.exe\t-2147483646"};
  ASSERT_EQ(monitor.LIST1.Rows(), 8);
  for (int32_t r = 1; r <= 7; ++r)
    EXPECT_EQ(RowCells(r), Cells({names[r - 1], data[r - 1], "NO", kHkcu, txt::kRunKey, ""}));
  Validate(7);
  EXPECT_EQ(Mark("a6\tb"), "SI");
  EXPECT_EQ(monitor.list2.TextMatrix(7, 0), "a6\tb" + std::string(96, ' '));
  EXPECT_EQ(monitor.VALIDAR_CLAVE("a6", "c:\\x.exe"), "NO");
}

// The open command gives a row only when it is not a standard one; with no
// Startup setting there is no folder to list.
TEST_F(ScanTest, OnlyAnOpenCommandNotStandardAndNoFolderWithoutItsSetting) {
  places::AddStartupFile("uno.exe");
  DeleteRegValue(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue);
  const std::pair<const char*, bool> cases[] = {
      {"\"%1\" %*", false}, {"c:\\intruso.exe \"%1\" %*", true}, {"", true}, {"\"%1\"", false}};
  for (const auto& c : cases) {
    places::SetOpenCommand(c.first);
    monitor.llegirdelregistre();
    EXPECT_EQ(monitor.LIST1.Rows(), c.second ? 2 : 1) << c.first;
    if (c.second) {
      EXPECT_EQ(RowCells(1), Cells({c.first, c.first, "NO", kHkcr, "", ""}));
    }
  }
}

// Each field padded with blanks or cut to its width; a row never validated
// leaves its record as it was (zeros past the old end).
TEST_F(ScanTest, SaveWritesValidatedRowsAtTheirRowNumbers) {
  for (const char* name : {"a", "b", "c", "d", "e"}) AddUserRun(name, std::string("c:\\") + name);
  places::SetString(plat::kHkeyCurrentUser, txt::kRunServicesKey, "svc", "c:\\svc.exe");
  const char* file = "programa-de-inicio.exe";
  places::AddStartupFile(file);
  monitor.llegirdelregistre();
  for (const char* name : {"a", "c", "svc", file}) Validate(FindRow(name));
  EXPECT_EQ(monitor.list2.Rows(), 31);  // never fewer than 30 records
  EXPECT_EQ(Column(kColValidado), Names({"SI", "NO", "SI", "NO", "NO", "SI", "SI"}));
  const std::string zeros(260, '\0');
  EXPECT_EQ(places::DataFileBytes(), Record(kHkcu, txt::kRunKey, "a", "c:\\a") + zeros +
                                         Record(kHkcu, txt::kRunKey, "c", "c:\\c") + zeros + zeros +
                                         Record(kHkcu, txt::kRunServicesKey, "svc", "c:\\svc.exe") +
                                         Record(places::StartupFolder(), "", file, file));
}

// An entry is validated by a record holding its whole name and its command,
// each as a save stores it (padded, or cut to 100 bytes: a command that
// differs only past byte 100 reads as its record). The record is laid out as
// every earlier version wrote it; records never written match nothing.
TEST_F(ScanTest, LookupMatchesWholeNameAndCommand) {
  const std::string largo = "c:\\" + std::string(100, 'l');
  std::string file = std::string(260, ' ') + std::string(260, '\0');  // record 2: a gap of zeros
  file.replace(60, 6, "ABCDEF");
  file.replace(160, 10, "c:\\abc.exe");
  std::string second(260, ' ');
  second.replace(60, 5, "largo");
  second.replace(160, 100, largo.substr(0, 100));
  places::WriteDataFileBytes(file + second);

  const char* const cases[][3] = {
      {"ABCDEF", "c:\\abc.exe", "SI"},  {"ABCDEF", "c:\\abc.exe  ", "SI"},
      {"ABCDEF", "c:\\evil.exe", "NO"}, {"ABCDEF", "", "NO"},
      {"ABC", "c:\\abc.exe", "NO"},     {"abcdef", "c:\\abc.exe", "NO"},
      {"ABCDEFG", "c:\\abc.exe", "NO"}, {"", "", "NO"},
  };
  for (const auto& c : cases) EXPECT_EQ(monitor.VALIDAR_CLAVE(c[0], c[1]), c[2]) << c[0] << c[1];
  EXPECT_EQ(monitor.VALIDAR_CLAVE("largo", largo + " /tail"), "SI");
  EXPECT_EQ(monitor.VALIDAR_CLAVE("largo", largo.substr(0, 99) + "x"), "NO");

  // A written record with an empty name and command is the empty entry's.
  places::WriteDataFileBytes(std::string(260, ' '));
  EXPECT_EQ(monitor.VALIDAR_CLAVE("", ""), "SI");
}

// A trusted name that now starts something else is new again; validating it
// again stores the new command in its row's record and touches no other.
TEST_F(ScanTest, AChangedCommandIsNewUntilValidatedAgain) {
  AddUserRun("Updater", "c:\\updater\\update.exe");
  AddUserRun("Otro", "c:\\otro.exe");
  monitor.llegirdelregistre();
  Validate(1);
  Validate(2);
  const std::string before = places::DataFileBytes();
  AddUserRun("Updater", "c:\\users\\public\\evil.exe");
  desktop.visible = false;
  monitor.Timer1_Timer();
  EXPECT_EQ(Mark("Updater"), "NO");
  EXPECT_EQ(desktop.boxes.size(), 1u);  // the alert
  EXPECT_TRUE(desktop.visible);
  Validate(1);
  EXPECT_EQ(Mark("Updater"), "SI");
  const std::string after = places::DataFileBytes();
  ASSERT_EQ(after.size(), 2u * 260u);
  EXPECT_EQ(after.substr(160, 100), "c:\\users\\public\\evil.exe" + std::string(76, ' '));
  EXPECT_EQ(after.substr(260), before.substr(260));
}

// Row 31 is past the thirty records the validated list starts with; a name
// over 100 characters matches its stored cut, and only that. A data file of a
// gigabyte costs a bounded load: records past the last one a table row can
// have are not read.
TEST_F(ScanTest, ValidatedRowsBeyondThirtyLongNamesAndHugeFilesStayValidated) {
  for (int i = 1; i <= 30; ++i) {
    std::string name =
        std::string("v") + static_cast<char>('0' + i / 10) + static_cast<char>('0' + i % 10);
    AddUserRun(name, "c:\\" + name + ".exe");
  }
  const std::string name150(150, 'w'), other150(150, 'y');
  AddUserRun(name150, "c:\\largo.exe");
  AddUserRun(other150, "c:\\otro.exe");
  monitor.llegirdelregistre();
  ASSERT_EQ(FindRow(name150), 31);
  Validate(FindRow(name150));
  EXPECT_EQ(places::DataFileBytes().size(), 31u * 260u);
  for (uint64_t size : {0ull, 1024ull * 1024 * 1024}) {
    if (size) places::GrowDataFile(size);
    monitor.llegirdelregistre();
    EXPECT_EQ(Mark(name150), "SI");
    EXPECT_EQ(Mark(other150), "NO");
    EXPECT_EQ(Mark("v30"), "NO");
  }
  EXPECT_EQ(monitor.list2.Rows(), kMaxRegistros + 1);
}

}  // namespace
