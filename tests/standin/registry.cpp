// The registry in memory, as far as the cases need it: keys by path, each
// with its values in creation order, names and string data kept in UTF-16 as
// NT keeps them, two views of HKLM\Software, open handles with their rights.
#include "platform/registry.h"

#include <string.h>

#include <map>
#include <set>
#include <vector>

#include "platform/nocase.h"
#include "tests/standin/standin.h"

namespace plat {
namespace {

const REGSAM kMaximumAllowed = 0x02000000;
const REGSAM kWrites = kKeySetValue | kKeyCreateSubKey | 0x00010000;

struct Value {
  std::string name;  // wide, as is string data
  DWORD type;
  std::string data;
};
struct Registry {
  std::map<std::string, std::vector<Value> > keys;  // by upper-case path below its root
  std::map<uintptr_t, std::pair<std::string, REGSAM> > handles;  // path and rights
  uintptr_t next = 0x100;  // never reused, so a stale handle stays invalid
  std::set<std::string> refused, readOnlyRoots;
  std::map<std::string, std::string> spelled;  // a key's path as first written, by its path
  bool wide = true, servicesRefused = false, watches = true;
} g;

// "8000000N" for a root, the path of an open key, "" for a bad handle.
std::string PathOf(HKEY key) {
  const uintptr_t h = reinterpret_cast<uintptr_t>(key);
  if (static_cast<uint32_t>(h) - 0x80000000u < 4) return "8000000" + std::to_string(h & 3);
  return g.handles.count(h) ? g.handles[h].first : std::string();
}

// The 32-bit view of a 64-bit system reaches HKLM\Software through Wow6432Node.
std::string Full(HKEY key, const char* subKey, REGSAM sam, std::string* spelled = 0) {
  std::string as = (g.spelled.count(PathOf(key)) ? g.spelled[PathOf(key)] : PathOf(key)) +
                   (subKey && *subKey ? "\\" + std::string(subKey) : "");
  std::string path = as;
  for (char& c : path) c = static_cast<char>(UpperCp1252(static_cast<unsigned char>(c)));
  const std::string software = "80000002\\SOFTWARE";
  if ((sam & kKeyWow64_32Key) && path.compare(0, software.size(), software) == 0 &&
      path.compare(software.size(), 12, "\\WOW6432NODE") != 0) {
    path.insert(software.size(), "\\WOW6432NODE");
    as.insert(software.size(), "\\Wow6432Node");
  }
  if (spelled) *spelled = as;
  return path;
}

LONG OpenKey(HKEY key, const char* subKey, REGSAM sam, bool create, HKEY* result) {
  *result = 0;
  if (PathOf(key).empty()) return kErrorInvalidHandle;
  std::string as;
  const std::string path = Full(key, subKey, sam, &as);
  // Asking for the most one may have gets the reading rights alone.
  const bool readOnly = g.readOnlyRoots.count(path.substr(0, 8)) > 0;
  const bool most = (sam & kMaximumAllowed) != 0;
  if (g.refused.count(path) || (readOnly && (sam & kWrites) && !most)) return kErrorAccessDenied;
  if (!g.keys.count(path)) {
    if (!create) return kErrorFileNotFound;
    if (readOnly) return kErrorAccessDenied;
    // Its parents too, as a registry makes them.
    for (size_t i = path.find('\\', 9); i != std::string::npos; i = path.find('\\', i + 1))
      if (!g.keys.count(path.substr(0, i)))
        g.keys[path.substr(0, i)], g.spelled[path.substr(0, i)] = as.substr(0, i);
    g.keys[path];
    g.spelled[path] = as;
  }
  g.handles[g.next] = {path, !most ? sam : readOnly ? kKeyRead : kKeyAllAccess};
  *result = reinterpret_cast<HKEY>(g.next);
  g.next += 4;
  return kErrorSuccess;
}

// The key's values, when the handle is good and has the right asked.
std::vector<Value>* Values(HKEY key, REGSAM need, LONG* status) {
  const std::string path = PathOf(key);
  const uintptr_t h = reinterpret_cast<uintptr_t>(key);
  const bool denied = g.handles.count(h) && (g.handles[h].second & need) != need;
  *status = path.empty() ? kErrorInvalidHandle : denied ? kErrorAccessDenied : kErrorSuccess;
  return *status ? 0 : &g.keys[path];
}

unsigned Fold(WCHAR c) { return c < 0x100 ? UpperCp1252(static_cast<unsigned char>(c)) : c; }

Value* Find(std::vector<Value>* values, const std::string& name) {
  if (!values) return 0;
  for (Value& v : *values) {
    bool same = v.name.size() == name.size();
    for (size_t i = 0; same && i < WideUnits(name); ++i)
      same = Fold(WideAt(v.name, i)) == Fold(WideAt(name, i));
    if (same) return &v;
  }
  return 0;
}

bool IsString(DWORD type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// A value's data as the ANSI or the wide functions give it.
std::string DataOf(const Value& v, bool wide) {
  return wide || !IsString(v.type) ? v.data : AnsiFromWide(v.data, 0);
}

LONG Copy(const std::string& bytes, BYTE* data, DWORD* cbData) {
  const DWORD size = static_cast<DWORD>(bytes.size());
  const bool fits = !data || size <= *cbData;
  if (data && fits) memcpy(data, bytes.data(), size);
  if (cbData) *cbData = size;
  return fits ? kErrorSuccess : kErrorMoreData;
}

LONG Query(HKEY key, const std::string& name, bool wide, DWORD* type, BYTE* data, DWORD* cbData) {
  LONG status;
  const Value* v = Find(Values(key, kKeyQueryValue, &status), name);
  if (v && type) *type = v->type;
  return v ? Copy(DataOf(*v, wide), data, cbData) : status ? status : kErrorFileNotFound;
}

// The name goes out in units of one byte (ANSI) or two (wide), terminated.
LONG PutName(const std::string& shown, void* name, DWORD* cchName, size_t unit) {
  if (shown.size() / unit >= *cchName) return kErrorMoreData;
  memcpy(name, shown.c_str(), shown.size());
  memset(static_cast<char*>(name) + shown.size(), 0, unit);
  *cchName = static_cast<DWORD>(shown.size() / unit);
  return kErrorSuccess;
}

LONG Enum(HKEY key, DWORD index, void* name, DWORD* cchName, bool wide, DWORD* type, BYTE* data,
          DWORD* cbData) {
  LONG status;
  const std::vector<Value>* values = Values(key, kKeyQueryValue, &status);
  if (!values) return status;
  if (index >= values->size()) return kErrorNoMoreItems;
  const Value& v = (*values)[index];
  if (type) *type = v.type;
  if (data && DataOf(v, wide).size() > *cbData) return Copy(DataOf(v, wide), data, cbData);
  const LONG put = PutName(wide ? v.name : AnsiFromWide(v.name, 0), name, cchName, wide ? 2 : 1);
  return put ? put : Copy(DataOf(v, wide), data, cbData);
}

LONG Set(HKEY key, const std::string& name, DWORD type, const std::string& bytes) {
  LONG status;
  std::vector<Value>* values = Values(key, kKeySetValue, &status);
  Value* v = Find(values, name);
  if (v) *v = Value{v->name, type, bytes};
  if (values && !v) values->push_back(Value{name, type, bytes});
  return status;
}

LONG Delete(HKEY key, const std::string& name) {
  LONG status;
  std::vector<Value>* values = Values(key, kKeySetValue, &status);
  const Value* v = Find(values, name);
  if (v) values->erase(values->begin() + (v - values->data()));
  return v ? kErrorSuccess : status ? status : kErrorFileNotFound;
}

std::string NameOf(const char* name) { return WideFromAnsi(name ? name : ""); }
std::string NameOf(const WCHAR* name) {
  std::string wide;
  for (const WCHAR* p = name; *p; ++p) AppendWide(&wide, *p);
  return wide;
}
std::string NameOf(const UNICODE_STRING* name) {
  return std::string(reinterpret_cast<const char*>(name->Buffer), name->Length);
}

NTSTATUS NtStatus(LONG error) {
  return error == kErrorSuccess ? kStatusSuccess : kStatusObjectNameNotFound;
}

// Subkeys in the order of their upper-case names, by name as first written.
LONG EnumKey(HKEY key, DWORD index, WCHAR* name, DWORD* cchName) {
  const std::string parent = PathOf(key) + "\\";
  if (parent.size() == 1) return kErrorInvalidHandle;
  for (const auto& k : g.keys)
    if (k.first.compare(0, parent.size(), parent) == 0 &&
        k.first.find('\\', parent.size()) == std::string::npos && index-- == 0)
      return PutName(WideFromAnsi(g.spelled[k.first].substr(parent.size())), name, cchName, 2);
  return kErrorNoMoreItems;
}

}  // namespace

LONG RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) {
  return OpenKey(key, subKey, kMaximumAllowed, false, result);
}
LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD, REGSAM sam, HKEY* result) {
  return OpenKey(key, subKey, sam, false, result);
}
LONG RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) {
  return OpenKey(key, subKey, kMaximumAllowed, true, result);
}
LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD, char*, DWORD, REGSAM sam, void*,
                     HKEY* result, DWORD*) {
  return OpenKey(key, subKey, sam, true, result);
}

LONG RegQueryValueExA(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data, DWORD* cbData) {
  return Query(key, NameOf(name), false, type, data, cbData);
}
LONG RegQueryValueExW(HKEY key, const WCHAR* name, DWORD*, DWORD* type, BYTE* data, DWORD* cbData) {
  return g.wide ? Query(key, NameOf(name), true, type, data, cbData) : kErrorCallNotImplemented;
}
LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* cchName, DWORD*, DWORD* type,
                   BYTE* data, DWORD* cbData) {
  return Enum(key, index, name, cchName, false, type, data, cbData);
}
LONG RegEnumValueW(HKEY key, DWORD index, WCHAR* name, DWORD* cchName, DWORD*, DWORD* type,
                   BYTE* data, DWORD* cbData) {
  return g.wide ? Enum(key, index, name, cchName, true, type, data, cbData)
                : kErrorCallNotImplemented;
}

LONG RegSetValueExA(HKEY key, const char* name, DWORD, DWORD type, const BYTE* data, DWORD cbData) {
  // Windows NT also counts a string's terminator left out of cbData when one
  // follows in memory; the stand-in never reads past what it is given.
  const std::string bytes(reinterpret_cast<const char*>(data), data ? cbData : 0);
  return Set(key, NameOf(name), type, IsString(type) ? WideFromAnsi(bytes) : bytes);
}
LONG RegDeleteValueA(HKEY key, const char* name) { return Delete(key, NameOf(name)); }

// Only whether the value is there: its basic information is not filled in.
NTSTATUS NtQueryValueKey(HKEY key, const UNICODE_STRING* name, DWORD, void*, DWORD, DWORD*) {
  return g.wide ? NtStatus(Query(key, NameOf(name), true, 0, 0, 0)) : kStatusNotImplemented;
}
NTSTATUS NtSetValueKey(HKEY key, const UNICODE_STRING* name, DWORD, DWORD type, const void* data,
                       DWORD size) {
  if (!g.wide) return kStatusNotImplemented;
  return NtStatus(Set(key, NameOf(name), type, std::string(static_cast<const char*>(data), size)));
}
NTSTATUS NtDeleteValueKey(HKEY key, const UNICODE_STRING* name) {
  return g.wide ? NtStatus(Delete(key, NameOf(name))) : kStatusNotImplemented;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, WCHAR* name, DWORD* cchName) {
  return g.wide ? EnumKey(key, index, name, cchName) : kErrorCallNotImplemented;
}
LONG RegOpenKeyExW(HKEY key, const WCHAR* subKey, DWORD, REGSAM sam, HKEY* result) {
  return g.wide ? OpenKey(key, AnsiFromWide(NameOf(subKey), 0).c_str(), sam, false, result)
                : kErrorCallNotImplemented;
}

// The service manager as a standard user meets it, or writes Start = 3 itself.
bool ServiceDemandStart(const WCHAR* name, DWORD* error) {
  HKEY key = 0;
  const std::string path = "SYSTEM\\CurrentControlSet\\Services\\" + AnsiFromWide(NameOf(name), 0);
  *error = g.servicesRefused
               ? kErrorAccessDenied
               : OpenKey(RootKey(kHkeyLocalMachine), path.c_str(), kKeySetValue, false, &key);
  const BYTE demand[4] = {3, 0, 0, 0};
  return !*error && !RegSetValueExA(key, "Start", 0, kRegDword, demand, 4) && !RegCloseKey(key);
}

LONG RegFlushKey(HKEY key) { return PathOf(key).empty() ? kErrorInvalidHandle : kErrorSuccess; }
LONG RegCloseKey(HKEY key) {
  return g.handles.erase(reinterpret_cast<uintptr_t>(key)) ? kErrorSuccess : kErrorInvalidHandle;
}
bool RegHasTwoViews() { return true; }
bool HasWideNames() { return g.wide; }

namespace standin {

void ResetRegistry() {  // handles stay unique
  const uintptr_t next = g.next;
  g = Registry();
  g.next = next;
}
void SetWideNames(bool wide) { g.wide = wide; }
void SetWatchesWork(bool work) { g.watches = work; }
bool WatchesWork() { return g.watches; }
size_t OpenHandleCount() { return g.handles.size(); }
void FailRegistryOpen(int32_t root, const std::string& subKey) {
  g.refused.insert(Full(RootKey(root), subKey.c_str(), 0));
}
void RefuseServiceChanges(bool refuse) { g.servicesRefused = refuse; }
void DenyRegistryWrites(int32_t root) { g.readOnlyRoots.insert(PathOf(RootKey(root))); }

}  // namespace standin
}  // namespace plat
