// The ten-second check, its alert, the selection across a tick, and the two
// confirmed actions, driven through a scripted desktop.
#include <gtest/gtest.h>

#include "tests/common/monitor_fixture.h"
#include "tests/standin/standin.h"

namespace {

class CheckTest : public MonitorTest {
 protected:
  void AddRun(int32_t root, const std::string& name) {
    places::SetString(root, txt::kRunKey, name, "c:\\" + name + ".exe",
                      root == plat::kHkeyLocalMachine ? places::MachineView() : kRegViewDefault);
  }
  // A shown window listing these user entries.
  void Show(std::initializer_list<const char*> names) {
    for (const char* name : names) AddRun(plat::kHkeyCurrentUser, name);
    desktop.visible = true;
    monitor.llegirdelregistre();
  }
  struct CountingView : GridListener {
    int changes = 0;
    void OnSelChange() override {}
    void OnGridChanged() override { ++changes; }
  };
};

TEST_F(CheckTest, AlertsWhileHiddenOnceForExactlyTheNOMarksBeforeTheWindowComes) {
  // How many rows and whether the window is shown are the scan fuzzer's: only
  // "NO" itself counts.
  AddRun(plat::kHkeyCurrentUser, "p0");
  monitor.llegirdelregistre();
  for (const char* mark : {"no", "No", "", "NO ", "SI"}) {
    SetCell(1, kColValidado, mark);
    monitor.comprobar();
    EXPECT_EQ(desktop.calls, Names()) << mark;
    EXPECT_FALSE(desktop.visible) << mark;
  }
  // Once per hide; a tick while the alert is up leaves alone the table it is about.
  for (int i = 0; i < 2; ++i) monitor.Timer1_Timer();
  desktop.visible = false;
  int inside = 0;
  desktop.whileBoxOpen = [&](const plat::ShownBox&) {
    if (inside++) return;
    AddRun(plat::kHkeyCurrentUser, "dos");
    monitor.Timer1_Timer();
    monitor.Timer1_Timer();
  };
  monitor.Timer1_Timer();
  EXPECT_EQ(desktop.calls, Names({"box", "show", "box", "show"}));
  EXPECT_EQ(monitor.LIST1.Rows(), 2);
}

TEST_F(CheckTest, TheSelectionFollowsItsEntryAcrossATick) {
  Show({"a", "b", "c", "d", "e"});
  // A selection copies its first cell and keeps its range.
  monitor.LIST1.UserSelect(2, kColRuta, 5, kColRuta);
  monitor.LIST1_SelChange();
  EXPECT_EQ(monitor.TXTVALIDAR, "c:\\b.exe");
  EXPECT_EQ(monitor.LIST1.RowSel(), 5);
  // Both ends follow their entries, listed one lower.
  monitor.LIST1.UserSelect(2, 1, 5, 3);
  AddRun(plat::kHkeyLocalMachine, "arriba");  // listed above the user's entries
  CountingView view;
  monitor.LIST1.SetListener(&view);
  monitor.Timer1_Timer();  // comes back from column 0
  const Grid& grid = monitor.LIST1;
  EXPECT_EQ(std::vector<int32_t>({grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()}),
            std::vector<int32_t>({3, 0, 6, 3}));
  EXPECT_EQ(monitor.TXTVALIDAR, "c:\\b.exe");
  // The view hears of a changed table once a tick, and of an unchanged one not at all.
  monitor.Timer1_Timer();
  EXPECT_EQ(view.changes, 1);
  // A cell written between ticks is drawn, and so is the tick that lists the
  // entry as it is again.
  monitor.LIST1.SetText("otro");
  const int drawn = view.changes;
  monitor.Timer1_Timer();
  EXPECT_EQ(view.changes, drawn + 1);
  monitor.LIST1.SetListener(0);

  // With either end gone a range comes back as the current row alone; the
  // field empties only when the current row's own entry went, and then the
  // row is the nearest that exists and no action can fall on it.
  for (const bool own : {false, true}) {
    const char* gone = own ? "e" : "d";
    SCOPED_TRACE(gone);
    monitor.LIST1.UserSelect(FindRow(own ? "e" : "b"), 0, FindRow(own ? "c" : "d"), 0);
    monitor.LIST1_SelChange();
    DeleteRegValue(plat::kHkeyCurrentUser, txt::kRunKey, gone);
    monitor.Timer1_Timer();
    EXPECT_EQ(grid.Row(), own ? 4 : 3);
    EXPECT_EQ(grid.RowSel(), grid.Row());
    EXPECT_EQ(monitor.TXTVALIDAR, own ? "" : "b");
  }
  monitor.Command3_Click();
  monitor.btnvalidar_Click();
  EXPECT_TRUE(desktop.boxes.empty());
  Click(FindRow("a"));
  for (const char* name : {"a", "b", "c", "d"})
    DeleteRegValue(plat::kHkeyCurrentUser, txt::kRunKey, name);
  DeleteRegValue(plat::kHkeyLocalMachine, txt::kRunKey, "arriba", places::MachineView());
  monitor.Timer1_Timer();  // only the header is left
  EXPECT_EQ(grid.Row(), 0);
  EXPECT_EQ(monitor.TXTVALIDAR, "");
}

// Each action asks first, a removal naming the path; No leaves all as it was.
// Yes to a removal acts on the entry the box named, though a tick while it was
// up would have moved the rows below "terco" up one. A Startup file that will not go, a machine
// value a standard user may not delete, and a key that no longer opens (which hides the value from
// the rescan too: no proof it went) are told.
TEST_F(CheckTest, EachActionAsksFirstARemovalActsOnTheEntryItNamedAndAFailureIsTold) {
  enum Fault { kNone, kDelete, kMachineWrite, kKeyOpen };
  const struct Case {
    const char* name;
    Fault fault;
    bool listed;  // after the rescan
  } cases[] = {{"oculto", kNone, false},
               {"pegado.lnk", kDelete, true},
               {"terco", kMachineWrite, true},
               {"oculto", kKeyOpen, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    places::Reset();
    desktop.boxes.clear();
    desktop.whileBoxOpen = nullptr;
    places::AddStartupFile("pegado.lnk");
    AddRun(plat::kHkeyLocalMachine, "terco");
    Show({"oculto"});
    Click(FindRow(c.name));
    const std::string ruta = monitor.LIST1.TextMatrix(FindRow(c.name), kColRuta);
    monitor.btnvalidar_Click();  // both answered No
    monitor.Command3_Click();
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0].caption, txt::kValidarCaption);
    EXPECT_EQ(desktop.boxes[1].text, txt::kEliminarTextBefore + ruta + txt::kEliminarTextAfter);
    EXPECT_EQ(monitor.LIST1.Col(), kColRuta);
    EXPECT_EQ(monitor.TXTVALIDAR, c.name);
    EXPECT_EQ(places::DataFileBytes().size(), 0u);
    if (c.fault == kDelete) plat::standin::Disk().failDeletes = 1;
    if (c.fault == kMachineWrite) plat::standin::DenyRegistryWrites(plat::kHkeyLocalMachine);
    if (c.fault == kKeyOpen) plat::standin::FailRegistryOpen(plat::kHkeyCurrentUser, txt::kRunKey);
    desktop.answers.push_back(plat::kIdYes);
    desktop.whileBoxOpen = [&](const plat::ShownBox&) {
      DeleteRegValue(plat::kHkeyLocalMachine, txt::kRunKey, "terco", places::MachineView());
      monitor.Timer1_Timer();
    };
    monitor.Command3_Click();
    ASSERT_EQ(desktop.boxes.size(), c.fault == kNone ? 3u : 4u);
    EXPECT_EQ(desktop.boxes.back().caption, txt::kEliminarCaption);
    EXPECT_NE(desktop.boxes.back().text.find(c.name), std::string::npos);
    EXPECT_EQ(FindRow(c.name) > 0, c.listed);
    EXPECT_EQ(monitor.TXTVALIDAR, "");  // nothing left for the next click to act on
    EXPECT_TRUE(places::StartupFileExists("pegado.lnk"));
    EXPECT_EQ(plat::standin::OpenHandleCount(), 0u);
  }
}

// Several rows (selected either way round) are validated after one question
// that counts them: each one's record is written at its number and no other
// is; No writes nothing. With several rows selected a removal says so once
// and removes nothing; with one, the question is as ever.
TEST_F(CheckTest, SeveralRowsAreValidatedWithOneQuestionAndNoneRemoved) {
  for (int32_t anchor : {2, 3}) {
    places::Reset();
    desktop.boxes.clear();
    Show({"a", "b", "c", "d"});
    monitor.LIST1.UserSelect(anchor, kColNombre, 5 - anchor, kColNombre);
    monitor.LIST1_SelChange();
    monitor.Command3_Click();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0],
              (plat::ShownBox{txt::kEliminarVarios, txt::kEliminarCaption, plat::kMbOk}));
    EXPECT_EQ(Column(), Names({"a", "b", "c", "d"}));
    monitor.btnvalidar_Click();  // No
    EXPECT_EQ(places::DataFileBytes(), "");
    desktop.answers.push_back(plat::kIdYes);
    monitor.btnvalidar_Click();
    ASSERT_EQ(desktop.boxes.size(), 3u);
    EXPECT_EQ(desktop.boxes[1], desktop.boxes[2]);
    EXPECT_EQ(desktop.boxes[2], (plat::ShownBox{std::string(txt::kValidarVariosBefore) + "2" +
                                                    txt::kValidarVariosAfter + txt::kValidarText,
                                                txt::kValidarCaption, plat::kMbYesNo}));
    EXPECT_EQ(places::DataFileBytes(), std::string(260, '\0') +
                                           Record(kHkcu, txt::kRunKey, "b", "c:\\b.exe") +
                                           Record(kHkcu, txt::kRunKey, "c", "c:\\c.exe"));
    EXPECT_EQ(Column(kColValidado), Names({"NO", "SI", "SI", "NO"}));
    EXPECT_EQ(monitor.TXTVALIDAR, "");
  }
  Click(FindRow("d"));
  monitor.btnvalidar_Click();
  EXPECT_EQ(desktop.boxes.back().text, txt::kValidarText);
}

}  // namespace
