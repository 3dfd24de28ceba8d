// The REGEDIT4 reader on arbitrary text: what it reads, written back and read
// again, is the same list of operations, and applying it to the abstract
// registry leaves no key open.
#include "tests/standin/regedit4.h"

#include <stdint.h>

#include "fuzz/common.h"
#include "tests/standin/standin.h"

namespace {

bool SameOps(const std::vector<plat::RegOp>& a, const std::vector<plat::RegOp>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].root != b[i].root || a[i].subKey != b[i].subKey)
      return false;
    if (a[i].kind == plat::RegOp::kSetValue || a[i].kind == plat::RegOp::kDeleteValue) {
      if (a[i].name != b[i].name) return false;
    }
    if (a[i].kind == plat::RegOp::kSetValue && (a[i].type != b[i].type || a[i].data != b[i].data))
      return false;
  }
  return true;
}

// Line breaks in a name or key cannot be written (FormatRegedit4 says so).
bool Writable(const std::vector<plat::RegOp>& ops) {
  for (const plat::RegOp& op : ops)
    if (op.name.find('\n') != std::string::npos || op.subKey.find('\n') != std::string::npos)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  plat::RegScript script;
  plat::ParseRegedit4(text, &script);

  fuzz::Check(script.hasHeader || script.ops.empty(), "operations read without a header");
  uint32_t lines = 1;
  for (char c : text) lines += c == '\n';
  for (size_t i = 0; i < script.badLines.size(); ++i)
    fuzz::Check(script.badLines[i] >= 1 && script.badLines[i] <= lines &&
                    (i == 0 || script.badLines[i - 1] < script.badLines[i]),
                "bad line numbers in order, within the text");

  if (script.hasHeader && Writable(script.ops)) {
    plat::RegScript again;
    plat::ParseRegedit4(plat::FormatRegedit4(script.ops), &again);
    fuzz::Check(again.hasHeader && again.badLines.empty(), "written text reads back cleanly");
    fuzz::Check(SameOps(script.ops, again.ops), "written text reads back to the same operations");
  }

  plat::standin::ResetRegistry();
  plat::standin::SetTwoViews(true);
  plat::ApplyRegOps(script.ops, 0);
  plat::ApplyRegOps(script.ops, plat::kKeyWow64_32Key);
  fuzz::Check(plat::standin::OpenHandleCount() == 0, "a key left open");
  return 0;
}
