// The REGEDIT4 reader and writer: every form, malformed lines, round trips,
// and applying a script to the abstract registry.
#include "platform/regedit4.h"

#include <gtest/gtest.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "core/regprocs.h"
#include "core/texts.h"
#include "platform/posix/standin.h"

namespace {

using plat::RegOp;

RegOp Op(RegOp::Kind kind, int32_t root, const std::string& subKey, const std::string& name = "",
         plat::DWORD type = plat::kRegNone, const std::string& data = "") {
  RegOp op;
  op.kind = kind;
  op.root = root;
  op.subKey = subKey;
  op.name = name;
  op.type = type;
  op.data = data;
  return op;
}

std::string Describe(const RegOp& op) {
  std::string text = std::to_string(op.kind) + " " + std::to_string(op.root) + " [" + op.subKey +
                     "] [" + op.name + "] " + std::to_string(op.type) + " ";
  for (size_t i = 0; i < op.data.size(); ++i)
    text += std::to_string(static_cast<unsigned char>(op.data[i])) + ",";
  return text;
}

std::vector<std::string> Describe(const std::vector<RegOp>& ops) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < ops.size(); ++i) lines.push_back(Describe(ops[i]));
  return lines;
}

plat::RegScript Parse(const std::string& text) {
  plat::RegScript script;
  plat::ParseRegedit4(text, &script);
  return script;
}

std::string WithLineEnds(const std::string& text, const char* end) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n')
      out += end;
    else
      out += text[i];
  }
  return out;
}

const int32_t kHkcu = plat::kHkeyCurrentUser;

const char kEveryForm[] =
    "REGEDIT4\n"
    "\n"
    "; a comment\n"
    "[HKEY_CURRENT_USER\\Software\\A]\n"
    "@=\"default\"\n"
    "\"q\\\"uote\"=\"c:\\\\dir\\\\x.exe \\\"arg\\\"\"\n"
    "  \"spaced\" = dword:0000000A\n"
    "\"bin\"=hex:00,0f,A0\n"
    "\"multi\"=hex(7):61,00,\\\n"
    "  62,00,00\n"
    "\"empty\"=hex:\n"
    "\"caf\xe9\"=\"\xe9t\xe9\"\n"
    "\"gone\"=-\n"
    "[-hkey_local_machine\\Software\\B]\n"
    "[HKLM\\Software\\C]\n"
    "\"n\"=hex(0):\n";

TEST(Regedit4Test, ReadsEveryForm) {
  auto a = [](const char* name, plat::DWORD type, const std::string& data) {
    return Op(RegOp::kSetValue, kHkcu, "Software\\A", name, type, data);
  };
  const std::vector<RegOp> expected = {
      Op(RegOp::kCreateKey, kHkcu, "Software\\A"),
      a("", plat::kRegSz, std::string("default\0", 8)),
      a("q\"uote", plat::kRegSz, std::string("c:\\dir\\x.exe \"arg\"\0", 19)),
      a("spaced", plat::kRegDword, std::string("\x0a\0\0\0", 4)),
      a("bin", plat::kRegBinary, std::string("\x00\x0f\xa0", 3)),
      a("multi", plat::kRegMultiSz, std::string("a\0b\0\0", 5)),
      a("empty", plat::kRegBinary, ""),
      a("caf\xe9", plat::kRegSz, std::string("\xe9t\xe9\0", 4)),
      Op(RegOp::kDeleteValue, kHkcu, "Software\\A", "gone"),
      Op(RegOp::kDeleteKey, plat::kHkeyLocalMachine, "Software\\B"),
      Op(RegOp::kCreateKey, plat::kHkeyLocalMachine, "Software\\C"),
      Op(RegOp::kSetValue, plat::kHkeyLocalMachine, "Software\\C", "n", plat::kRegNone, ""),
  };
  const char* const ends[] = {"\n", "\r\n"};
  for (size_t e = 0; e < 2; ++e) {
    plat::RegScript script = Parse(WithLineEnds(kEveryForm, ends[e]));
    EXPECT_TRUE(script.hasHeader);
    EXPECT_TRUE(script.badLines.empty());
    EXPECT_EQ(Describe(expected), Describe(script.ops));
  }
}

TEST(Regedit4Test, MalformedLinesAreSkippedByNumber) {
  const char* const bad[] = {
      "\"unterminated=\"x\"",
      "\"a\"=dword:123456789",
      "\"a\"=dword:",
      "\"a\"=dword:12x",
      "\"a\"=hex:0g",
      "\"a\"=hex:123",
      "\"a\"=hex:01 02",
      "\"a\"=hex(:01",
      "\"a\"=hex(1:01",
      "\"a\"=hex01",
      "\"a\"=\"text\" trailing",
      "\"a\"",
      "\"a\"=",
      "name=\"x\"",
      "@",
      "\"a\"=-x",
      "[HKEY_NOWHERE\\x]",
      "[HKEY_CURRENT_USER\\x",
      "[-HKEY_CURRENT_USER]",
      "[]",
      "\"a\"=hex:01,\\ junk",
  };
  for (size_t i = 0; i < sizeof bad / sizeof bad[0]; ++i) {
    SCOPED_TRACE(bad[i]);
    const std::string text = std::string("REGEDIT4\n[HKEY_CURRENT_USER\\Before]\n\"ok\"=\"1\"\n") +
                             bad[i] + "\n[HKEY_CURRENT_USER\\After]\n\"z\"=\"2\"\n";
    plat::RegScript script = Parse(text);
    EXPECT_EQ(std::vector<uint32_t>{4}, script.badLines);
    ASSERT_EQ(4u, script.ops.size());
    EXPECT_EQ("After", script.ops[3].subKey);
    EXPECT_EQ("z", script.ops[3].name);
  }
}

TEST(Regedit4Test, ValuesWithNowhereToGoAreSkipped) {
  plat::RegScript script =
      Parse("REGEDIT4\n\"early\"=\"1\"\n[-HKEY_CURRENT_USER\\Gone]\n\"late\"=\"2\"\n");
  EXPECT_EQ((std::vector<uint32_t>{2, 4}), script.badLines);
  ASSERT_EQ(1u, script.ops.size());
  EXPECT_EQ(RegOp::kDeleteKey, script.ops[0].kind);
}

TEST(Regedit4Test, ABrokenHexListTakesItsContinuationLinesWithIt) {
  plat::RegScript script = Parse(
      "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n"
      "\"bad\"=hex:01,zz,\\\n  02,\\\n  03\n"
      "\"good\"=hex:01, ; comment\n");
  EXPECT_EQ(std::vector<uint32_t>{3}, script.badLines);
  ASSERT_EQ(2u, script.ops.size());
  EXPECT_EQ("good", script.ops[1].name);
  EXPECT_EQ(std::string("\x01"), script.ops[1].data);
}

TEST(Regedit4Test, WithoutTheHeaderNothingIsRead) {
  const char* const texts[] = {"", "REGEDIT5\n[HKEY_CURRENT_USER\\K]\n",
                               "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n",
                               "\nREGEDIT4\n[HKEY_CURRENT_USER\\K]\n"};
  for (size_t i = 0; i < sizeof texts / sizeof texts[0]; ++i) {
    plat::RegScript script = Parse(texts[i]);
    EXPECT_FALSE(script.hasHeader) << i;
    EXPECT_TRUE(script.ops.empty()) << i;
  }
}

TEST(Regedit4Test, WrittenScriptsReadBackTheSame) {
  std::string blob;
  for (int i = 0; i < 300; ++i) blob += static_cast<char>(i * 13);
  auto odd = [](const char* name, plat::DWORD type, const std::string& data) {
    return Op(RegOp::kSetValue, kHkcu, "Software\\Odd ]name\\x", name, type, data);
  };
  const std::vector<RegOp> ops = {
      Op(RegOp::kCreateKey, plat::kHkeyClassesRoot, ""),
      Op(RegOp::kSetValue, plat::kHkeyClassesRoot, "", "", plat::kRegSz, std::string("d\0", 2)),
      Op(RegOp::kCreateKey, kHkcu, "Software\\Odd ]name\\x"),
      odd("q\"\\;=", plat::kRegSz, std::string("a \"b\" c:\\d ;e\0", 14)),
      odd("unterminated", plat::kRegSz, "abc"),
      odd("lines", plat::kRegSz, std::string("a\r\nb\0", 5)),
      odd("inner", plat::kRegSz, std::string("a\0b\0", 4)),
      odd("d", plat::kRegDword, std::string("\xff\0\x01\x80", 4)),
      odd("short dword", plat::kRegDword, "\x07"),
      odd("blob", plat::kRegBinary, blob),
      odd("t", 0x12345678u, "\x01"),
      Op(RegOp::kDeleteValue, kHkcu, "Software\\Odd ]name\\x", "old"),
      Op(RegOp::kDeleteKey, plat::kHkeyUsers, ".DEFAULT\\Gone"),
      Op(RegOp::kCreateKey, plat::kHkeyLocalMachine, "Software\\caf\xe9"),
      Op(RegOp::kSetValue, plat::kHkeyLocalMachine, "Software\\caf\xe9", "\xe9", plat::kRegSz,
         std::string("\xe9\0", 2)),
  };
  const std::string text = plat::FormatRegedit4(ops);
  plat::RegScript script = Parse(text);
  EXPECT_TRUE(script.badLines.empty());
  EXPECT_EQ(Describe(ops), Describe(script.ops));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    ASSERT_NE(std::string::npos, end);
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    start = end + 2;
  }
}

class Regedit4ApplyTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::standin::ResetRegistry(); }
  void TearDown() override { plat::standin::ResetRegistry(); }
};

TEST_F(Regedit4ApplyTest, DeletesWholeTreesAndCountsOnlyRealFailures) {
  plat::RegScript script = Parse(
      "REGEDIT4\n"
      "[HKEY_CURRENT_USER\\T\\Gone\\A\\B]\n\"x\"=\"1\"\n"
      "[HKEY_CURRENT_USER\\T\\Gone\\C]\n"
      "[HKEY_CURRENT_USER\\T\\Stays]\n\"y\"=\"2\"\n\"z\"=\"3\"\n\"z\"=-\n\"never\"=-\n"
      "[-HKEY_CURRENT_USER\\T\\Gone]\n"
      "[-HKEY_CURRENT_USER\\T\\NeverWas]\n");
  ASSERT_TRUE(script.badLines.empty());
  EXPECT_EQ(0u, plat::ApplyRegOps(script.ops, 0));
  RegKey key;
  EXPECT_FALSE(key.Open(plat::kHkeyCurrentUser, "T\\Gone"));
  EXPECT_EQ("2", ReadRegValue(plat::kHkeyCurrentUser, "T\\Stays", "y"));
  EXPECT_EQ(txt::kNotFound, ReadRegValue(plat::kHkeyCurrentUser, "T\\Stays", "z"));
  EXPECT_EQ(0u, plat::standin::OpenHandleCount());

  plat::standin::FailRegistryOpen(plat::kHkeyCurrentUser, "T\\Locked");
  // The key line and the value under it both fail.
  EXPECT_EQ(2u, plat::ApplyRegOps(Parse("REGEDIT4\n[HKCU\\T\\Locked]\n\"v\"=\"1\"\n").ops, 0));
}

TEST_F(Regedit4ApplyTest, LoadsInTheViewAsked) {
  plat::standin::SetTwoViews(true);
  plat::RegScript script = Parse("REGEDIT4\n[HKLM\\Software\\V]\n\"v\"=\"32\"\n");
  EXPECT_EQ(0u, plat::ApplyRegOps(script.ops, plat::kKeyWow64_32Key));
  EXPECT_EQ("32", ReadRegValue(plat::kHkeyLocalMachine, "Software\\Wow6432Node\\V", "v"));
  EXPECT_EQ(txt::kNotFound, ReadRegValue(plat::kHkeyLocalMachine, "Software\\V", "v"));
  EXPECT_EQ(0, plat::DeleteRegTree(plat::RootKey(plat::kHkeyLocalMachine), "Software\\V",
                                   plat::kKeyWow64_32Key));
  EXPECT_EQ(txt::kNotFound, ReadRegValue(plat::kHkeyLocalMachine, "Software\\V", "v", kRegView32));
}

}  // namespace
