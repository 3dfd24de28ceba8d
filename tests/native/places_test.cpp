// The places watched after the first six: one entry planted in each, all of
// them namesakes. Each is listed in its place's order with its hidden
// columns and validation, and its removal acts by its place's kind on it
// alone: every other row stays.
#include <gtest/gtest.h>

#include "core/strutil.h"
#include "tests/common/monitor_fixture.h"

namespace {

using Cells = std::vector<std::string>;

const char kExe[] = "c:\\intruso.exe";
const char kCommand[] = "c:\\intruso.exe \"%1\"";

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
  std::vector<Planted> cases = {
      {lm, txt::kRunOnceKey, "Intruso", v64, 0},
      {lm, txt::kRunOnceKey, "Intruso", kRegView32, 0},
      {cu, txt::kRunOnceKey, "Intruso", one, 0},
      {lm, txt::kPoliciesRunKey, "Intruso", v64, 0},
      {lm, txt::kPoliciesRunKey, "Intruso", kRegView32, 0},
      {cu, txt::kPoliciesRunKey, "Intruso", one, 0},
      {lm, 0, "Intruso", one, 0}};
  const char* const types[] = {txt::kClasesExe, txt::kClasesCom, txt::kClasesBat,
                               txt::kClasesCmd, txt::kClasesPif, txt::kClasesScr};
  for (const char* k : types)
    if (k != types[0])
      cases.push_back({plat::kHkeyClassesRoot, k + txt::kClases, "", one,
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
  std::string file;
  for (std::string field : {"", "Shell", kExe, "", kCommand, kCommand}) {
    field.resize(field.empty() ? 60 : 100, ' ');
    file += field;
  }
  places::WriteDataFileBytes(file);
  std::vector<Cells> rows = {{"Intruso", "Intruso", "NO", places::StartupFolder(), "", ""}};
  for (const Planted& p : cases) {
    const std::string name = *p.value ? p.value : kCommand;
    const std::string tag = p.view == one ? "" : places::ViewTag(p.view);
    // A 32-bit view that reads as the 64-bit one would be one shared key.
    const std::string data = *p.value ? kExe + std::string(tag == "32" ? " /32" : "") : kCommand;
    if (p.key)
      places::SetString(p.root, p.key, p.value, data, p.view);
    else
      places::WriteDataFileBytes("x", common + "\\Intruso");
    rows.push_back({name, !p.key ? name : data,
                    name == "Shell" || name == kCommand ? "SI" : "NO",
                    p.key ? DecimalText(p.root) : common, p.key ? p.key : "", tag});
  }
  auto table = [this] {
    std::vector<Cells> got;
    for (int32_t r = 1; r < monitor.LIST1.Rows(); ++r) {
      got.emplace_back();
      for (int32_t col = 0; col < kColExacto; ++col)
        got.back().push_back(monitor.LIST1.TextMatrix(r, col));
    }
    return got;
  };
  monitor.llegirdelregistre();
  EXPECT_EQ(table(), rows);

  for (const Planted& p : cases) {
    SCOPED_TRACE(rows[1][0] + " in " + rows[1][3] + "\\" + rows[1][4] + " " + rows[1][5]);
    monitor.LIST1.SetRow(2);
    std::string why;
    EXPECT_TRUE(monitor.eliminar(&why)) << why;
    rows.erase(rows.begin() + 1);
    EXPECT_EQ(table(), rows);
    RegKey key;
    key.Open(p.root, p.key ? p.key : "", p.view);
    std::string text;
    EXPECT_EQ(p.key ? ReadRegValueAt(key, p.value, &text) : plat::FileExists(common + "\\Intruso"),
              p.after != 0);
    EXPECT_EQ(text, p.after ? p.after : "");
  }
  // The standards as systems hold them give no rows either.
  places::SetString(lm, txt::kWinlogonKey, "Shell", "EXPLORER.EXE", v64);
  places::SetString(lm, txt::kWinlogonKey, "Userinit", "c:\\windows\\SYSTEM32\\userinit.exe", v64);
  monitor.llegirdelregistre();
  EXPECT_EQ(table(), rows);
}

}  // namespace
