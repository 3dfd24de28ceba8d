// The main window's behaviour on a scripted desktop: the start-up sequence
// with its data file, the second copy, the close request, and the tray icon's
// reports with the menu.
#include "ui/form1.h"

#include "core/errtext.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "tests/common/monitor_fixture.h"
#include "tests/standin/standin.h"

namespace {

// The data file lies in the system folder, or in the user's application-data
// folder (made when missing) only where the system folder cannot hold it;
// without either the program says why and ends before its icon or timer. The
// scan and the check run after the icon, and the alert comes before the window
// and the timer. A second copy opens the file, shows the window and ends.
TEST(Form1Test, StartUpOpensTheDataFileScansChecksAndStartsTheTimerInThatOrder) {
  const std::string appData = "c:\\Datos", fallback = appData + txt::kDataFileName;
  const std::string denied = SystemErrorText(plat::kErrAccessDenied);
  const std::string first = txt::kFicheroFallo + std::string(txt::kDataFile) + ": ";
  const std::string noPath = first + SystemErrorText(plat::kErrPathNotFound);
  const std::string neither =
      first + denied + "\r\n" + txt::kFicheroFallo + fallback + ": " + denied;
  enum Place { kFree, kFolderInPlace, kNoFolder };          // of the file in the system folder
  enum Fallback { kNoAppData, kAppData, kAppDataBlocked };  // blocked: a folder in its place
  const Names quiet = {"tray", "off the task list", "timer 10000"};
  const Names alert = {"tray", "off the task list", "box", "show", "timer 10000"};
  const struct {
    const char* what;
    bool validated, prevInstance;
    Place system;
    Fallback fallback;
    Names calls;
    std::string said;  // where the data file is, else what the box says
  } cases[] = {
      {"a new entry", false, false, kFree, kAppData, alert, txt::kDataFile},
      {"every entry validated", true, false, kFree, kNoAppData, quiet, txt::kDataFile},
      // The window is centred and its unload hides it again.
      {"a second copy", false, true, kFree, kNoAppData, {"centre", "show", "hide"}, txt::kDataFile},
      {"a folder in the way", false, false, kFolderInPlace, kNoAppData, {"box"}, first + denied},
      {"no system folder", false, false, kNoFolder, kNoAppData, {"box"}, noPath},
      {"AppData instead", false, false, kFolderInPlace, kAppData, alert, fallback},
      {"neither", false, false, kFolderInPlace, kAppDataBlocked, {"box"}, neither},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    places::Reset();
    places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, "nuevo", "c:\\nuevo.exe");
    if (c.validated) places::WriteDataFileBytes(Record("", "", "nuevo", "c:\\nuevo.exe"));
    if (c.fallback != kNoAppData)
      places::SetString(plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kAppDataValue, appData);
    plat::standin::Files& disk = plat::standin::Disk();
    if (c.system == kFolderInPlace) plat::CreateFolder(txt::kDataFile);
    if (c.system == kNoFolder) disk.folders.erase("c:\\windows");
    for (const std::string& folder : {appData, fallback})
      if (c.fallback == kAppDataBlocked) plat::CreateFolder(folder);
    plat::ScriptedDesktop desktop;
    desktop.prevInstance = c.prevInstance;
    Form1 form(&desktop);
    const bool runs = c.calls[0] == "tray";
    EXPECT_EQ(form.Form_Load(), runs);
    EXPECT_EQ(desktop.calls, c.calls);
    for (const plat::ShownBox& box : desktop.boxes) {
      EXPECT_EQ(box.caption, runs ? txt::kAlertCaption : txt::kAppTitle);
      EXPECT_EQ(box.type, plat::kMbOk | plat::kMbIconStop);
    }
    EXPECT_EQ(form.monitor.FicheroAbierto() ? form.monitor.RutaFichero() : desktop.boxes.at(0).text,
              c.said);
    EXPECT_EQ(form.monitor.LIST1.TextMatrix(1, kColNombre) == "nuevo", runs);
    // What was in the file's place stays; a free place gets the file.
    EXPECT_EQ(disk.files.count(txt::kDataFile), c.system == kFree ? 1u : 0u);
    EXPECT_EQ(disk.folders.count(txt::kDataFile), c.system == kFolderInPlace ? 1u : 0u);
  }
}

// Only a left double click, a right button release and the keyboard's reports
// (the context-menu key, Enter) open the menu; a report
// while it is open opens no second one, and the next one after it opens again.
// Cerrar quits unasked; every close request hides the window, and only one on
// the window itself is cancelled.
TEST(Form1Test, TrayMenuOpensOnceAtATimeAndOnlyACloseOnTheWindowItselfIsCancelled) {
  plat::ScriptedDesktop desktop;
  Form1 form(&desktop);
  plat::TrayChoice choice = plat::kTrayNone;
  desktop.whileMenuOpen = [&]() {
    for (int m : {kTrayRightButtonUp, kTrayLeftDoubleClick}) form.picgancho_MouseMove(m);
    return choice;
  };
  for (int message : {0x200, 0x201, 0x202, 0x203, 0x204, 0x205, 0x206, 0x207, 0x7B, 0x400, 0x401}) {
    desktop.calls.clear();
    form.picgancho_MouseMove(message);
    const bool opens = message == 0x203 || message == 0x205 || message == 0x7B || message == 0x401;
    EXPECT_EQ(desktop.calls, opens ? Names{"menu"} : Names()) << message;
  }
  desktop.calls.clear();
  choice = plat::kTrayAbrir;
  form.picgancho_MouseMove(kTrayRightButtonUp);
  form.picgancho_MouseMove(kTrayLeftDoubleClick);  // already visible: centred again
  choice = plat::kTrayCerrar;
  form.picgancho_MouseMove(kTrayRightButtonUp);
  EXPECT_EQ(desktop.calls,
            Names({"menu", "centre", "show", "menu", "centre", "show", "menu", "hide", "quit"}));
  for (int mode : {kUnloadFromWindow, kUnloadFromCode, kUnloadWindowsEnding, kUnloadTaskManager}) {
    desktop.calls.clear();
    form.Unload(mode);
    EXPECT_EQ(desktop.calls, mode == kUnloadFromWindow ? Names{"hide"} : Names({"hide", "quit"}));
  }
  EXPECT_TRUE(desktop.boxes.empty());
}

// "Iniciar con Windows" is checked only for our own path in quotes (case
// aside, as Windows compares paths). Choosing it writes exactly that value,
// its row validated at once (its record written), or deletes it; the user's
// other values stay. A key that refuses is told once and nothing changes.
TEST(Form1Test, IniciarConWindowsIsCheckedForOurQuotedPathAndWritesOrDeletesOnlyThatValue) {
  const std::string ours = plat::ProgramCommand();
  const std::string upper = "\"C:\\ARCHIVOS DE PROGRAMA\\CENTINELA\\CENTINELA.EXE\"";
  const std::string none = "(none)";
  const struct {
    std::string data;
    bool checked, refused;
  } cases[] = {{none, false, false},
               {ours, true, false},
               {upper, true, false},
               {ours.substr(1, ours.size() - 2), false, false},
               {"\"C:\\Antes\\centinela.exe\"", false, false},
               {none, false, true},
               {ours, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.data + (c.refused ? ", refused" : ""));
    places::Reset();
    places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, "otro", "c:\\otro.exe");
    if (c.data != none)
      places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, txt::kAppTitle, c.data);
    if (c.refused) plat::standin::DenyRegistryWrites(plat::kHkeyCurrentUser);
    plat::ScriptedDesktop desktop;
    Form1 form(&desktop);
    std::string why;
    ASSERT_TRUE(form.monitor.AbrirFichero(&why));
    desktop.whileMenuOpen = []() { return plat::kTrayIniciar; };
    form.picgancho_MouseMove(kTrayRightButtonUp);
    EXPECT_EQ(desktop.calls.at(0), c.checked ? "menu checked" : "menu");
    EXPECT_EQ(ReadRegValue(plat::kHkeyCurrentUser, txt::kRunKey, txt::kAppTitle),
              c.refused ? (c.data == none ? txt::kNotFound : c.data)
                        : (c.checked ? txt::kNotFound : ours));
    EXPECT_EQ(ReadRegValue(plat::kHkeyCurrentUser, txt::kRunKey, "otro"), "c:\\otro.exe");
    const plat::ShownBox told = {txt::kIniciarFallo, txt::kAppTitle,
                                 plat::kMbOk | plat::kMbIconStop};
    EXPECT_EQ(desktop.boxes, std::vector<plat::ShownBox>(c.refused, told));
    const Grid& grid = form.monitor.LIST1;
    int32_t row = 1;
    while (row < grid.Rows() && grid.TextMatrix(row, kColNombre) != txt::kAppTitle) ++row;
    const bool written = !c.refused && !c.checked;
    const std::string bytes = places::DataFileBytes();
    EXPECT_EQ(bytes.size(), written ? row * 260u : 0u);
    if (written) {
      EXPECT_EQ(bytes.substr(0, (row - 1) * 260), std::string((row - 1) * 260, '\0'));
      EXPECT_EQ(bytes.substr((row - 1) * 260), Record(kHkcu, txt::kRunKey, txt::kAppTitle, ours));
      EXPECT_EQ(grid.TextMatrix(row, kColValidado), "SI");
      EXPECT_EQ(form.IniciarMarcado(), true);
    }
  }
}

// When a tick rescans: after a watch fired (also one that fired while a box
// was open, when the tick could not), after a hide, at every tick where a place
// cannot be watched (Windows 95, a key that refuses us), and otherwise only
// when ten minutes of ticks have passed.
TEST(Form1Test, ATickRescansAfterAChangeAHideWhatCannotBeWatchedOrTenMinutes) {
  enum Fault { kNone, kWindows95, kRefused };
  enum Event { kNothing, kFired, kFiredInBox, kHidden };
  const struct {
    const char* what;
    Fault fault;
    Event event;
    int ticks;  // until the new entry is listed
  } cases[] = {
      {"nothing since the last scan", kNone, kNothing, kTicksGuardia},
      {"a watch fired", kNone, kFired, 1},
      {"fired while a box was open", kNone, kFiredInBox, 1},
      {"the window hidden", kNone, kHidden, 1},
      {"no watches", kWindows95, kNothing, 1},
      {"a key refuses a watch", kRefused, kNothing, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    places::Reset();
    plat::standin::SetWatchesWork(c.fault != kWindows95);
    if (c.fault == kRefused)
      plat::standin::FailRegistryOpen(plat::kHkeyCurrentUser, txt::kRunOnceKey);
    plat::ScriptedDesktop desktop;
    Form1 form(&desktop);
    ASSERT_TRUE(form.Form_Load());
    desktop.visible = true;
    places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, "nuevo", "c:\\nuevo.exe");
    if (c.event == kFired) form.monitor.vigilancia.Disparada(0);
    if (c.event == kHidden) form.Command1_Click();
    if (c.event == kFiredInBox) {
      desktop.whileBoxOpen = [&](const plat::ShownBox&) {
        form.monitor.vigilancia.Disparada(0);
        form.Timer1_Timer();
      };
      form.monitor.Caja("", "", plat::kMbOk);
    }
    const Grid& grid = form.monitor.LIST1;
    for (int t = 1; t <= c.ticks; ++t) {
      EXPECT_EQ(grid.Rows(), 1) << "tick " << t;
      form.Timer1_Timer();
    }
    EXPECT_EQ(grid.Rows(), 2);
  }
}

}  // namespace
