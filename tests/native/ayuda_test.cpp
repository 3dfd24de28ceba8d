// The About box's work: finding and starting the system-information program,
// and reading one registry value as text.
#include "ui/ayuda.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>

#include "core/monitor.h"
#include "core/texts.h"
#include "platform/posix/scripted_desktop.h"
#include "platform/posix/standin.h"
#include "platform/registry.h"
#include "tests/common/places.h"

namespace {

const char kFolder[] = "c:\\windows\\msinfo";
const char kTestKey[] = "SOFTWARE\\Centinela\\Pruebas";

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

class AyudaTest : public ::testing::Test {
 protected:
  AyudaTest() : monitor(&desktop) {}
  void SetUp() override { places::Reset(); }

  void SetMachine(const char* key, const char* value, uint32_t type, const std::string& bytes) {
    places::SetValue(plat::kHkeyLocalMachine, key, value, type, bytes);
  }
  // The folder that the second value names, with or without the program.
  void MakeFolder(bool withProgram) {
    ASSERT_EQ(mkdir(plat::standin::MapPath(kFolder).c_str(), 0755), 0);
    if (!withProgram) return;
    FILE* f = fopen(plat::standin::MapPath(std::string(kFolder) + txt::kMsinfoExe).c_str(), "wb");
    ASSERT_TRUE(f != 0);
    fclose(f);
  }
  size_t Notices() const {
    size_t n = 0;
    for (const plat::ShownBox& box : desktop.boxes) {
      EXPECT_EQ(box.text, txt::kSysInfoNoDisponible);
      EXPECT_EQ(box.caption, txt::kAppTitle);
      EXPECT_EQ(box.type, plat::kMbOk);
      ++n;
    }
    return n;
  }

  plat::ScriptedDesktop desktop;
  Monitor monitor;
};

TEST_F(AyudaTest, StartSysInfoLooksInOrderAndTellsOnceWhenItCannot) {
  const std::string pf = "C:\\Program Files\\Info\\msinfo32.exe";
  const std::string inFolder = std::string(kFolder) + txt::kMsinfoExe;
  enum Folder { kNoFolder, kEmptyFolder, kProgramInFolder };
  const struct Case {
    const char* what;
    uint32_t pathType;  // 0: no PATH value
    std::string pathBytes;
    Folder folder;
    bool startWorks;
    std::vector<std::string> started;
    size_t notices;
  } cases[] = {
      {"PATH alone", plat::kRegSz, Sz(pf), kNoFolder, true, {pf}, 0},
      {"PATH first", plat::kRegSz, Sz(pf), kProgramInFolder, true, {pf}, 0},
      {"folder with the program", 0, "", kProgramInFolder, true, {inFolder}, 0},
      {"folder without the program", 0, "", kEmptyFolder, true, {}, 1},
      {"neither value", 0, "", kNoFolder, true, {}, 1},
      {"PATH naming a missing file", plat::kRegSz, Sz(pf), kNoFolder, false, {pf}, 1},
      // Found, but of a type that gives no text: nothing can start.
      {"expandable PATH", plat::kRegExpandSz, Sz("%P%\\x.exe"), kProgramInFolder, true, {""}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    places::Reset();
    rmdir(plat::standin::MapPath(kFolder).c_str());
    desktop.boxes.clear();
    desktop.started.clear();
    desktop.startSucceeds = c.startWorks;
    if (c.pathType) SetMachine(txt::kMsinfoKey, txt::kMsinfoPathValue, c.pathType, c.pathBytes);
    if (c.folder != kNoFolder) {
      SetMachine(txt::kMsinfoLocationKey, txt::kMsinfoLocationValue, plat::kRegSz, Sz(kFolder));
      MakeFolder(c.folder == kProgramInFolder);
    }
    bool counted = c.notices == 0;
    // A tick meanwhile keeps its hands off the table.
    desktop.whileBoxOpen = [&](const plat::ShownBox&) { counted = monitor.CajaAbierta(); };
    StartSysInfo(&desktop, &monitor);
    EXPECT_TRUE(counted);
    EXPECT_EQ(desktop.started, c.started);
    EXPECT_EQ(Notices(), c.notices);
    remove(plat::standin::MapPath(inFolder).c_str());
  }
  rmdir(plat::standin::MapPath(kFolder).c_str());
}

// Read-only access: a standard user of Windows NT may read the machine's
// keys, not write them.
TEST_F(AyudaTest, GetKeyValueReadsTextAsAStandardUserAndClosesTheKey) {
  const std::string longest(1023, 'x');
  const struct Case {
    const char* what;
    uint32_t type;
    std::string bytes;
    bool found;
    std::string value;
  } cases[] = {
      {"terminated", plat::kRegSz, Sz("abc"), true, "abc"},
      {"unterminated", plat::kRegSz, "abc", true, "abc"},
      {"only a terminator", plat::kRegSz, Sz(""), true, ""},
      {"fills the buffer", plat::kRegSz, Sz(longest), true, longest},
      {"longer than the buffer", plat::kRegSz, Sz(longest + "y"), false, ""},
      {"empty data", plat::kRegSz, "", false, ""},
      {"expandable: value untouched", plat::kRegExpandSz, Sz("%x%"), true, "previo"},
      {"binary: value untouched", plat::kRegBinary, "\x01\x02", true, "previo"},
      {"no such value", 0, "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    places::Reset();
    SetMachine(kTestKey, c.type ? "valor" : "otro", c.type, c.bytes);
    plat::standin::DenyRegistryWrites(plat::kHkeyLocalMachine);
    std::string value = "previo";
    EXPECT_EQ(GetKeyValue(plat::kHkeyLocalMachine, kTestKey, "valor", &value), c.found);
    EXPECT_EQ(value, c.value);
    value = "previo";
    EXPECT_FALSE(GetKeyValue(plat::kHkeyLocalMachine, "SOFTWARE\\NoHay", "valor", &value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(plat::standin::OpenHandleCount(), 0u);
  }
}

}  // namespace
