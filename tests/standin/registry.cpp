// The abstract registry: a tree of keys in memory with a handle table, giving
// the status codes and effects that advapi32 gives for the same calls.
#include "platform/registry.h"

#include <stdint.h>
#include <string.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/nocase.h"
#include "tests/standin/standin.h"

namespace plat {
namespace {

const char kWow6432Node[] = "Wow6432Node";
const REGSAM kAllAccess = 0xFFFFFFFFu;
// What RegOpenKeyA and RegCreateKeyA ask for: every right the caller may have.
const REGSAM kMaximumAllowed = 0x02000000;
const REGSAM kDelete = 0x00010000;
const int kRootCount = 4;

// Names are UTF-16 and string data is kept in UTF-16, as Windows NT keeps them;
// the ANSI functions convert on the way in and out.
struct Value {
  std::string name;  // wide text
  DWORD type;
  std::string data;
};

bool IsStringType(DWORD type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Windows' upper-case form of one UTF-16 unit, for the scripts tests use.
WCHAR FoldWide(WCHAR c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
      (c >= 0x430 && c <= 0x44F) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2))
    return static_cast<WCHAR>(c - 32);
  if (c >= 0x450 && c <= 0x45F) return static_cast<WCHAR>(c - 80);
  if (c == 0x161 || c == 0x153 || c == 0x17E) return static_cast<WCHAR>(c - 1);
  return c == 0xFF ? 0x178 : c;
}

bool SameWideNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < WideUnits(a); ++i)
    if (FoldWide(WideAt(a, i)) != FoldWide(WideAt(b, i))) return false;
  return true;
}

struct Key {
  std::string name;
  Key* parent;
  bool deleted;
  std::vector<Value> values;                   // in creation order
  std::vector<std::shared_ptr<Key> > subkeys;  // sorted by name, as Windows lists them

  Key(const std::string& n, Key* p) : name(n), parent(p), deleted(false) {}

  Value* FindValue(const std::string& wideName) {
    for (size_t i = 0; i < values.size(); ++i)
      if (SameWideNoCase(values[i].name, wideName)) return &values[i];
    return 0;
  }
  std::shared_ptr<Key> FindSubkey(const std::string& keyName) const {
    for (size_t i = 0; i < subkeys.size(); ++i)
      if (SameNoCase(subkeys[i]->name, keyName)) return subkeys[i];
    return std::shared_ptr<Key>();
  }
  std::shared_ptr<Key> AddSubkey(const std::string& keyName) {
    std::shared_ptr<Key> child(new Key(keyName, this));
    size_t at = 0;
    while (at < subkeys.size() && FoldedLess(subkeys[at]->name, keyName)) ++at;
    subkeys.insert(subkeys.begin() + static_cast<ptrdiff_t>(at), child);
    return child;
  }
  static bool FoldedLess(const std::string& a, const std::string& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      unsigned char x = UpperCp1252(static_cast<unsigned char>(a[i]));
      unsigned char y = UpperCp1252(static_cast<unsigned char>(b[i]));
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

struct Handle {
  std::shared_ptr<Key> key;
  REGSAM access;
};

struct FailedOpen {
  Key* root;
  std::vector<std::string> path;
};

class Registry {
 public:
  Registry() : nextHandle_(0x100), twoViews_(false) { Reset(); }

  void Reset() {
    for (int i = 0; i < kRootCount; ++i) roots_[i].reset(new Key(std::string(), 0));
    handles_.clear();
    failedOpens_.clear();
    readOnlyRoots_.clear();
    twoViews_ = false;
  }

  // The key behind a handle with the access it was opened for.
  LONG Resolve(HKEY h, Handle* out) const {
    if (h == 0) return kErrorInvalidHandle;
    int root = RootIndex(h);
    if (root >= 0) {
      out->key = roots_[root];
      out->access = kAllAccess;
      return kErrorSuccess;
    }
    std::map<uintptr_t, Handle>::const_iterator it = handles_.find(reinterpret_cast<uintptr_t>(h));
    if (it == handles_.end()) return kErrorInvalidHandle;
    if (it->second.key->deleted) return kErrorKeyDeleted;
    *out = it->second;
    return kErrorSuccess;
  }

  // Walks subKey below `from`, creating missing levels when asked. In the
  // 32-bit view of a two-view registry, HKLM\Software leads into Wow6432Node.
  LONG Walk(const std::shared_ptr<Key>& from, const char* subKey, bool create, REGSAM sam,
            std::shared_ptr<Key>* out, bool* created) {
    if (subKey != 0 && subKey[0] == '\\') return kErrorBadPathname;
    const bool view32 = twoViews_ && (sam & kKeyWow64_32Key) != 0 && (sam & kKeyWow64_64Key) == 0;
    std::vector<std::string> parts = Split(subKey);
    std::shared_ptr<Key> key = from;
    for (size_t i = 0; i < parts.size(); ++i) {
      std::shared_ptr<Key> next = key->FindSubkey(parts[i]);
      if (!next) {
        if (!create) return kErrorFileNotFound;
        next = key->AddSubkey(parts[i]);
        if (created) *created = true;
      }
      key = next;
      const bool nextIsNode = i + 1 < parts.size() && SameNoCase(parts[i + 1], kWow6432Node);
      if (view32 && IsMachineSoftware(key.get()) && !nextIsNode) {
        std::shared_ptr<Key> node = key->FindSubkey(kWow6432Node);
        if (!node) {
          if (!create) return kErrorFileNotFound;
          node = key->AddSubkey(kWow6432Node);
          if (created) *created = true;
        }
        key = node;
      }
    }
    if (IsFailedOpen(key.get())) return kErrorAccessDenied;
    *out = key;
    return kErrorSuccess;
  }

  HKEY NewHandle(const std::shared_ptr<Key>& key, REGSAM access) {
    uintptr_t value = nextHandle_;
    nextHandle_ += 4;
    Handle h;
    h.key = key;
    h.access = access;
    handles_[value] = h;
    return reinterpret_cast<HKEY>(value);
  }

  LONG Close(HKEY h) {
    if (h == 0) return kErrorInvalidHandle;
    if (RootIndex(h) >= 0) return kErrorSuccess;
    if (handles_.erase(reinterpret_cast<uintptr_t>(h)) == 0) return kErrorInvalidHandle;
    return kErrorSuccess;
  }

  LONG DeleteKey(const std::shared_ptr<Key>& key) {
    if (key->parent == 0 || !key->subkeys.empty()) return kErrorAccessDenied;
    std::vector<std::shared_ptr<Key> >& siblings = key->parent->subkeys;
    for (size_t i = 0; i < siblings.size(); ++i) {
      if (siblings[i] == key) {
        siblings.erase(siblings.begin() + static_cast<ptrdiff_t>(i));
        break;
      }
    }
    key->deleted = true;
    key->parent = 0;
    return kErrorSuccess;
  }

  void FailOpen(int32_t root, const std::string& subKey) {
    int index = RootIndex(RootKey(root));
    if (index < 0) return;
    FailedOpen f;
    f.root = roots_[index].get();
    f.path = Split(subKey.c_str());
    failedOpens_.push_back(f);
  }

  void DenyWrites(int32_t root) {
    int index = RootIndex(RootKey(root));
    if (index >= 0) readOnlyRoots_.push_back(roots_[index].get());
  }

  // Rights that write, asked below a root whose writes are denied.
  bool WriteDenied(const Key* key, REGSAM sam) const {
    const REGSAM writes =
        kKeySetValue | kKeyCreateSubKey | 0x0020 | kDelete | 0x40000 | 0x80000 | kMaximumAllowed;
    if ((sam & writes) == 0) return false;
    while (key->parent != 0) key = key->parent;
    for (size_t i = 0; i < readOnlyRoots_.size(); ++i)
      if (readOnlyRoots_[i] == key) return true;
    return false;
  }

  size_t HandleCount() const { return handles_.size(); }
  void SetTwoViews(bool two) { twoViews_ = two; }
  bool TwoViews() const { return twoViews_; }

 private:
  static int RootIndex(HKEY h) {
    for (int i = 0; i < kRootCount; ++i)
      if (h == RootKey(kHkeyClassesRoot + i)) return i;
    return -1;
  }

  static std::vector<std::string> Split(const char* path) {
    std::vector<std::string> parts;
    if (path == 0) return parts;
    const char* start = path;
    for (const char* p = path;; ++p) {
      if (*p == '\\' || *p == 0) {
        if (p != start) parts.push_back(std::string(start, p));
        if (*p == 0) break;
        start = p + 1;
      }
    }
    return parts;
  }

  bool IsMachineSoftware(const Key* key) const {
    const Key* machine = roots_[kHkeyLocalMachine - kHkeyClassesRoot].get();
    return key->parent == machine && SameNoCase(key->name, "Software");
  }

  bool IsFailedOpen(const Key* key) const {
    for (size_t f = 0; f < failedOpens_.size(); ++f) {
      const Key* k = key;
      size_t n = failedOpens_[f].path.size();
      while (n > 0 && k->parent != 0 && SameNoCase(k->name, failedOpens_[f].path[n - 1])) {
        k = k->parent;
        --n;
      }
      if (n == 0 && k == failedOpens_[f].root) return true;
    }
    return false;
  }

  std::shared_ptr<Key> roots_[kRootCount];
  std::map<uintptr_t, Handle> handles_;
  uintptr_t nextHandle_;  // never reused, so a stale handle stays invalid
  bool twoViews_;
  std::vector<FailedOpen> failedOpens_;
  std::vector<const Key*> readOnlyRoots_;  // a standard user's view of them
};

Registry g_registry;

std::string NameOf(const char* valueName) { return WideFromAnsi(valueName ? valueName : ""); }

std::string NameOf(const WCHAR* valueName) {
  std::string wide;
  for (const WCHAR* p = valueName; p && *p; ++p) AppendWide(&wide, *p);
  return wide;
}

std::string NameOf(const UNICODE_STRING* name) {
  if (name == 0 || name->Buffer == 0) return std::string();
  return std::string(reinterpret_cast<const char*>(name->Buffer), name->Length & ~1u);
}

// A value's data as the ANSI or the wide functions give it.
std::string DataOf(const Value& v, bool wide) {
  return wide || !IsStringType(v.type) ? v.data : AnsiFromWide(v.data, 0);
}

// The handle's key, checked for the access an operation needs.
LONG KeyFor(HKEY h, REGSAM need, Handle* out) {
  LONG status = g_registry.Resolve(h, out);
  if (status != kErrorSuccess) return status;
  if ((out->access & need) != need) return kErrorAccessDenied;
  return kErrorSuccess;
}

LONG Open(HKEY key, const char* subKey, REGSAM sam, bool create, HKEY* result, DWORD* disposition) {
  if (result == 0) return kErrorInvalidParameter;
  *result = 0;
  Handle from;
  LONG status = g_registry.Resolve(key, &from);
  if (status != kErrorSuccess) return status;
  bool created = false;
  std::shared_ptr<Key> target;
  status = g_registry.Walk(from.key, subKey, false, sam, &target, 0);
  if (status == kErrorFileNotFound && create) {
    if ((from.access & kKeyCreateSubKey) == 0 ||
        g_registry.WriteDenied(from.key.get(), kKeyCreateSubKey))
      return kErrorAccessDenied;
    status = g_registry.Walk(from.key, subKey, true, sam, &target, &created);
  }
  if (status != kErrorSuccess) return status;
  REGSAM access = sam & kMaximumAllowed ? kAllAccess : sam;
  if (g_registry.WriteDenied(target.get(), sam)) {
    // Asking for the most one may have gets the reading rights alone.
    if (!(sam & kMaximumAllowed)) return kErrorAccessDenied;
    access = kKeyRead;
  }
  if (disposition) *disposition = created ? 1 : 2;  // REG_CREATED_NEW_KEY, REG_OPENED_EXISTING_KEY
  *result = g_registry.NewHandle(target, access);
  return kErrorSuccess;
}

}  // namespace

LONG RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) {
  // As in advapi32, no subkey gives back the very handle passed in.
  if ((subKey == 0 || subKey[0] == 0) && result != 0) {
    Handle h;
    LONG status = g_registry.Resolve(key, &h);
    *result = status == kErrorSuccess ? key : 0;
    return status;
  }
  return Open(key, subKey, kMaximumAllowed, false, result, 0);
}

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM sam, HKEY* result) {
  (void)options;
  return Open(key, subKey, sam, false, result, 0);
}

LONG RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) {
  if ((subKey == 0 || subKey[0] == 0) && result != 0) return RegOpenKeyA(key, subKey, result);
  return Open(key, subKey, kMaximumAllowed, true, result, 0);
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, char* cls, DWORD options,
                     REGSAM sam, void* security, HKEY* result, DWORD* disposition) {
  (void)reserved;
  (void)cls;
  (void)options;
  (void)security;
  if (subKey == 0) return kErrorInvalidParameter;
  return Open(key, subKey, sam, true, result, disposition);
}

namespace {

LONG QueryValue(HKEY key, const std::string& name, bool wide, DWORD* reserved, DWORD* type,
                BYTE* data, DWORD* cbData) {
  if (reserved != 0 || (data != 0 && cbData == 0)) return kErrorInvalidParameter;
  Handle h;
  LONG status = KeyFor(key, kKeyQueryValue, &h);
  if (status != kErrorSuccess) return status;
  const Value* v = h.key->FindValue(name);
  if (v == 0) return kErrorFileNotFound;
  if (type) *type = v->type;
  const std::string bytes = DataOf(*v, wide);
  const DWORD size = static_cast<DWORD>(bytes.size());
  if (data != 0) {
    if (size > *cbData) {
      *cbData = size;
      return kErrorMoreData;
    }
    if (size) memcpy(data, bytes.data(), size);
  }
  if (cbData) *cbData = size;
  return kErrorSuccess;
}

// The name goes out in units of one byte (ANSI) or two (wide), terminated.
LONG EnumValue(HKEY key, DWORD index, void* valueName, DWORD* cchValueName, bool wide,
               DWORD* reserved, DWORD* type, BYTE* data, DWORD* cbData) {
  if (valueName == 0 || cchValueName == 0 || reserved != 0 || (data != 0 && cbData == 0))
    return kErrorInvalidParameter;
  Handle h;
  LONG status = KeyFor(key, kKeyQueryValue, &h);
  if (status != kErrorSuccess) return status;
  if (index >= h.key->values.size()) return kErrorNoMoreItems;
  const Value& v = h.key->values[index];
  const std::string bytes = DataOf(v, wide);
  const DWORD size = static_cast<DWORD>(bytes.size());
  if (type) *type = v.type;
  if (data != 0 && size > *cbData) {
    *cbData = size;
    return kErrorMoreData;
  }
  const std::string name = wide ? v.name : AnsiFromWide(v.name, 0);
  const size_t unit = wide ? 2 : 1;
  // The name buffer must hold the terminating zero as well.
  if (name.size() / unit >= *cchValueName) return kErrorMoreData;
  memcpy(valueName, name.data(), name.size());
  memset(static_cast<char*>(valueName) + name.size(), 0, unit);
  *cchValueName = static_cast<DWORD>(name.size() / unit);
  if (data != 0 && size) memcpy(data, bytes.data(), size);
  if (cbData) *cbData = size;
  return kErrorSuccess;
}

LONG SetValue(HKEY key, const std::string& name, DWORD type, const std::string& bytes) {
  Handle h;
  LONG status = KeyFor(key, kKeySetValue, &h);
  if (status != kErrorSuccess) return status;
  Value* v = h.key->FindValue(name);
  if (v == 0) {
    Value added;
    added.name = name;
    h.key->values.push_back(added);
    v = &h.key->values.back();
  }
  v->type = type;
  v->data = bytes;
  return kErrorSuccess;
}

LONG DeleteValue(HKEY key, const std::string& name) {
  Handle h;
  LONG status = KeyFor(key, kKeySetValue, &h);
  if (status != kErrorSuccess) return status;
  std::vector<Value>& values = h.key->values;
  for (size_t i = 0; i < values.size(); ++i) {
    if (SameWideNoCase(values[i].name, name)) {
      values.erase(values.begin() + static_cast<ptrdiff_t>(i));
      return kErrorSuccess;
    }
  }
  return kErrorFileNotFound;
}

NTSTATUS NtStatus(LONG error) {
  switch (error) {
    case kErrorSuccess:
      return kStatusSuccess;
    case kErrorFileNotFound:
      return kStatusObjectNameNotFound;
    case kErrorAccessDenied:
      return static_cast<NTSTATUS>(0xC0000022u);
    default:
      return static_cast<NTSTATUS>(0xC0000008u);  // invalid handle
  }
}

}  // namespace

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* cbData) {
  return QueryValue(key, NameOf(valueName), false, reserved, type, data, cbData);
}

LONG RegEnumValueA(HKEY key, DWORD index, char* valueName, DWORD* cchValueName, DWORD* reserved,
                   DWORD* type, BYTE* data, DWORD* cbData) {
  return EnumValue(key, index, valueName, cchValueName, false, reserved, type, data, cbData);
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD cbData) {
  (void)reserved;
  // Windows NT also counts a string's terminator left out of cbData when one
  // follows in memory; the stand-in never reads past what it is given.
  if (data == 0 && cbData != 0) return kErrorInvalidParameter;
  const std::string bytes(reinterpret_cast<const char*>(data), data ? cbData : 0);
  return SetValue(key, NameOf(valueName), type, IsStringType(type) ? WideFromAnsi(bytes) : bytes);
}

LONG RegDeleteValueA(HKEY key, const char* valueName) {
  return DeleteValue(key, NameOf(valueName));
}

LONG RegEnumValueW(HKEY key, DWORD index, WCHAR* valueName, DWORD* cchValueName, DWORD* reserved,
                   DWORD* type, BYTE* data, DWORD* cbData) {
  if (!HasWideNames()) return kErrorCallNotImplemented;
  return EnumValue(key, index, valueName, cchValueName, true, reserved, type, data, cbData);
}

LONG RegQueryValueExW(HKEY key, const WCHAR* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* cbData) {
  if (!HasWideNames()) return kErrorCallNotImplemented;
  return QueryValue(key, NameOf(valueName), true, reserved, type, data, cbData);
}

NTSTATUS NtQueryValueKey(HKEY key, const UNICODE_STRING* valueName, DWORD infoClass, void* info,
                         DWORD length, DWORD* resultLength) {
  if (!HasWideNames() || infoClass != kKeyValueBasicInformation) return kStatusNotImplemented;
  DWORD type = 0;
  LONG status = QueryValue(key, NameOf(valueName), true, 0, &type, 0, 0);
  if (status != kErrorSuccess) return NtStatus(status);
  // Title index, type, name length, then the name.
  const std::string name = NameOf(valueName);
  const DWORD needed = 12 + static_cast<DWORD>(name.size());
  if (resultLength) *resultLength = needed;
  if (info == 0 || length < 12) return kStatusBufferTooSmall;
  const uint32_t fixed[3] = {0, type, static_cast<uint32_t>(name.size())};
  memcpy(info, fixed, 12);
  if (length < needed) return kStatusBufferOverflow;
  memcpy(static_cast<char*>(info) + 12, name.data(), name.size());
  return kStatusSuccess;
}

NTSTATUS NtSetValueKey(HKEY key, const UNICODE_STRING* valueName, DWORD titleIndex, DWORD type,
                       const void* data, DWORD size) {
  (void)titleIndex;
  if (!HasWideNames()) return kStatusNotImplemented;
  if (data == 0 && size != 0) return static_cast<NTSTATUS>(0xC000000Du);
  const std::string bytes(static_cast<const char*>(data), data ? size : 0);
  return NtStatus(SetValue(key, NameOf(valueName), type, bytes));
}

NTSTATUS NtDeleteValueKey(HKEY key, const UNICODE_STRING* valueName) {
  if (!HasWideNames()) return kStatusNotImplemented;
  return NtStatus(DeleteValue(key, NameOf(valueName)));
}

LONG RegDeleteKeyA(HKEY key, const char* subKey) {
  if (subKey == 0) return kErrorInvalidParameter;
  Handle h;
  LONG status = g_registry.Resolve(key, &h);
  if (status != kErrorSuccess) return status;
  std::shared_ptr<Key> target;
  status = g_registry.Walk(h.key, subKey, false, 0, &target, 0);
  if (status != kErrorSuccess) return status;
  if (g_registry.WriteDenied(target.get(), kDelete)) return kErrorAccessDenied;
  return g_registry.DeleteKey(target);
}

LONG RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD cchName) {
  if (name == 0) return kErrorInvalidParameter;
  Handle h;
  LONG status = KeyFor(key, kKeyEnumerateSubKeys, &h);
  if (status != kErrorSuccess) return status;
  if (index >= h.key->subkeys.size()) return kErrorNoMoreItems;
  const std::string& keyName = h.key->subkeys[index]->name;
  if (keyName.size() >= cchName) return kErrorMoreData;
  memcpy(name, keyName.c_str(), keyName.size() + 1);
  return kErrorSuccess;
}

LONG RegFlushKey(HKEY key) {
  Handle h;
  return g_registry.Resolve(key, &h);
}

LONG RegCloseKey(HKEY key) { return g_registry.Close(key); }

bool RegHasTwoViews() { return g_registry.TwoViews(); }

namespace standin {

void ResetRegistry() {
  g_registry.Reset();
  SetWideNames(true);
}
void SetTwoViews(bool two) { g_registry.SetTwoViews(two); }
size_t OpenHandleCount() { return g_registry.HandleCount(); }
void FailRegistryOpen(int32_t root, const std::string& subKey) {
  g_registry.FailOpen(root, subKey);
}
void DenyRegistryWrites(int32_t root) { g_registry.DenyWrites(root); }

}  // namespace standin
}  // namespace plat
