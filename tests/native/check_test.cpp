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
  void RemoveUserRun(const std::string& name) {
    DeleteRegValue(plat::kHkeyCurrentUser, txt::kRunKey, name);
  }
  // A click on a cell, as the window's grid reports it.
  void Click(const std::string& name, int32_t col) {
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
    for (const plat::ShownBox& box : desktop.boxes)
      if (box.caption == txt::kAlertCaption) ++n;
    return n;
  }
};

TEST_F(CheckTest, AlertsOnlyWhileHiddenAndOnlyOncePerCheck) {
  struct Case {
    bool visible;
    int unvalidated;
    size_t alerts;
  };
  const Case cases[] = {{false, 0, 0}, {false, 1, 1}, {false, 3, 1}, {true, 3, 0}, {true, 0, 0}};
  for (const Case& c : cases) {
    places::Reset();
    desktop.boxes.clear();
    for (int i = 0; i < c.unvalidated; ++i) AddUserRun(std::string("p") + char('0' + i));
    desktop.visible = c.visible;
    monitor.llegirdelregistre();
    monitor.comprobar();
    EXPECT_EQ(Alerts(), c.alerts) << c.visible << " " << c.unvalidated;
    EXPECT_TRUE(desktop.visible || c.unvalidated == 0);
    if (c.alerts) {
      const plat::ShownBox& box = desktop.boxes.back();
      EXPECT_EQ(box.text, txt::kAlertText);
      EXPECT_EQ(box.type, 16u);
      EXPECT_EQ(desktop.calls.back(), "show");  // the window comes after the box
    }
  }
}

TEST_F(CheckTest, OnlyTheExactMarkNOCounts) {
  AddUserRun("x");
  monitor.llegirdelregistre();
  for (const char* mark : {"no", "No", "", "SI", "NO "}) {
    monitor.LIST1.SetRow(1);
    monitor.LIST1.SetCol(kColValidado);
    monitor.LIST1.SetText(mark);
    monitor.comprobar();
    EXPECT_EQ(Alerts(), 0u) << mark;
  }
  EXPECT_EQ(monitor.LIST1.Row(), 1);
  EXPECT_EQ(monitor.LIST1.Col(), kColValidado);
}

TEST_F(CheckTest, TheAlertRepeatsOncePerHide) {
  AddUserRun("nuevo");
  monitor.Timer1_Timer();
  EXPECT_EQ(Alerts(), 1u);
  monitor.Timer1_Timer();
  EXPECT_EQ(Alerts(), 1u);
  desktop.HideWindow();
  monitor.Timer1_Timer();
  EXPECT_EQ(Alerts(), 2u);
  EXPECT_TRUE(desktop.visible);
}

TEST_F(CheckTest, TheSelectionComesBackAsOneRowFromColumnZero) {
  for (const char* name : {"a", "b", "c", "d", "e"}) AddUserRun(name);
  desktop.visible = true;
  monitor.llegirdelregistre();
  monitor.LIST1.UserSelect(2, 1, 5, 3);
  monitor.Timer1_Timer();
  EXPECT_EQ(monitor.LIST1.Row(), 5);
  EXPECT_EQ(monitor.LIST1.Col(), 0);
  EXPECT_EQ(monitor.LIST1.RowSel(), 5);
  EXPECT_EQ(monitor.LIST1.ColSel(), 3);
}

TEST_F(CheckTest, TheSelectionFollowsItsEntryWhenOneIsInsertedAbove) {
  AddUserRun("b");
  AddUserRun("c");
  desktop.visible = true;
  monitor.llegirdelregistre();
  Click("c", kColNombre);
  ASSERT_EQ(monitor.TXTVALIDAR, "c");
  places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "arriba", "c:\\a.exe",
                    places::MachineView());
  CountingView view;
  monitor.LIST1.SetListener(&view);
  monitor.Timer1_Timer();
  EXPECT_EQ(monitor.LIST1.Row(), FindRow("c"));
  EXPECT_EQ(monitor.LIST1.TextMatrix(monitor.LIST1.Row(), kColNombre), "c");
  EXPECT_EQ(monitor.TXTVALIDAR, "c");
  // The view hears of a changed table once a tick, and of an unchanged one not at all.
  monitor.Timer1_Timer();
  EXPECT_EQ(view.changes, 1);
  monitor.LIST1.SetListener(0);
}

TEST_F(CheckTest, WhenTheSelectedEntryIsGoneNoActionCanFallOnAnother) {
  AddUserRun("a");
  AddUserRun("b");
  AddUserRun("c");
  desktop.visible = true;
  monitor.llegirdelregistre();
  Click("c", kColNombre);
  RemoveUserRun("c");
  monitor.Timer1_Timer();
  EXPECT_EQ(monitor.LIST1.Row(), 2);  // nearest row that exists
  EXPECT_EQ(monitor.TXTVALIDAR, "");
  monitor.Command3_Click();
  monitor.btnvalidar_Click();
  EXPECT_TRUE(desktop.boxes.empty());

  Click("a", kColNombre);
  RemoveUserRun("a");
  RemoveUserRun("b");
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
  AddUserRun("b");
  AddUserRun("objetivo");
  desktop.visible = true;
  monitor.llegirdelregistre();
  Click("objetivo", kColNombre);
  desktop.answers.push_back(plat::kIdYes);
  desktop.whileBoxOpen = [&](const plat::ShownBox&) {
    places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "intruso", "c:\\i.exe",
                      places::MachineView());
    monitor.Timer1_Timer();
  };
  monitor.Command3_Click();
  desktop.whileBoxOpen = nullptr;
  EXPECT_EQ(FindRow("objetivo"), -1);
  EXPECT_GT(FindRow("b"), 0);
  EXPECT_GT(FindRow("intruso"), 0);
}

TEST_F(CheckTest, ValidateAsksAndOnlyYesMarks) {
  AddUserRun("a");
  desktop.visible = true;
  monitor.llegirdelregistre();

  monitor.btnvalidar_Click();  // nothing selected
  EXPECT_TRUE(desktop.boxes.empty());

  Click("a", kColValidado);
  EXPECT_EQ(monitor.TXTVALIDAR, "NO");
  desktop.answers.push_back(plat::kIdNo);
  monitor.btnvalidar_Click();
  ASSERT_EQ(desktop.boxes.size(), 1u);
  EXPECT_EQ(desktop.boxes[0].caption, txt::kValidarCaption);
  EXPECT_EQ(desktop.boxes[0].type, 4u);
  EXPECT_EQ(monitor.TXTVALIDAR, "NO");
  EXPECT_EQ(places::DataFileBytes().size(), 0u);

  desktop.answers.push_back(plat::kIdYes);
  monitor.btnvalidar_Click();
  EXPECT_EQ(monitor.TXTVALIDAR, "");
  EXPECT_EQ(monitor.LIST1.TextMatrix(FindRow("a"), kColValidado), "SI");
  EXPECT_EQ(places::DataFileBytes().size(), 260u);
}

TEST_F(CheckTest, RemoveAsksWithThePathBetweenItsSentences) {
  AddUserRun("a");
  desktop.visible = true;
  monitor.llegirdelregistre();
  Click("a", kColNombre);
  monitor.Command3_Click();  // answered No
  ASSERT_EQ(desktop.boxes.size(), 1u);
  EXPECT_EQ(desktop.boxes[0].text,
            std::string(txt::kEliminarTextBefore) + "c:\\a.exe" + txt::kEliminarTextAfter);
  EXPECT_EQ(desktop.boxes[0].caption, txt::kEliminarCaption);
  EXPECT_EQ(monitor.LIST1.Col(), kColRuta);
  EXPECT_EQ(monitor.TXTVALIDAR, "a");
  EXPECT_GT(FindRow("a"), 0);
}

TEST_F(CheckTest, FailuresAreToldNotHidden) {
  places::AddStartupFile("pegado.lnk");
  AddUserRun("a");
  desktop.visible = true;
  monitor.llegirdelregistre();

  Click("pegado.lnk", kColNombre);
  plat::standin::FailNextDeletes(1);
  desktop.answers.push_back(plat::kIdYes);
  monitor.Command3_Click();
  ASSERT_EQ(desktop.boxes.size(), 2u);
  EXPECT_EQ(desktop.boxes[1].caption, txt::kEliminarCaption);
  EXPECT_EQ(desktop.boxes[1].type, 16u);
  EXPECT_NE(desktop.boxes[1].text.find("pegado.lnk"), std::string::npos);
  EXPECT_TRUE(places::StartupFileExists("pegado.lnk"));

  Click("a", kColNombre);
  plat::standin::FailNextWrites(1);
  desktop.answers.push_back(plat::kIdYes);
  monitor.btnvalidar_Click();
  ASSERT_EQ(desktop.boxes.size(), 4u);
  EXPECT_NE(desktop.boxes[3].text.find(txt::kDataFile), std::string::npos);
  EXPECT_EQ(monitor.LIST1.TextMatrix(FindRow("a"), kColValidado), "NO");
}

TEST_F(CheckTest, AValueThatStaysAfterItsRemovalIsReported) {
  places::SetString(plat::kHkeyLocalMachine, txt::kRunKey, "terco", "c:\\t.exe",
                    places::MachineView());
  plat::standin::DenyRegistryWrites(plat::kHkeyLocalMachine);
  desktop.visible = true;
  monitor.llegirdelregistre();
  Click("terco", kColNombre);
  desktop.answers.push_back(plat::kIdYes);
  monitor.Command3_Click();
  ASSERT_EQ(desktop.boxes.size(), 2u);
  EXPECT_EQ(desktop.boxes[1].text, std::string(txt::kNoEliminadoBefore) + "terco" +
                                       txt::kNoEliminadoSigue);
  EXPECT_EQ(desktop.boxes[1].type, 16u);
  EXPECT_GT(FindRow("terco"), 0);
}

// A key that cannot be opened hides the value from the rescan too; that is
// no proof it went.
TEST_F(CheckTest, AValueInAKeyThatCannotBeOpenedIsNotCalledRemoved) {
  places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, "oculto", "c:\\o.exe");
  desktop.visible = true;
  monitor.llegirdelregistre();
  Click("oculto", kColNombre);
  plat::standin::FailRegistryOpen(plat::kHkeyCurrentUser, txt::kRunKey);
  desktop.answers.push_back(plat::kIdYes);
  monitor.Command3_Click();
  ASSERT_EQ(desktop.boxes.size(), 2u);
  EXPECT_NE(desktop.boxes[1].text.find("oculto"), std::string::npos);
}

TEST_F(CheckTest, SelectionUpdateCopiesTheCellAndCutsToItsRow) {
  for (const char* name : {"a", "b", "c", "d", "e"}) AddUserRun(name);
  monitor.llegirdelregistre();
  monitor.LIST1.UserSelect(2, kColRuta, 5, kColRuta);
  monitor.LIST1_SelChange();
  EXPECT_EQ(monitor.TXTVALIDAR, "c:\\b.exe");
  EXPECT_EQ(monitor.numsel, "2");
  EXPECT_EQ(monitor.LIST1.RowSel(), 2);
}

}  // namespace
