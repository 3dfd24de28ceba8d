// The monitor with its platform failing on demand: a data file that cannot be
// opened, a disk that fills up in the middle of a save, watched keys that
// refuse to open, a Startup file that will not go. Each failure is told or
// stays silent as decided, the next tick lists what can still be read, and no
// record is touched that the program did not mean to write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "core/monitor.h"
#include "core/texts.h"
#include "platform/errtext.h"
#include "platform/posix/scripted_desktop.h"
#include "platform/posix/standin.h"
#include "platform/registry.h"
#include "tests/common/places.h"
#include "ui/form1.h"

namespace {

using Names = std::vector<std::string>;

const char kWow64Run[] = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kCommand[] = "c:\\cargador.exe \"%1\" %*";

// A record as a save writes it.
std::string Record(const std::string& ubicacion, const std::string& subclave,
                   const std::string& nombre, const std::string& ruta) {
  std::string record;
  const std::string* fields[] = {&ubicacion, &subclave, &nombre, &ruta};
  const size_t widths[] = {10, 50, 100, 100};
  for (int i = 0; i < 4; ++i) {
    std::string field = fields[i]->substr(0, widths[i]);
    field.resize(widths[i], ' ');
    record += field;
  }
  return record;
}

Names Listed(const Monitor& m) {
  Names names;
  for (int32_t r = 1; r < m.LIST1.Rows(); ++r) names.push_back(m.LIST1.TextMatrix(r, kColNombre));
  return names;
}

// Every entry that Start puts in the six places, in the scan's order.
Names All() { return {"Alfa", "Beta", "Gamma", "Delta", "Epsilon", "Zeta.lnk", kCommand}; }

// A click on a row's name, as the window's grid reports it.
void Click(Monitor* m, int32_t row) {
  m->LIST1.UserSelect(row, kColNombre, row, kColNombre);
  m->LIST1_SelChange();
}

class FaultsTest : public ::testing::Test {
 protected:
  // An entry in each of the six places (both views of the machine Run key),
  // and the data file given.
  void Start(const std::string& dataFile) {
    places::Reset();
    places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Alfa", "c:\\alfa.exe", kRegView64);
    places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "Beta", "c:\\beta.exe", kRegView32);
    places::SetString(plat::kHkeyLocalMachine, txt::kRunServicesKey, "Gamma", "c:\\gamma.exe",
                      kRegView64);
    places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, "Delta", "c:\\delta.exe");
    places::SetString(plat::kHkeyCurrentUser, txt::kRunServicesKey, "Epsilon", "c:\\eps.exe");
    places::AddStartupFile("Zeta.lnk");
    places::SetOpenCommand(kCommand);
    places::WriteDataFileBytes(dataFile);
    desktop.boxes.clear();
    desktop.answers.clear();
    monitor.reset(new Monitor(&desktop));
    std::string why;
    ASSERT_TRUE(monitor->AbrirFichero(&why)) << why;
  }

  plat::ScriptedDesktop desktop;
  std::unique_ptr<Monitor> monitor;
};

// The program cannot run without its data file: it says why and ends before
// it adds its icon or starts its timer.
TEST_F(FaultsTest, ADataFileThatCannotBeOpenedIsSaidAndTheProgramEnds) {
  struct Case {
    const char* what;
    bool pathIsAFolder;  // else its folder is missing
    uint32_t reason;
  };
  const Case cases[] = {{"a folder in its place", true, plat::kErrAccessDenied},
                        {"no folder to hold it", false, plat::kErrPathNotFound}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    places::Reset();
    const std::string file = plat::standin::MapPath(txt::kDataFile);
    const std::string folder = file.substr(0, file.rfind('/'));
    ASSERT_EQ(c.pathIsAFolder ? mkdir(file.c_str(), 0755) : rmdir(folder.c_str()), 0);
    plat::ScriptedDesktop screen;
    Form1 form(&screen);
    EXPECT_FALSE(form.Form_Load());
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].caption, txt::kAppTitle);
    EXPECT_EQ(screen.boxes[0].type, plat::kMbOk | plat::kMbIconStop);
    EXPECT_EQ(screen.boxes[0].text, std::string(txt::kFicheroFallo) + txt::kDataFile + ": " +
                                        plat::SystemErrorText(c.reason));
    EXPECT_EQ(screen.calls, Names({"box"}));
    EXPECT_EQ(screen.timerInterval, 0u);
    struct stat st;
    EXPECT_EQ(stat(file.c_str(), &st) == 0 && S_ISDIR(st.st_mode), c.pathIsAFolder);
  }
}

// Rows 1, 3 and 4 are validated by records 10 to 12 (saved when the rows were
// numbered otherwise); validating row 6 writes records 1, 3, 4 and 6, and the
// disk fills up at one of them. The records before it are written, the one
// that fails holds at most the bytes that got out, every other record is as it
// was, the user is told, the table shows what the file holds, and the next
// tick and save work.
TEST_F(FaultsTest, ASaveThatFailsHalfWayTouchesNoOtherRecord) {
  struct Case {
    int writesBefore;
    uint32_t tornBytes;  // of the write that fails
  };
  const Case cases[] = {{0, 0}, {2, 0}, {2, 100}, {2, 200}, {3, 259}};
  const int32_t rows[] = {1, 3, 4, 6};  // the "SI" rows a save writes, row 6 the new one
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.writesBefore << " writes, then " << c.tornBytes << " bytes");
    std::string before;
    for (int n = 1; n <= 9; ++n) before += Record("x", "x", "Viejo " + std::to_string(n), "x");
    for (const char* name : {"Alfa", "Gamma", "Delta"})
      before += Record("-214748364", txt::kRunKey, name, "antes");
    Start(before);
    desktop.visible = true;
    Monitor& m = *monitor;
    m.llegirdelregistre();
    ASSERT_EQ(Listed(m), All());
    std::vector<std::string> saved;  // what records 1, 3, 4 and 6 are to hold
    for (int32_t row : rows)
      saved.push_back(
          Record(m.LIST1.TextMatrix(row, kColUbicacion), m.LIST1.TextMatrix(row, kColSubclave),
                 m.LIST1.TextMatrix(row, kColNombre), m.LIST1.TextMatrix(row, kColRuta)));

    Click(&m, 6);
    desktop.answers.push_back(plat::kIdYes);
    if (c.writesBefore == 0 && c.tornBytes == 0)
      plat::standin::FailNextWrites(1);
    else
      plat::standin::FailWriteAfter(c.writesBefore, c.tornBytes);
    m.btnvalidar_Click();

    std::string expected = before;
    for (int i = 0; i < c.writesBefore; ++i) expected.replace((rows[i] - 1) * 260, 260, saved[i]);
    expected.replace((rows[c.writesBefore] - 1) * 260, c.tornBytes,
                     saved[c.writesBefore].substr(0, c.tornBytes));
    EXPECT_EQ(places::DataFileBytes(), expected);
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[1].caption, txt::kGuardarCaption);
    EXPECT_EQ(desktop.boxes[1].type, plat::kMbOk | plat::kMbIconStop);
    EXPECT_EQ(desktop.boxes[1].text, std::string(txt::kGuardarFallo) + txt::kDataFile + ": " +
                                         plat::SystemErrorText(plat::kErrDiskFull));
    EXPECT_EQ(m.TXTVALIDAR, "");
    // Row 6 reads "SI" only if its whole name reached record 6.
    const bool nameStored = expected.compare(5 * 260 + 60, 100, saved[3], 60, 100) == 0;
    EXPECT_EQ(m.LIST1.TextMatrix(6, kColValidado), nameStored ? "SI" : "NO");

    m.Timer1_Timer();
    EXPECT_EQ(Listed(m), All());
    for (int32_t row : {1, 3, 4}) EXPECT_EQ(m.LIST1.TextMatrix(row, kColValidado), "SI") << row;
    EXPECT_EQ(places::DataFileBytes(), expected);

    // With room on the disk again, the same save completes.
    Click(&m, 6);
    desktop.answers.push_back(plat::kIdYes);
    m.btnvalidar_Click();
    for (int i = 0; i < 4; ++i) expected.replace((rows[i] - 1) * 260, 260, saved[i]);
    EXPECT_EQ(places::DataFileBytes(), expected);
    EXPECT_EQ(desktop.boxes.size(), 3u);
    EXPECT_EQ(m.LIST1.TextMatrix(6, kColValidado), "SI");
  }
}

// A key that refuses to open gives no rows and no message, every other place
// is listed, and so it stays tick after tick. Every entry is validated and
// the window hidden, so any box at all would show. The open command's key
// is the exception: as for any unreadable read its row names "Not Found",
// which no record validates.
TEST_F(FaultsTest, AKeyThatCannotBeOpenedIsLeftOutSilently) {
  const struct Case {
    int32_t root;
    const char* key;
    const char* missing;  // the entry of that key
  } cases[] = {
      {plat::kHkeyLocalMachine, txt::kRunKey, "Alfa"},
      {plat::kHkeyLocalMachine, kWow64Run, "Beta"},
      {plat::kHkeyLocalMachine, txt::kRunServicesKey, "Gamma"},
      {plat::kHkeyCurrentUser, txt::kRunKey, "Delta"},
      {plat::kHkeyCurrentUser, txt::kRunServicesKey, "Epsilon"},
      // The Startup folder's setting cannot be read: no folder to list.
      {plat::kHkeyCurrentUser, txt::kShellFoldersKey, "Zeta.lnk"},
      {plat::kHkeyClassesRoot, txt::kOpenCommandKey, kCommand},
  };
  std::string file;
  for (const std::string& name : All()) file += Record("x", "", name, "");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    Start(file);
    plat::standin::FailRegistryOpen(c.root, c.key);
    const bool openCommand = c.root == plat::kHkeyClassesRoot;
    Names expected = All();
    if (openCommand)
      expected.back() = txt::kNotFound;
    else
      expected.erase(std::find(expected.begin(), expected.end(), c.missing));
    for (int tick = 0; tick < 2; ++tick) {
      monitor->Timer1_Timer();
      EXPECT_EQ(Listed(*monitor), expected) << "tick " << tick;
    }
    EXPECT_EQ(desktop.boxes.size(), openCommand ? 1u : 0u);
    EXPECT_EQ(places::DataFileBytes(), file);
    EXPECT_EQ(plat::standin::OpenHandleCount(), 0u);
  }
}

}  // namespace
