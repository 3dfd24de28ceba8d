// The scan of the six places and the data file, on the stand-in natively and
// on the real registry and disk under Wine.
#include "core/exacto.h"
#include "tests/common/monitor_fixture.h"

namespace {

using ScanTest = MonitorTest;

// Values and files carry their exact names; the open command, listed right
// after the Startup folder's files, has none, and gives a row only when it is
// not a standard one. With no Startup setting there is no folder to list.
TEST_F(ScanTest, OnlyValuesAndFilesCarryExactNames) {
  AddUserRun("Gamma", "c:\\gamma.exe /s");
  places::AddStartupFile("epsilon.lnk");
  for (const char* command : {"\"%1\" %*", "", "\"%1\"", "c:\\zeta.exe \"%1\" %*"}) {
    places::SetOpenCommand(command);
    monitor.llegirdelregistre();
    Names exact;
    for (const std::string& e : Column(kColExacto)) exact.push_back(Exacto::DeCelda(e).Visible());
    const bool listed = command[0] != '"';
    EXPECT_EQ(exact, listed ? Names({"Gamma", "epsilon.lnk", ""}) : Names({"Gamma", "epsilon.lnk"}))
        << command;
    EXPECT_EQ(Column().back(), listed ? command : "epsilon.lnk");
  }
  DeleteRegValue(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue);
  monitor.llegirdelregistre();
  EXPECT_EQ(Column(), Names({"Gamma", "c:\\zeta.exe \"%1\" %*"}));
}

// An entry is validated by a record holding its whole name and its command,
// each as a save stores it (padded, or cut to 100 bytes: a command that
// differs only past byte 100 reads as its record). The record is laid out as
// every earlier version wrote it; records never written match nothing.
TEST_F(ScanTest, LookupMatchesWholeNameAndCommand) {
  const std::string largo = "c:\\" + std::string(100, 'l');
  // Record 2: a gap of zeros.
  places::WriteDataFileBytes(Record("", "", "ABCDEF", "c:\\abc.exe") + std::string(260, '\0') +
                             Record("", "", "largo", largo));
  monitor.llegirdelfitxer();
  EXPECT_EQ(monitor.list2.Rows(), 31);  // never fewer than 30 records

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
  AddUserRun("Up\tdater", "c:\\updater.exe");  // a tab is kept as it is
  AddUserRun("Otro", "c:\\otro.exe");
  monitor.llegirdelregistre();
  for (int32_t row : {1, 2}) Validate(row);
  std::string expected = places::DataFileBytes();
  AddUserRun("Up\tdater", "c:\\evil.exe");
  monitor.Timer1_Timer();  // hidden: the alert, then the window
  EXPECT_EQ(desktop.calls, Names({"box", "show"}));
  const int32_t row = FindRow("Up\tdater");
  EXPECT_EQ(monitor.LIST1.TextMatrix(row, kColValidado), "NO");
  Validate(row);
  expected.replace((row - 1) * 260, 260, Record(kHkcu, txt::kRunKey, "Up\tdater", "c:\\evil.exe"));
  EXPECT_EQ(places::DataFileBytes(), expected);
  EXPECT_EQ(monitor.LIST1.TextMatrix(row, kColValidado), "SI");
}

// Row 31 is past the thirty records the validated list starts with; a name
// over 100 characters matches its stored cut, and only that. A data file of a
// gigabyte costs a bounded load: records past the last one a table row can
// have are not read.
TEST_F(ScanTest, ValidatedRowsBeyondThirtyLongNamesAndHugeFilesStayValidated) {
  for (int i = 101; i <= 130; ++i) AddUserRun("v" + std::to_string(i).substr(1), "c:\\v.exe");
  const std::string name150(150, 'w'), other150(2100, 'y');  // a name of any length is listed
  AddUserRun(name150, "c:\\largo.exe");
  AddUserRun(other150, "c:\\otro.exe");
  monitor.llegirdelregistre();
  ASSERT_EQ(FindRow(name150), 31);
  Validate(FindRow(name150));
  EXPECT_EQ(places::DataFileBytes().size(), 31u * 260u);
  for (uint64_t size : {0ull, 1024ull * 1024 * 1024}) {
    plat::RecordFile file;  // a record about that far in
    uint32_t error;
    if (size && file.Open(txt::kDataFile, 260, &error))
      file.WriteRecord(static_cast<uint32_t>(size / 260), std::string(260, ' ').data(), &error);
    file.Close();
    monitor.llegirdelregistre();
    EXPECT_EQ(monitor.LIST1.TextMatrix(FindRow(name150), kColValidado), "SI");
    EXPECT_EQ(monitor.LIST1.TextMatrix(FindRow(other150), kColValidado), "NO");
    EXPECT_EQ(monitor.LIST1.TextMatrix(FindRow("v30"), kColValidado), "NO");
  }
  EXPECT_EQ(monitor.list2.Rows(), kMaxRegistros + 1);
}

}  // namespace
