// The main window's behaviour on a scripted desktop: the start-up sequence,
// the second copy, the data file that cannot be opened, the close request,
// and the tray icon's reports with the menu.
#include "ui/form1.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/texts.h"
#include "platform/errtext.h"
#include "platform/posix/scripted_desktop.h"
#include "platform/posix/standin.h"
#include "tests/common/places.h"

namespace {

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() : form(&desktop) {}
  void SetUp() override { places::Reset(); }

  void AddUserRun(const std::string& name) {
    places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, name, "c:\\" + name + ".exe");
  }
  bool Listed(const std::string& name) const {
    for (int32_t r = 1; r < form.monitor.LIST1.Rows(); ++r)
      if (form.monitor.LIST1.TextMatrix(r, kColNombre) == name) return true;
    return false;
  }

  plat::ScriptedDesktop desktop;
  Form1 form;
};

TEST_F(Form1Test, StartUpRunsInOrderAndAlertsBeforeTheWindowComes) {
  AddUserRun("nuevo");
  bool sawBox = false;
  // What had happened by the time the alert was up tells the order.
  desktop.whileBoxOpen = [&](const plat::ShownBox& box) {
    sawBox = true;
    EXPECT_EQ(box.caption, txt::kAlertCaption);
    EXPECT_TRUE(form.monitor.FicheroAbierto());
    EXPECT_TRUE(desktop.trayIcon);
    EXPECT_TRUE(desktop.taskListHidden);
    EXPECT_TRUE(Listed("nuevo"));   // scanned before the check
    EXPECT_FALSE(desktop.visible);  // the window has not been shown yet
    EXPECT_EQ(desktop.timerInterval, 0u);
  };
  ASSERT_TRUE(form.Form_Load());
  EXPECT_TRUE(sawBox);
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"tray", "box", "show"}));
  EXPECT_EQ(desktop.timerInterval, 10000u);
  EXPECT_EQ(desktop.trayAdds, 1);
  EXPECT_EQ(desktop.centred, 0);  // the alert shows the window where it is
}

TEST_F(Form1Test, StartUpWithEveryEntryValidatedSaysNothing) {
  AddUserRun("conocido");
  {
    // An earlier run validated it.
    plat::ScriptedDesktop earlierDesktop;
    Form1 earlier(&earlierDesktop);
    earlierDesktop.visible = true;
    ASSERT_TRUE(earlier.Form_Load());
    earlier.monitor.LIST1.UserSelect(1, 0, 1, 0);
    earlier.monitor.LIST1_SelChange();
    earlierDesktop.answers.push_back(plat::kIdYes);
    earlier.monitor.btnvalidar_Click();
  }
  ASSERT_TRUE(form.Form_Load());
  EXPECT_TRUE(desktop.boxes.empty());
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"tray"}));
  EXPECT_TRUE(Listed("conocido"));
  EXPECT_EQ(desktop.timerInterval, 10000u);
}

TEST_F(Form1Test, SecondCopyShowsItsWindowCentredAndEndsWithoutTrayOrScan) {
  AddUserRun("nuevo");
  desktop.prevInstance = true;
  EXPECT_FALSE(form.Form_Load());
  EXPECT_TRUE(form.monitor.FicheroAbierto());  // opened before the test
  EXPECT_EQ(desktop.trayAdds, 0);
  EXPECT_FALSE(desktop.taskListHidden);
  EXPECT_FALSE(Listed("nuevo"));
  EXPECT_TRUE(desktop.boxes.empty());
  EXPECT_EQ(desktop.centred, 1);
  EXPECT_EQ(desktop.shows, 1);
  EXPECT_FALSE(desktop.visible);  // the unload from code hid it again
  EXPECT_EQ(desktop.timerInterval, 0u);
}

TEST_F(Form1Test, OnlyACloseOnTheWindowItselfIsCancelledAndEveryOneHides) {
  const struct {
    int mode;
    bool cancel;
  } cases[] = {{kUnloadFromWindow, true},
               {kUnloadFromCode, false},
               {kUnloadWindowsEnding, false},
               {kUnloadTaskManager, false}};
  for (const auto& c : cases) {
    desktop.visible = true;
    desktop.quit = false;
    form.Unload(c.mode);
    EXPECT_EQ(desktop.quit, !c.cancel) << c.mode;
    EXPECT_FALSE(desktop.visible) << c.mode;
  }
  EXPECT_EQ(desktop.calls, std::vector<std::string>());  // no box, no tray change
}

// The system folder first; the user's application-data folder (made when
// missing) only where the system folder cannot hold the file.
TEST_F(Form1Test, DataFileGoesToAppDataOnlyWhereTheSystemFolderCannotHoldIt) {
  const std::string appData = "c:\\Datos", fallback = appData + txt::kDataFileName;
  const std::string denied = plat::SystemErrorText(plat::kErrAccessDenied);
  const struct {
    bool windowsUsable, appDataUsable;
    const char* path;  // empty: the program ends
  } cases[] = {{true, true, txt::kDataFile}, {false, true, fallback.c_str()}, {false, false, ""}};
  for (const auto& c : cases) {
    places::Reset();
    places::SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kAppDataValue, appData);
    const std::string file = plat::standin::MapPath(fallback);
    remove(file.c_str());
    if (!c.windowsUsable) mkdir(plat::standin::MapPath(txt::kDataFile).c_str(), 0755);
    if (!c.appDataUsable) mkdir(file.c_str(), 0755);  // its folder made by the case before
    plat::ScriptedDesktop screen;
    Form1 f(&screen);
    EXPECT_EQ(f.Form_Load(), *c.path != 0) << c.path;
    EXPECT_EQ(f.monitor.FicheroAbierto() ? f.monitor.RutaFichero() : "", c.path);
    const std::string box = txt::kFicheroFallo + std::string(txt::kDataFile) + ": " + denied +
                            "\r\n" + txt::kFicheroFallo + fallback + ": " + denied;
    EXPECT_EQ(screen.boxes.empty() ? "" : screen.boxes[0].text, *c.path ? "" : box);
  }
}

TEST_F(Form1Test, TrayMenuOpensOnLeftDoubleClickAndRightButtonRelease) {
  const struct {
    int message;
    bool opens;
  } cases[] = {{0x200, false}, {0x201, false}, {0x202, false}, {0x203, true},
               {0x204, false}, {0x205, true},  {0x206, false}, {0x207, false}};
  for (const auto& c : cases) {
    desktop.menusOpened = 0;
    form.picgancho_MouseMove(c.message);
    EXPECT_EQ(desktop.menusOpened, c.opens ? 1 : 0) << std::hex << c.message;
  }
  // Closing the menu without a choice changes nothing.
  EXPECT_EQ(desktop.centred, 0);
  EXPECT_EQ(desktop.shows, 0);
  EXPECT_FALSE(desktop.quit);
}

TEST_F(Form1Test, ReportsWhileTheMenuIsOpenOpenNoSecondMenu) {
  int nested = 0;
  desktop.whileMenuOpen = [&]() {
    ++nested;
    form.picgancho_MouseMove(kTrayRightButtonUp);
    form.picgancho_MouseMove(kTrayLeftDoubleClick);
    return plat::kTrayNone;
  };
  form.picgancho_MouseMove(kTrayRightButtonUp);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(desktop.menusOpened, 1);
  // Once the menu has closed, the next report opens it again.
  desktop.whileMenuOpen = nullptr;
  form.picgancho_MouseMove(kTrayLeftDoubleClick);
  EXPECT_EQ(desktop.menusOpened, 2);
}

TEST_F(Form1Test, AbrirCentresAndShowsCerrarQuits) {
  desktop.whileMenuOpen = []() { return plat::kTrayAbrir; };
  form.picgancho_MouseMove(kTrayRightButtonUp);
  EXPECT_EQ(desktop.centred, 1);
  EXPECT_TRUE(desktop.visible);
  EXPECT_FALSE(desktop.quit);
  // Already visible: centred again.
  form.picgancho_MouseMove(kTrayLeftDoubleClick);
  EXPECT_EQ(desktop.centred, 2);

  desktop.visible = false;
  desktop.whileMenuOpen = []() { return plat::kTrayCerrar; };
  form.picgancho_MouseMove(kTrayRightButtonUp);
  EXPECT_TRUE(desktop.quit);
  EXPECT_TRUE(desktop.boxes.empty());  // no confirmation
}

}  // namespace
