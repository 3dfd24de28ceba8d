// The places watched after the first six: one entry planted in each, all of
// them namesakes. Each is listed in its place's order with its hidden
// columns and validation, and its removal acts by its place's kind on it
// alone: every other row stays.
#include <gtest/gtest.h>

#include "core/strutil.h"
#include "tests/common/monitor_fixture.h"
#include "tests/standin/standin.h"

namespace {

using places::Sz;

const char kExe[] = "c:\\intruso.exe";
const char kCommand[] = "c:\\intruso.exe \"%1\"";

// A value as the scan reads it, "-" when it is not there.
std::string Leido(int32_t root, const std::string& key, RegView view, const char* value) {
  RegKey k;
  std::string text = "-";
  if (k.Open(root, key, view)) ReadRegValueAt(k, value, &text);
  return text;
}

struct Planted {
  int32_t root;
  const char* key;    // 0: a file of the all-users Startup folder
  const char* value;  // "": the key's default value, an open command
  RegView view;
  const char* after;  // what the value holds once removed; 0: nothing
};

TEST_F(MonitorTest, LaterPlacesListTheirEntriesAndRemoveEachByItsKind) {
  const int32_t lm = plat::kHkeyLocalMachine, cu = plat::kHkeyCurrentUser;
  const RegView one = kRegViewDefault, v64 = kRegView64;
  const std::string userinit = plat::SystemFolder() + txt::kStandardUserinit;
  std::vector<Planted> cases;
  for (const char* k : {txt::kRunOnceKey, txt::kPoliciesRunKey})
    for (const auto& at : {std::make_pair(lm, v64), {lm, kRegView32}, {cu, one}})
      cases.push_back({at.first, k, "Intruso", at.second, 0});
  cases.push_back({lm, 0, "Intruso", one, 0});
  const char* const types[] = {txt::kClasesExe, txt::kClasesCom, txt::kClasesBat,
                               txt::kClasesCmd, txt::kClasesPif, txt::kClasesScr};
  for (const char* k : types)
    if (k != types[0])
      cases.push_back(
          {plat::kHkeyClassesRoot, k + txt::kClases, "", one,
           k == txt::kClasesScr ? txt::kStandardScrCommand : txt::kStandardOpenCommand});
  for (const char* k : types) cases.push_back({cu, k, "", one, 0});
  cases.insert(cases.end(), {{lm, txt::kWinlogonKey, "Shell", v64, txt::kStandardShell},
                             {lm, txt::kWinlogonKey, "Userinit", v64, userinit.c_str()},
                             {cu, txt::kWinlogonKey, "Shell", one, 0},
                             {cu, txt::kWindowsKey, "Load", one, ""},
                             {cu, txt::kWindowsKey, "Run", one, ""}});
  const std::string common = places::StartupFolder() + "-comun";
  plat::CreateFolder(common);
  places::SetString(lm, txt::kShellFoldersKey, txt::kCommonStartupValue, common);
  places::AddStartupFile("Intruso");
  // Validated by name and command: "Shell" and the open commands.
  places::WriteDataFileBytes(Record("", "", "Shell", kExe) + Record("", "", kCommand, kCommand));
  std::vector<Names> rows = {{"Intruso", "Intruso", "NO", places::StartupFolder(), "", ""}};
  for (const Planted& p : cases) {
    const std::string name = *p.value ? p.value : kCommand;
    const std::string tag = p.view == one ? "" : places::ViewTag(p.view);
    // A 32-bit view that reads as the 64-bit one would be one shared key.
    const std::string data = *p.value ? kExe + std::string(tag == "32" ? " /32" : "") : kCommand;
    if (p.key)
      places::SetString(p.root, p.key, p.value, data, p.view);
    else
      places::WriteDataFileBytes("x", common + "\\Intruso");
    rows.push_back({name, !p.key ? name : data, name == "Shell" || name == kCommand ? "SI" : "NO",
                    p.key ? DecimalText(p.root) : common, p.key ? p.key : "", tag});
  }
  monitor.llegirdelregistre();
  rows.insert(rows.begin(), Rows()[0]);
  EXPECT_EQ(Rows(), rows);

  for (const Planted& p : cases) {
    SCOPED_TRACE(rows[2][0] + " in " + rows[2][3] + "\\" + rows[2][4] + " " + rows[2][5]);
    std::string why;
    EXPECT_TRUE(Remove(2, &why)) << why;
    rows.erase(rows.begin() + 2);
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(p.key                                    ? Leido(p.root, p.key, p.view, p.value)
              : plat::FileExists(common + "\\Intruso") ? "x"
                                                       : "-",
              p.after ? p.after : "-");
  }
  // The standards as systems hold them give no rows either.
  places::SetString(lm, txt::kWinlogonKey, "Shell", "EXPLORER.EXE", v64);
  places::SetString(lm, txt::kWinlogonKey, "Userinit", "c:\\windows\\SYSTEM32\\userinit.exe", v64);
  monitor.llegirdelregistre();
  EXPECT_EQ(Rows(), rows);
}

std::string Dword(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

struct Nuevo {
  int32_t root;
  std::string key;  // for a place of subkeys, the subkey's path
  const char* value;
  RegView view;
  uint32_t type;
  std::string bytes;
  const char* name;   // the row's, 0: none
  const char* after;  // `value` once the row is removed
};

TEST_F(MonitorTest, ServicesAndHijackPointsListTheirEntriesAndRemoveEachByItsKind) {
  const int32_t lm = plat::kHkeyLocalMachine, cu = plat::kHkeyCurrentUser;
  const RegView one = kRegViewDefault, v64 = kRegView64, v32 = kRegView32;
  const std::string svc = std::string(txt::kServicesKey) + "\\";
  const std::string ifeo = std::string(txt::kIfeoKey) + "\\";
  const std::string setup = std::string(txt::kActiveSetupKey) + "\\";
  const uint32_t sz = plat::kRegSz, dw = plat::kRegDword, ex = plat::kRegExpandSz;
  // Rows in the scan's order; the namesakes and what is never listed among them.
  const std::vector<Nuevo> cases = {
      {lm, svc + "Compartido", "Type", one, dw, Dword(0x20), 0, 0},
      {lm, svc + "Compartido", "Start", one, dw, Dword(2), "Compartido", "003"},
      {lm, svc + "Compartido", "ImagePath", one, ex, Sz("svchost -k x"), 0, "svchost -k x"},
      {lm, svc + "Compartido\\Parameters", "ServiceDll", one, sz, Sz("c:\\a.dll"), 0, 0},
      {lm, svc + "Intruso", "Type", one, dw, Dword(0x110), 0, 0},
      {lm, svc + "Intruso", "Start", one, dw, Dword(2), "Intruso", "003"},
      {lm, svc + "Intruso", "ImagePath", one, ex, Sz("%windir%\\i.exe"), 0, "%windir%\\i.exe"},
      {lm, svc + "Driver", "Type", one, dw, Dword(1), 0, 0},
      {lm, svc + "Driver", "Start", one, dw, Dword(2), 0, "002"},
      {lm, svc + "Manual", "Type", one, dw, Dword(0x10), 0, 0},
      {lm, svc + "Manual", "Start", one, dw, Dword(3), 0, "003"},
      {lm, svc + "PorSesion_1a2b", "Type", one, dw, Dword(0xE0), 0, 0},
      {lm, svc + "PorSesion_1a2b", "Start", one, dw, Dword(2), 0, "002"},
      {lm, ifeo + "calc.exe", "GlobalFlag", v64, sz, Sz("x"), 0, "x"},
      {lm, ifeo + "sethc.exe", "Debugger", v64, sz, Sz(kExe), "sethc.exe", 0},
      {lm, ifeo + "sethc.exe", "GlobalFlag", v64, sz, Sz("y"), 0, "y"},
      {lm, ifeo + "sethc.exe", "Debugger", v32, sz, Sz("c:\\b.exe"), "sethc.exe", 0},
      {lm, txt::kWindowsKey, "AppInit_DLLs", v64, sz, Sz(""), 0, ""},
      {lm, txt::kWindowsKey, "AppInit_DLLs", v32, sz, Sz("c:\\a.dll"), "AppInit_DLLs", ""},
      {lm, txt::kCommandProcessorKey, "AutoRun", v64, sz, Sz(kExe), "AutoRun", 0},
      {cu, txt::kCommandProcessorKey, "AutoRun", one, sz, Sz(""), "AutoRun", 0},
      {lm, setup + "{A1}", "StubPath", v32, sz, Sz(kExe), "{A1}", 0},
      {lm, txt::kSessionManagerKey, "BootExecute", one, plat::kRegMultiSz,
       std::string("autocheck autochk *\0c:\\b.exe\0\0", 30), "BootExecute", "autocheck autochk *"},
  };
  for (const Nuevo& c : cases) places::SetValue(c.root, c.key, c.value, c.type, c.bytes, c.view);
  // Validated by name and command: the shared service with its DLL.
  places::WriteDataFileBytes(Record("", "", "Compartido", "svchost -k x c:\\a.dll"));
  auto state = [&] {
    Names all;
    for (const Nuevo& c : cases) all.push_back(Leido(c.root, c.key, c.view, c.value));
    return all;
  };
  monitor.llegirdelregistre();
  std::vector<Names> rows = {Rows()[0]};
  for (const Nuevo& c : cases) {
    if (!c.name) continue;
    const std::string command =
        c.value == std::string("Start")
            ? Leido(lm, c.key, one, "ImagePath") + (c.name[0] == 'C' ? " c:\\a.dll" : "")
            : Leido(c.root, c.key, c.view, c.value);
    rows.push_back(
        {c.name, c.value == std::string("BootExecute") ? "autocheck autochk * c:\\b.exe" : command,
         c.name[0] == 'C' ? "SI" : "NO", DecimalText(c.root), c.key,
         c.view == one ? "" : places::ViewTag(c.view)});
  }
  EXPECT_EQ(Rows(), rows);

  // A swapped DLL is a new command.
  places::SetString(lm, svc + "Compartido\\Parameters", "ServiceDll", "c:\\otra.dll");
  monitor.llegirdelregistre();
  rows[1][1] = "svchost -k x c:\\otra.dll";
  rows[1][2] = "NO";
  EXPECT_EQ(Rows(), rows);

  // Refused by the service manager: nothing changes, the row stays.
  Names expected = state();
  plat::standin::RefuseServiceChanges(true);
  std::string why;
  EXPECT_FALSE(Remove(1, &why));
  EXPECT_EQ(why, txt::kNoEliminadoBefore + std::string("Compartido") + txt::kNoEliminadoFichero +
                     txt::kErrAccesoDenegado);
  EXPECT_EQ(state(), expected);
  EXPECT_EQ(Rows(), rows);
  plat::standin::RefuseServiceChanges(false);

  for (size_t i = 0; i < cases.size(); ++i) {
    if (!cases[i].name) continue;
    SCOPED_TRACE(rows[1][0] + " in " + rows[1][4] + " " + rows[1][5]);
    monitor.llegirdelregistre();
    EXPECT_TRUE(Remove(1, &why)) << why;
    rows.erase(rows.begin() + 1);
    EXPECT_EQ(Rows(), rows);
    expected[i] = cases[i].after ? cases[i].after : "-";
    EXPECT_EQ(state(), expected);
  }
}

}  // namespace
