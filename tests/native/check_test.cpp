// The ten-second check, its alert, the selection across a tick, and the two
// confirmed actions, driven through a scripted desktop.
#include <gtest/gtest.h>

#include "core/monitor.h"
#include "core/texts.h"
#include "platform/posix/scripted_desktop.h"
#include "platform/posix/standin.h"
#include "platform/registry.h"
#include "tests/common/monitor_fixture.h"
#include "tests/common/places.h"

namespace {

class CheckTest : public MonitorTest<plat::ScriptedDesktop> {
 protected:
  void AddUserRun(const std::string& name) {
    places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, name, "c:\\" + name + ".exe");
  }
  void AddMachineRun(const std::string& name) {
    places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, name, "c:\\m.exe",
                      places::MachineView());
  }
  void RemoveUserRun(const std::string& name) {
    DeleteRegValue(plat::kHkeyCurrentUser, txt::kRunKey, name);
  }
  // A shown window listing these user entries.
  void Show(std::initializer_list<const char*> names) {
    for (const char* name : names) AddUserRun(name);
    desktop.visible = true;
    monitor.llegirdelregistre();
  }
  // A click on a cell, as the window's grid reports it.
  void Click(const std::string& name, int32_t col = kColNombre) {
    int32_t row = FindRow(name);
    ASSERT_GT(row, 0) << name;
    monitor.LIST1.UserSelect(row, col, row, col);
    monitor.LIST1_SelChange();
  }
  struct CountingView : GridListener {
    int changes = 0;
    void OnSelChange() override {}
    void OnGridChanged() override { ++changes; }
  };
  size_t Alerts() const {
    size_t n = 0;
    for (const plat::ShownBox& box : desktop.boxes) n += box.caption == txt::kAlertCaption;
    return n;
  }
};

TEST_F(CheckTest, AlertsWhileHiddenOnceForExactlyTheNOMarks) {
  const struct Case {
    bool visible;
    int entries;
    const char* mark;  // written over the first entry's mark, if any
    size_t alerts;
  } cases[] = {{false, 0, 0, 0},    {false, 1, 0, 1},    {false, 3, 0, 1},   {true, 3, 0, 0},
               {false, 1, "no", 0}, {false, 1, "No", 0}, {false, 1, "", 0},  {false, 1, "NO ", 0},
               {false, 1, "SI", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.visible << " " << c.entries << " " << c.mark);
    places::Reset();
    desktop.boxes.clear();
    for (int i = 0; i < c.entries; ++i) AddUserRun(std::string("p") + char('0' + i));
    desktop.visible = c.visible;
    monitor.llegirdelregistre();
    if (c.mark) {
      monitor.LIST1.SetRow(1);
      monitor.LIST1.SetCol(kColValidado);
      monitor.LIST1.SetText(c.mark);
    }
    monitor.comprobar();
    EXPECT_EQ(Alerts(), c.alerts);
    EXPECT_EQ(desktop.visible, c.visible || c.alerts > 0);
    EXPECT_TRUE(!c.alerts || desktop.calls.back() == "show");  // the window comes after the box
  }
  for (int i = 0; i < 2; ++i) monitor.Timer1_Timer();  // once per hide
  EXPECT_EQ(Alerts(), 1u);
  desktop.HideWindow();
  monitor.Timer1_Timer();
  EXPECT_EQ(Alerts(), 2u);
}

TEST_F(CheckTest, TheSelectionFollowsItsEntryAcrossATick) {
  Show({"a", "b", "c", "d", "e"});
  monitor.LIST1.UserSelect(2, 1, 5, 3);
  monitor.Timer1_Timer();  // comes back as one row, from column 0
  EXPECT_EQ(monitor.LIST1.Row(), 5);
  EXPECT_EQ(monitor.LIST1.Col(), 0);
  EXPECT_EQ(monitor.LIST1.RowSel(), 5);
  EXPECT_EQ(monitor.LIST1.ColSel(), 3);

  Click("c");
  AddMachineRun("arriba");  // listed above the user's entries
  CountingView view;
  monitor.LIST1.SetListener(&view);
  monitor.Timer1_Timer();
  EXPECT_EQ(monitor.LIST1.Row(), FindRow("c"));
  EXPECT_EQ(monitor.TXTVALIDAR, "c");
  // The view hears of a changed table once a tick, and of an unchanged one not at all.
  monitor.Timer1_Timer();
  EXPECT_EQ(view.changes, 1);
  monitor.LIST1.SetListener(0);

  // Gone: the nearest row that exists, and no action can fall on it.
  Click("e");
  RemoveUserRun("e");
  monitor.Timer1_Timer();
  EXPECT_EQ(monitor.LIST1.Row(), 5);
  EXPECT_EQ(monitor.TXTVALIDAR, "");
  monitor.Command3_Click();
  monitor.btnvalidar_Click();
  EXPECT_TRUE(desktop.boxes.empty());
  Click("a");
  for (const char* name : {"a", "b", "c", "d"}) RemoveUserRun(name);
  DeleteRegValue(plat::kHkeyLocalMachine, txt::kRunKey, "arriba", places::MachineView());
  monitor.Timer1_Timer();  // only the header is left
  EXPECT_EQ(monitor.LIST1.Row(), 0);
  EXPECT_EQ(monitor.TXTVALIDAR, "");
}

TEST_F(CheckTest, ATickDuringAnOpenBoxDoesNothing) {
  AddUserRun("uno");
  int ticksInside = 0;
  desktop.whileBoxOpen = [&](const plat::ShownBox&) {
    ++ticksInside;
    AddUserRun("dos");
    monitor.Timer1_Timer();
    monitor.Timer1_Timer();
  };
  monitor.Timer1_Timer();  // raises the alert; ticks fire inside it
  EXPECT_EQ(ticksInside, 1);
  EXPECT_EQ(Alerts(), 1u);
  EXPECT_EQ(monitor.LIST1.Rows(), 2);  // the table is the one the alert was about
}

TEST_F(CheckTest, AConfirmedRemovalActsOnTheEntryItNamed) {
  Show({"b", "objetivo"});
  Click("objetivo");
  desktop.answers.push_back(plat::kIdYes);
  desktop.whileBoxOpen = [&](const plat::ShownBox&) {
    AddMachineRun("intruso");
    monitor.Timer1_Timer();
  };
  monitor.Command3_Click();
  desktop.whileBoxOpen = nullptr;
  EXPECT_EQ(FindRow("objetivo"), -1);
  EXPECT_GT(FindRow("b"), 0);
  EXPECT_GT(FindRow("intruso"), 0);
}

TEST_F(CheckTest, EachActionAsksFirstAndOnlyYesActs) {
  Show({"a"});
  monitor.btnvalidar_Click();  // nothing selected
  EXPECT_TRUE(desktop.boxes.empty());

  Click("a", kColValidado);
  EXPECT_EQ(monitor.TXTVALIDAR, "NO");
  monitor.btnvalidar_Click();  // answered No
  ASSERT_EQ(desktop.boxes.size(), 1u);
  EXPECT_EQ(desktop.boxes[0].caption, txt::kValidarCaption);
  EXPECT_EQ(monitor.TXTVALIDAR, "NO");
  EXPECT_EQ(places::DataFileBytes().size(), 0u);
  desktop.answers.push_back(plat::kIdYes);
  monitor.btnvalidar_Click();
  EXPECT_EQ(monitor.TXTVALIDAR, "");
  EXPECT_EQ(monitor.LIST1.TextMatrix(FindRow("a"), kColValidado), "SI");
  EXPECT_EQ(places::DataFileBytes().size(), 260u);

  Click("a");
  monitor.Command3_Click();  // answered No
  ASSERT_EQ(desktop.boxes.size(), 3u);
  EXPECT_EQ(desktop.boxes[2].text,
            std::string(txt::kEliminarTextBefore) + "c:\\a.exe" + txt::kEliminarTextAfter);
  EXPECT_EQ(desktop.boxes[2].caption, txt::kEliminarCaption);
  EXPECT_EQ(monitor.LIST1.Col(), kColRuta);
  EXPECT_EQ(monitor.TXTVALIDAR, "a");
  EXPECT_GT(FindRow("a"), 0);
}

// A Startup file that will not go, a machine value a standard user may not
// delete, and a key that no longer opens (which hides the value from the
// rescan too: no proof it went).
TEST_F(CheckTest, AFailedRemovalIsToldNotHidden) {
  const struct Case {
    const char* name;
    int fault;
    bool listed;  // after the rescan
  } cases[] = {{"pegado.lnk", 0, true}, {"terco", 1, true}, {"oculto", 2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    places::Reset();
    desktop.boxes.clear();
    places::AddStartupFile("pegado.lnk");
    AddMachineRun("terco");
    Show({"oculto"});
    Click(c.name);
    if (c.fault == 0) plat::standin::FailNextDeletes(1);
    if (c.fault == 1) plat::standin::DenyRegistryWrites(plat::kHkeyLocalMachine);
    if (c.fault == 2) plat::standin::FailRegistryOpen(plat::kHkeyCurrentUser, txt::kRunKey);
    desktop.answers.push_back(plat::kIdYes);
    monitor.Command3_Click();
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[1].caption, txt::kEliminarCaption);
    EXPECT_NE(desktop.boxes[1].text.find(c.name), std::string::npos);
    EXPECT_EQ(FindRow(c.name) > 0, c.listed);
    EXPECT_TRUE(places::StartupFileExists("pegado.lnk"));
    EXPECT_EQ(plat::standin::OpenHandleCount(), 0u);
  }
}

TEST_F(CheckTest, SelectionUpdateCopiesTheCellAndCutsToItsRow) {
  Show({"a", "b", "c", "d", "e"});
  monitor.LIST1.UserSelect(2, kColRuta, 5, kColRuta);
  monitor.LIST1_SelChange();
  EXPECT_EQ(monitor.TXTVALIDAR, "c:\\b.exe");
  EXPECT_EQ(monitor.numsel, "2");
  EXPECT_EQ(monitor.LIST1.RowSel(), 2);
}

}  // namespace
