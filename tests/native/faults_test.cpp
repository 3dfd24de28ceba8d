// The monitor with a disk that fills up in the middle of a save: the failure
// is told, the next tick lists every entry, and no record is touched that the
// program did not mean to write.
#include "core/errtext.h"
#include "platform/errors.h"
#include "tests/common/monitor_fixture.h"
#include "tests/standin/standin.h"

namespace {

const char kCommand[] = "c:\\cargador.exe \"%1\" %*";

// The entry Start puts in each of the six places, in the scan's order, and
// the key of each of the first five: both views of the machine Run key.
const Names kAll = {"Alfa", "Beta", "Gamma", "Delta", "Epsilon", "Zeta.lnk", kCommand};
// What each of them starts, as its row shows it.
std::string CommandOf(const std::string& name) {
  return name == kCommand || name == "Zeta.lnk" ? name : "c:\\" + name + ".exe";
}
const std::pair<int32_t, const char*> kKeys[] = {
    {plat::kHkeyLocalMachine, txt::kRunKey},
    {plat::kHkeyLocalMachine, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {plat::kHkeyLocalMachine, txt::kRunServicesKey},
    {plat::kHkeyCurrentUser, txt::kRunKey},
    {plat::kHkeyCurrentUser, txt::kRunServicesKey}};

class FaultsTest : public MonitorTest {
 protected:
  void Start(const std::string& dataFile) {
    places::Reset();
    for (int i = 0; i < 5; ++i)
      places::SetString(kKeys[i].first, kKeys[i].second, kAll[i], CommandOf(kAll[i]));
    places::AddStartupFile(kAll[5]);
    places::SetOpenCommand(kCommand);
    places::WriteDataFileBytes(dataFile);
    desktop.boxes.clear();
    std::string why;
    ASSERT_TRUE(monitor.AbrirFichero(&why)) << why;
    monitor.llegirdelregistre();
    ASSERT_EQ(Column(), kAll);
  }
  // Validation of a row, answered Yes.
  void ValidateAsked(int32_t row) {
    Click(row);
    desktop.answers.push_back(plat::kIdYes);
    monitor.btnvalidar_Click();
  }
};

// Rows 1, 3 and 4 are validated by records 10 to 12 (saved when the rows were
// numbered otherwise); validating row 6 writes records 1, 3, 4 and 6, and the
// disk fills up at one of them. The records before it are written, the one
// that fails holds at most the bytes that got out, every other record is as it
// was, the user is told, the table shows what the file holds, and the next
// tick and save work.
TEST_F(FaultsTest, ASaveThatFailsHalfWayTouchesNoOtherRecord) {
  const struct {
    int writesBefore, tornBytes;  // the bytes of the write that fails
  } cases[] = {{0, 0}, {2, 0}, {2, 100}, {2, 200}, {3, 259}};
  const int32_t rows[] = {1, 3, 4, 6};  // the "SI" rows a save writes, row 6 the new one
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.writesBefore << " writes, " << c.tornBytes << " bytes");
    std::string before;
    for (int n = 1; n <= 9; ++n) before += Record("x", "x", "Viejo " + std::to_string(n), "x");
    for (const char* name : {"Alfa", "Gamma", "Delta"})
      before += Record("-214748364", txt::kRunKey, name, CommandOf(name));
    Start(before);
    desktop.visible = true;
    const Grid& grid = monitor.LIST1;
    std::vector<std::string> saved;  // what records 1, 3, 4 and 6 are to hold
    for (int32_t row : rows)
      saved.push_back(Record(grid.TextMatrix(row, kColUbicacion),
                             grid.TextMatrix(row, kColSubclave), grid.TextMatrix(row, kColNombre),
                             grid.TextMatrix(row, kColRuta)));

    plat::standin::Disk().writesBeforeTear = c.writesBefore;
    plat::standin::Disk().tornBytes = c.tornBytes;
    ValidateAsked(6);

    std::string expected = before;
    for (int i = 0; i < c.writesBefore; ++i) expected.replace((rows[i] - 1) * 260, 260, saved[i]);
    expected.replace((rows[c.writesBefore] - 1) * 260, c.tornBytes,
                     saved[c.writesBefore].substr(0, c.tornBytes));
    EXPECT_EQ(places::DataFileBytes(), expected);
    const std::string said = txt::kGuardarFallo + std::string(txt::kDataFile) + ": ";
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[1],
              (plat::ShownBox{said + SystemErrorText(plat::kErrDiskFull), txt::kGuardarCaption,
                              plat::kMbOk | plat::kMbIconStop}));
    EXPECT_EQ(monitor.TXTVALIDAR, "");
    // Row 6 reads "SI" only if its whole name and command reached record 6.
    const bool nameStored = expected.compare(5 * 260 + 60, 200, saved[3], 60, 200) == 0;
    EXPECT_EQ(grid.TextMatrix(6, kColValidado), nameStored ? "SI" : "NO");

    monitor.Timer1_Timer();
    EXPECT_EQ(Column(), kAll);
    for (int32_t row : {1, 3, 4}) EXPECT_EQ(grid.TextMatrix(row, kColValidado), "SI") << row;
    EXPECT_EQ(places::DataFileBytes(), expected);

    ValidateAsked(6);  // with room on the disk again, the same save completes
    for (int i = 0; i < 4; ++i) expected.replace((rows[i] - 1) * 260, 260, saved[i]);
    EXPECT_EQ(places::DataFileBytes(), expected);
    EXPECT_EQ(desktop.boxes.size(), 3u);
    EXPECT_EQ(grid.TextMatrix(6, kColValidado), "SI");
    EXPECT_EQ(monitor.TXTVALIDAR, "");
  }
}

// A data file that cannot be read leaves every row unvalidated; read again,
// the same records validate their rows again (a tick only rebuilds the list
// from a file that reads otherwise than the last one).
TEST_F(FaultsTest, RecordsReadAgainAfterAFailedReadCountAgain) {
  Start(Record("-214748364", txt::kRunKey, "Alfa", CommandOf("Alfa")));
  const Grid& grid = monitor.LIST1;
  for (bool reads : {false, true, true}) {
    plat::standin::Disk().readsFail = !reads;
    monitor.Timer1_Timer();
    EXPECT_EQ(grid.TextMatrix(1, kColValidado), reads ? "SI" : "NO");
    EXPECT_EQ(grid.TextMatrix(2, kColValidado), "NO");
  }
}

}  // namespace
