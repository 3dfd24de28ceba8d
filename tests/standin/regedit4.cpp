#include "tests/standin/regedit4.h"

#include "platform/nocase.h"

namespace plat {
namespace {

const char kHeader[] = "REGEDIT4";
const char kHexDigits[] = "0123456789abcdef";
const size_t kWrapColumn = 76;  // regedit breaks long hex lists near here
const int kMaxTreeDepth = 512;  // the registry's own nesting limit

struct RootName {
  const char* longName;
  const char* shortName;
  int32_t root;
};
const RootName kRootNames[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", kHkeyClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", kHkeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", kHkeyLocalMachine},
    {"HKEY_USERS", "HKU", kHkeyUsers},
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t SkipBlanks(const std::string& s, size_t pos) {
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  return pos;
}

std::string TrimRight(const std::string& s) {
  size_t end = s.size();
  while (end > 0 && IsBlank(s[end - 1])) --end;
  return s.substr(0, end);
}

// Nothing but blanks or a comment from pos on.
bool RestIsEmpty(const std::string& s, size_t pos) {
  pos = SkipBlanks(s, pos);
  return pos == s.size() || s[pos] == ';';
}

bool EndsWithBackslash(const std::string& s) {
  std::string t = TrimRight(s);
  return !t.empty() && t[t.size() - 1] == '\\';
}

bool StartsNoCase(const std::string& s, size_t pos, const char* word) {
  for (size_t i = 0; word[i] != 0; ++i, ++pos) {
    if (pos >= s.size() || UpperCp1252(static_cast<unsigned char>(s[pos])) !=
                               UpperCp1252(static_cast<unsigned char>(word[i])))
      return false;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One to maxDigits hexadecimal digits, no more.
bool ReadHexNumber(const std::string& s, size_t* pos, size_t maxDigits, uint32_t* value) {
  size_t i = *pos;
  uint32_t v = 0;
  while (i < s.size() && HexValue(s[i]) >= 0) {
    if (i - *pos == maxDigits) return false;
    v = v * 16 + static_cast<uint32_t>(HexValue(s[i]));
    ++i;
  }
  if (i == *pos) return false;
  *pos = i;
  *value = v;
  return true;
}

// A quoted text starting at s[*pos] == '"', with \\ and \" escapes; any
// other backslash stays as it is.
bool ReadQuoted(const std::string& s, size_t* pos, std::string* out) {
  out->clear();
  for (size_t i = *pos + 1; i < s.size(); ++i) {
    if (s[i] == '"') {
      *pos = i + 1;
      return true;
    }
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
    out->push_back(s[i]);
  }
  return false;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t cut = end;
    if (cut > start && text[cut - 1] == '\r') --cut;
    lines.push_back(text.substr(start, cut - start));
    start = end + 1;
  }
  return lines;
}

bool ParseRoot(const std::string& path, int32_t* root, std::string* subKey) {
  size_t cut = path.find('\\');
  std::string name = path.substr(0, cut);
  for (size_t i = 0; i < sizeof kRootNames / sizeof kRootNames[0]; ++i) {
    if (SameNoCase(name, kRootNames[i].longName) || SameNoCase(name, kRootNames[i].shortName)) {
      *root = kRootNames[i].root;
      *subKey = cut == std::string::npos ? std::string() : path.substr(cut + 1);
      return true;
    }
  }
  return false;
}

bool ParseKeyLine(const std::string& line, size_t pos, RegOp* op) {
  std::string t = TrimRight(line);
  if (t.size() < pos + 2 || t[t.size() - 1] != ']') return false;
  std::string inner = t.substr(pos + 1, t.size() - pos - 2);
  op->kind = RegOp::kCreateKey;
  if (!inner.empty() && inner[0] == '-') {
    op->kind = RegOp::kDeleteKey;
    inner.erase(0, 1);
  }
  if (!ParseRoot(inner, &op->root, &op->subKey)) return false;
  return op->kind == RegOp::kCreateKey || !op->subKey.empty();
}

// A comma-separated byte list from lines[*index] at pos, going on to the
// next line while one ends in a backslash. *index ends on the last line read.
bool ReadHexBytes(const std::vector<std::string>& lines, size_t* index, size_t pos,
                  std::string* bytes) {
  for (;;) {
    const std::string& s = lines[*index];
    bool more = false;
    size_t i = SkipBlanks(s, pos);
    while (i < s.size() && s[i] != ';') {
      if (s[i] == '\\') {
        if (!RestIsEmpty(s, i + 1)) return false;
        more = true;
        break;
      }
      uint32_t b = 0;
      if (!ReadHexNumber(s, &i, 2, &b)) return false;
      bytes->push_back(static_cast<char>(b));
      i = SkipBlanks(s, i);
      if (i < s.size() && s[i] == ',') {
        i = SkipBlanks(s, i + 1);
      } else if (i < s.size() && s[i] != '\\' && s[i] != ';') {
        return false;
      }
    }
    if (!more || *index + 1 >= lines.size()) return true;
    ++*index;
    pos = 0;
  }
}

bool ParseValueLine(const std::vector<std::string>& lines, size_t* index, size_t pos, RegOp* op) {
  const std::string& s = lines[*index];
  if (s[pos] == '@') {
    op->name.clear();
    ++pos;
  } else if (s[pos] != '"' || !ReadQuoted(s, &pos, &op->name)) {
    return false;
  }
  pos = SkipBlanks(s, pos);
  if (pos >= s.size() || s[pos] != '=') return false;
  pos = SkipBlanks(s, pos + 1);
  op->kind = RegOp::kSetValue;
  if (pos < s.size() && s[pos] == '"') {
    if (!ReadQuoted(s, &pos, &op->data) || !RestIsEmpty(s, pos)) return false;
    op->type = kRegSz;
    op->data.push_back('\0');
    return true;
  }
  if (pos < s.size() && s[pos] == '-') {
    op->kind = RegOp::kDeleteValue;
    return RestIsEmpty(s, pos + 1);
  }
  if (StartsNoCase(s, pos, "dword:")) {
    pos += 6;
    uint32_t v = 0;
    if (!ReadHexNumber(s, &pos, 8, &v) || !RestIsEmpty(s, pos)) return false;
    op->type = kRegDword;
    op->data.clear();
    for (int i = 0; i < 4; ++i) op->data.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return true;
  }
  if (!StartsNoCase(s, pos, "hex")) return false;
  pos += 3;
  uint32_t type = kRegBinary;
  if (pos < s.size() && s[pos] == '(') {
    ++pos;
    if (!ReadHexNumber(s, &pos, 8, &type) || pos >= s.size() || s[pos] != ')') return false;
    ++pos;
  }
  if (pos >= s.size() || s[pos] != ':') return false;
  op->type = type;
  op->data.clear();
  return ReadHexBytes(lines, index, pos + 1, &op->data);
}

std::string KeyText(const RegOp& op) {
  std::string text;
  for (size_t i = 0; i < sizeof kRootNames / sizeof kRootNames[0]; ++i)
    if (kRootNames[i].root == op.root) text = kRootNames[i].longName;
  if (!op.subKey.empty()) text += "\\" + op.subKey;
  return text;
}

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' || s[i] == '"') out += '\\';
    out += s[i];
  }
  return out + "\"";
}

std::string HexText(uint32_t v, size_t minDigits) {
  std::string digits;
  do {
    digits.insert(digits.begin(), kHexDigits[v & 15]);
    v >>= 4;
  } while (v != 0);
  if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
  return digits;
}

// A zero-terminated text that fits between quotes on one line.
bool IsPlainText(const std::string& data) {
  if (data.empty() || data[data.size() - 1] != 0) return false;
  for (size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') return false;
  return true;
}

std::string ValueText(const RegOp& op) {
  std::string line = (op.name.empty() ? std::string("@") : Quoted(op.name)) + "=";
  if (op.kind == RegOp::kDeleteValue) return line + "-\r\n";
  if (op.type == kRegSz && IsPlainText(op.data))
    return line + Quoted(op.data.substr(0, op.data.size() - 1)) + "\r\n";
  if (op.type == kRegDword && op.data.size() == 4) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v * 256 + static_cast<unsigned char>(op.data[i]);
    return line + "dword:" + HexText(v, 8) + "\r\n";
  }
  line += op.type == kRegBinary ? std::string("hex:") : "hex(" + HexText(op.type, 1) + "):";
  std::string out;
  for (size_t i = 0; i < op.data.size(); ++i) {
    if (i > 0) {
      line += ',';
      if (line.size() >= kWrapColumn) {
        out += line + "\\\r\n";
        line = "  ";
      }
    }
    line += HexText(static_cast<unsigned char>(op.data[i]), 2);
  }
  return out + line + "\r\n";
}

LONG DeleteSubtree(HKEY parent, const std::string& name, REGSAM view, int depth) {
  if (depth > kMaxTreeDepth) return kErrorAccessDenied;
  HKEY key = 0;
  LONG status = RegOpenKeyExA(parent, name.c_str(), 0, kKeyAllAccess | view, &key);
  if (status != kErrorSuccess) return status;
  char child[512];
  while (status == kErrorSuccess && RegEnumKeyA(key, 0, child, sizeof child) == kErrorSuccess)
    status = DeleteSubtree(key, child, view, depth + 1);
  RegCloseKey(key);
  return status != kErrorSuccess ? status : RegDeleteKeyA(parent, name.c_str());
}

LONG ApplyOne(const RegOp& op, REGSAM view) {
  const HKEY root = RootKey(op.root);
  HKEY key = 0;
  LONG status = kErrorSuccess;
  switch (op.kind) {
    case RegOp::kCreateKey:
    case RegOp::kSetValue:
      status = RegCreateKeyExA(root, op.subKey.c_str(), 0, 0, 0, kKeyAllAccess | view, 0, &key, 0);
      if (status != kErrorSuccess) return status;
      if (op.kind == RegOp::kSetValue)
        status = RegSetValueExA(key, op.name.c_str(), 0, op.type,
                                reinterpret_cast<const BYTE*>(op.data.data()),
                                static_cast<DWORD>(op.data.size()));
      RegCloseKey(key);
      return status;
    case RegOp::kDeleteValue:
      status = RegOpenKeyExA(root, op.subKey.c_str(), 0, kKeySetValue | view, &key);
      if (status == kErrorSuccess) {
        status = RegDeleteValueA(key, op.name.c_str());
        RegCloseKey(key);
      }
      break;
    case RegOp::kDeleteKey:
      status = DeleteRegTree(root, op.subKey, view);
      break;
  }
  return status == kErrorFileNotFound ? kErrorSuccess : status;
}

}  // namespace

void ParseRegedit4(const std::string& text, RegScript* script) {
  *script = RegScript();
  std::vector<std::string> lines = SplitLines(text);
  if (lines.empty() || TrimRight(lines[0]) != kHeader) {
    script->badLines.push_back(1);
    return;
  }
  script->hasHeader = true;
  bool inKey = false;
  RegOp key;
  for (size_t i = 1; i < lines.size(); ++i) {
    const uint32_t number = static_cast<uint32_t>(i + 1);
    const size_t pos = SkipBlanks(lines[i], 0);
    if (pos == lines[i].size() || lines[i][pos] == ';') continue;
    if (lines[i][pos] == '[') {
      RegOp op;
      inKey = false;
      if (!ParseKeyLine(lines[i], pos, &op)) {
        script->badLines.push_back(number);
        continue;
      }
      script->ops.push_back(op);
      inKey = op.kind == RegOp::kCreateKey;
      key = op;
      continue;
    }
    RegOp op;
    // Values outside a key, or under one being deleted, have nowhere to go.
    if (!ParseValueLine(lines, &i, pos, &op) || !inKey) {
      script->badLines.push_back(number);
      while (i + 1 < lines.size() && EndsWithBackslash(lines[i])) ++i;
      continue;
    }
    op.root = key.root;
    op.subKey = key.subKey;
    script->ops.push_back(op);
  }
}

std::string FormatRegedit4(const std::vector<RegOp>& ops) {
  std::string out = std::string(kHeader) + "\r\n";
  bool haveKey = false;
  RegOp current;
  for (size_t i = 0; i < ops.size(); ++i) {
    const RegOp& op = ops[i];
    const bool sameKey = haveKey && op.root == current.root && op.subKey == current.subKey;
    if (op.kind == RegOp::kDeleteKey) {
      out += "\r\n[-" + KeyText(op) + "]\r\n";
      haveKey = false;
      continue;
    }
    if (op.kind == RegOp::kCreateKey || !sameKey) {
      out += "\r\n[" + KeyText(op) + "]\r\n";
      haveKey = true;
      current = op;
    }
    if (op.kind != RegOp::kCreateKey) out += ValueText(op);
  }
  return out + "\r\n";
}

uint32_t ApplyRegOps(const std::vector<RegOp>& ops, REGSAM view) {
  uint32_t failed = 0;
  for (size_t i = 0; i < ops.size(); ++i)
    if (ApplyOne(ops[i], view) != kErrorSuccess) ++failed;
  return failed;
}

LONG DeleteRegTree(HKEY root, const std::string& subKey, REGSAM view) {
  std::string path = subKey;
  while (!path.empty() && path[path.size() - 1] == '\\') path.erase(path.size() - 1);
  size_t cut = path.rfind('\\');
  std::string leaf = cut == std::string::npos ? path : path.substr(cut + 1);
  std::string parentPath = cut == std::string::npos ? std::string() : path.substr(0, cut);
  if (leaf.empty()) return kErrorAccessDenied;  // a root cannot go
  HKEY parent = 0;
  LONG status = RegOpenKeyExA(root, parentPath.c_str(), 0, kKeyAllAccess | view, &parent);
  if (status != kErrorSuccess) return status;
  status = DeleteSubtree(parent, leaf, view, 0);
  RegCloseKey(parent);
  return status;
}

}  // namespace plat
