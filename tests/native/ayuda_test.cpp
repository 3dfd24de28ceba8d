// The About box's work: finding and starting the system-information program,
// and reading one registry value as text.
#include "ui/ayuda.h"

#include "tests/common/monitor_fixture.h"
#include "tests/standin/standin.h"

namespace {

TEST(AyudaTest, StartSysInfoLooksInOrderAndTellsOnceWhenItCannot) {
  const std::string pf = "C:\\Program Files\\Info\\msinfo32.exe", folder = "c:\\msinfo";
  const std::string inFolder = folder + txt::kMsinfoExe;
  enum Folder { kNoFolder, kEmptyFolder, kProgramInFolder };
  const struct {
    std::string what, pathBytes;
    uint32_t pathType;  // 0: no PATH value
    Folder folder;
    bool startWorks;
    Names started;
  } cases[] = {
      {"PATH alone", places::Sz(pf), plat::kRegSz, kNoFolder, true, {pf}},
      {"PATH first", places::Sz(pf), plat::kRegSz, kProgramInFolder, true, {pf}},
      {"folder with the program", "", 0, kProgramInFolder, true, {inFolder}},
      {"folder without the program", "", 0, kEmptyFolder, true, {}},
      {"neither value", "", 0, kNoFolder, true, {}},
      {"PATH naming a missing file", places::Sz(pf), plat::kRegSz, kNoFolder, false, {pf}},
      // Found, but of a type that gives no text: nothing can start.
      {"expandable PATH", places::Sz("%P%\\x"), plat::kRegExpandSz, kProgramInFolder, true, {""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    places::Reset();
    plat::ScriptedDesktop desktop;
    Monitor monitor(&desktop);
    desktop.startSucceeds = c.startWorks;
    const int32_t hklm = plat::kHkeyLocalMachine;
    if (c.pathType)
      places::SetValue(hklm, txt::kMsinfoKey, txt::kMsinfoPathValue, c.pathType, c.pathBytes);
    if (c.folder != kNoFolder) {
      places::SetString(hklm, txt::kMsinfoLocationKey, txt::kMsinfoLocationValue, folder);
      plat::CreateFolder(folder);
    }
    if (c.folder == kProgramInFolder) places::WriteDataFileBytes("x", inFolder);
    const bool told = !c.startWorks || c.started.empty() || c.started[0].empty();
    bool counted = !told;
    // A tick meanwhile keeps its hands off the table.
    desktop.whileBoxOpen = [&](const plat::ShownBox&) { counted = monitor.CajaAbierta(); };
    StartSysInfo(&desktop, &monitor);
    EXPECT_TRUE(counted);
    EXPECT_EQ(desktop.started, c.started);
    const plat::ShownBox box = {txt::kSysInfoNoDisponible, txt::kAppTitle, plat::kMbOk};
    EXPECT_EQ(desktop.boxes, std::vector<plat::ShownBox>(told ? 1 : 0, box));
  }
}

// Read-only access: a standard user of Windows NT may read the machine's
// keys, not write them.
TEST(AyudaTest, GetKeyValueReadsTextAsAStandardUserAndClosesTheKey) {
  const std::string longest(1023, 'x'), key = "SOFTWARE\\Centinela\\Pruebas";
  const uint32_t kNoKey = ~0u;
  const struct {
    std::string what, bytes, value;
    uint32_t type;
    bool found;
  } cases[] = {
      {"terminated", places::Sz("abc"), "abc", plat::kRegSz, true},
      {"unterminated", "abc", "abc", plat::kRegSz, true},
      {"only a terminator", places::Sz(""), "", plat::kRegSz, true},
      {"fills the buffer", places::Sz(longest), longest, plat::kRegSz, true},
      {"longer than the buffer", places::Sz(longest + "y"), "", plat::kRegSz, false},
      {"empty data", "", "", plat::kRegSz, false},
      {"expandable: value untouched", places::Sz("%x%"), "previo", plat::kRegExpandSz, true},
      {"no such value", "", "", 0, false},
      {"no such key", "", "", kNoKey, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    places::Reset();
    if (c.type != kNoKey)
      places::SetValue(plat::kHkeyLocalMachine, key, c.type ? "valor" : "otro", c.type, c.bytes);
    plat::standin::DenyRegistryWrites(plat::kHkeyLocalMachine);
    std::string value = "previo";
    EXPECT_EQ(GetKeyValue(plat::kHkeyLocalMachine, key, "valor", &value), c.found);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(plat::standin::OpenHandleCount(), 0u);
  }
}

}  // namespace
