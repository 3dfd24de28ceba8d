// REGEDIT4 files, the registry export format of Windows 9x regedit: read into
// a list of operations, written back from one, and applied through the
// registry functions (which is how test fixtures reach the abstract registry).
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "platform/registry.h"

namespace plat {

struct RegOp {
  enum Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue };
  Kind kind;
  int32_t root;        // kHkeyClassesRoot ... kHkeyUsers
  std::string subKey;  // below the root; empty for the root itself
  std::string name;    // value name; empty for the default value
  DWORD type;
  std::string data;  // the value's bytes as stored ("text" gets its zero)

  RegOp() : kind(kCreateKey), root(0), type(kRegNone) {}
};

struct RegScript {
  bool hasHeader;
  std::vector<RegOp> ops;
  std::vector<uint32_t> badLines;  // numbers (from 1) of lines skipped as malformed

  RegScript() : hasHeader(false) {}
};

// Any bytes at all are accepted; what cannot be read is skipped and its line
// number recorded. Without the "REGEDIT4" first line nothing is read.
void ParseRegedit4(const std::string& text, RegScript* script);

// CRLF text that ParseRegedit4 reads back to the same operations, except
// that a value whose key differs from the one before it gets a key line,
// which reads back as an extra kCreateKey. Names holding line breaks cannot
// be written.
std::string FormatRegedit4(const std::vector<RegOp>& ops);

// Applies the operations in order in the given view (0, kKeyWow64_32Key or
// kKeyWow64_64Key); deleting what is not there counts as done. Returns the
// number of operations that failed.
uint32_t ApplyRegOps(const std::vector<RegOp>& ops, REGSAM view);

// Deletes root\subKey with everything below it.
LONG DeleteRegTree(HKEY root, const std::string& subKey, REGSAM view);

}  // namespace plat
