// One scan and one tick over places built from arbitrary bytes: values of any
// type, name and size (tabs, zeros, bytes above 127) in the watched keys of
// both views and in a key that is not watched, Startup files, an odd Startup
// setting or open command, keys that cannot be opened, and a data file that
// names some entries. The table must list every value of every watched key
// that can be opened, in place order, with exactly the hidden columns the
// removal relies on, and the tick must alert exactly when it should.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>

#include <algorithm>
#include <set>

#include "core/exacto.h"
#include "core/monitor.h"
#include "core/regprocs.h"
#include "core/strutil.h"
#include "core/texts.h"
#include "fuzz/common.h"
#include "platform/files.h"
#include "tests/common/scripted_desktop.h"
#include "tests/standin/standin.h"
#include "tests/common/places.h"

namespace {

using Cells = std::vector<std::string>;

const size_t kMaxSize = 5000;
// The stand-in keeps names as UTF-8 (up to 3 bytes a character) within Linux's 255.
const size_t kMaxFileName = 85;
const uint32_t kReadBuffer = 2048;  // what a single read of the registry layer takes

struct Place {
  int32_t root;
  const char* key;
  RegView view;
  const char* path;  // the key's path in the abstract registry, view included
  const char* tag;   // the view column
};
// The stand-in is set up as 64-bit Windows: the machine keys have two views.
const Place kWatched[] = {
    {plat::kHkeyLocalMachine, txt::kRunKey, kRegView64, txt::kRunKey, txt::kView64},
    {plat::kHkeyLocalMachine, txt::kRunKey, kRegView32,
     "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", txt::kView32},
    {plat::kHkeyLocalMachine, txt::kRunServicesKey, kRegView64, txt::kRunServicesKey, txt::kView64},
    {plat::kHkeyLocalMachine, txt::kRunServicesKey, kRegView32,
     "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunServices", txt::kView32},
    {plat::kHkeyCurrentUser, txt::kRunKey, kRegViewDefault, txt::kRunKey, ""},
    {plat::kHkeyCurrentUser, txt::kRunServicesKey, kRegViewDefault, txt::kRunServicesKey, ""},
};
const int kWatchedCount = sizeof kWatched / sizeof kWatched[0];
const char kUnwatched[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx";

uint32_t AnyType(FuzzedDataProvider* in) {
  const uint32_t common[] = {plat::kRegNone,   plat::kRegSz,    plat::kRegExpandSz,
                             plat::kRegBinary, plat::kRegDword, plat::kRegMultiSz};
  const size_t pick = in->ConsumeIntegralInRange<size_t>(0, sizeof common / sizeof common[0]);
  return pick < sizeof common / sizeof common[0] ? common[pick] : in->ConsumeIntegral<uint32_t>();
}

// The text a value's data gives, by type; `read` for a single read (which
// fails beyond its buffer and shows binary data in hexadecimal).
std::string DataText(uint32_t type, const std::string& bytes, bool read) {
  if (read && bytes.size() > kReadBuffer) return txt::kNotFound;
  if (type == plat::kRegDword) {
    std::string four = bytes.substr(0, 4);
    four.resize(4, '\0');
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(four[i]);
    std::string digits = DecimalText(v);
    return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
  }
  if (type == plat::kRegBinary && read) {
    std::string hex;
    for (unsigned char b : bytes) {
      hex += "0123456789ABCDEF"[b >> 4];
      hex += "0123456789ABCDEF"[b & 15];
    }
    return hex;
  }
  return bytes.empty() ? std::string() : bytes.substr(0, bytes.size() - 1);
}

// A value that a test sets up and that a single read then gives back.
struct Setting {
  bool present;
  uint32_t type;
  std::string bytes;
  std::string Text() const { return present ? DataText(type, bytes, true) : txt::kNotFound; }
};

// The standard value, none at all, a string of any bytes, or anything.
Setting AnySetting(FuzzedDataProvider* in, const std::string& standard) {
  Setting s = {true, plat::kRegSz, standard + '\0'};
  switch (in->ConsumeIntegralInRange(0, 3)) {
    case 1:
      s.present = false;
      break;
    case 2:
      s.bytes = in->ConsumeRandomLengthString(kMaxSize) + '\0';
      break;
    case 3:
      s.type = AnyType(in);
      s.bytes = in->ConsumeRandomLengthString(kMaxSize);
      break;
  }
  return s;
}

void Apply(const Setting& s, int32_t root, const char* key, const char* name) {
  if (s.present)
    places::SetValue(root, key, name, s.type, s.bytes);
  else
    DeleteRegValue(root, key, name);
}

// Every value of a key as the registry lists it, read whole.
void EnumerateWhole(const Place& place, std::vector<std::pair<std::string, std::string> >* out) {
  const plat::REGSAM flag = place.view == kRegView32   ? plat::kKeyWow64_32Key
                            : place.view == kRegView64 ? plat::kKeyWow64_64Key
                                                       : 0;
  plat::HKEY key = 0;
  if (plat::RegOpenKeyExA(plat::RootKey(place.root), place.key, 0, plat::kKeyRead | flag, &key) !=
      plat::kErrorSuccess)
    return;
  std::vector<char> name(16384);
  std::vector<plat::BYTE> data(kMaxSize + 1);
  for (plat::DWORD i = 0;; ++i) {
    plat::DWORD nameChars = static_cast<plat::DWORD>(name.size());
    plat::DWORD size = static_cast<plat::DWORD>(data.size());
    plat::DWORD type = 0;
    if (plat::RegEnumValueA(key, i, &name[0], &nameChars, 0, &type, &data[0], &size) !=
        plat::kErrorSuccess)
      break;
    const std::string bytes(reinterpret_cast<const char*>(&data[0]), size);
    out->push_back(std::make_pair(std::string(&name[0], nameChars), DataText(type, bytes, false)));
  }
  plat::RegCloseKey(key);
}

std::string FileName(FuzzedDataProvider* in) {
  std::string name = in->ConsumeRandomLengthString(kMaxFileName);
  for (char& c : name)
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  // A trailing dot or blank never reaches the disk through the ANSI functions.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name;
}

std::string Record(const std::string& name, const std::string& command) {
  return std::string("-214748364") + std::string(50, ' ') + fuzz::NameField(name) +
         fuzz::NameField(command);
}

std::string Show(const Cells& cells) {
  std::string text;
  for (const std::string& cell : cells) text += "[" + cell + "]";
  return text;
}

void CheckTable(const Grid& grid, const std::vector<Cells>& expected, const char* when) {
  fuzz::Check(grid.Rows() == static_cast<int32_t>(expected.size()) + 1,
              std::string(when) + ": " + std::to_string(grid.Rows() - 1) + " rows, " +
                  std::to_string(expected.size()) + " expected");
  fuzz::Check(grid.FixedRows() == 1 && grid.TextMatrix(0, kColNombre) == txt::kHeaderNombre &&
                  grid.TextMatrix(0, kColRuta) == txt::kHeaderRuta &&
                  grid.TextMatrix(0, kColValidado) == txt::kHeaderValidado,
              std::string(when) + ": header row");
  for (size_t r = 0; r < expected.size(); ++r) {
    Cells got;
    for (int32_t c = 0; c < kColExacto; ++c)
      got.push_back(grid.TextMatrix(static_cast<int32_t>(r) + 1, c));
    fuzz::Check(got == expected[r], std::string(when) + ": row " + std::to_string(r + 1) + " " +
                                        Show(got) + " instead of " + Show(expected[r]));
    // The exact name, where the code page can say it, is the listed one.
    std::string ansi;
    const std::string& celda = grid.TextMatrix(static_cast<int32_t>(r) + 1, kColExacto);
    fuzz::Check(celda.empty() || !Exacto::DeCelda(celda).Ansi(&ansi) || ansi == got[kColNombre],
                std::string(when) + ": row " + std::to_string(r + 1) + " exact name " + ansi);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  places::Reset();

  std::vector<std::pair<std::string, std::string> > validated;
  std::set<std::string> files;
  const int entries = in.ConsumeIntegralInRange(0, 40);
  for (int i = 0; i < entries; ++i) {
    const int where = in.ConsumeIntegralInRange(0, kWatchedCount + 1);
    std::string name, command;
    if (where == kWatchedCount + 1) {
      name = FileName(&in);
      if (name.empty()) continue;
      places::AddStartupFile(name);
      files.insert(name);
      command = name;
    } else {
      name = in.ConsumeRandomLengthString(kMaxSize);
      const uint32_t type = AnyType(&in);
      const std::string bytes = in.ConsumeRandomLengthString(kMaxSize);
      command = bytes;  // as a plain text value shows it
      if (where == kWatchedCount)
        places::SetValue(plat::kHkeyCurrentUser, kUnwatched, name, type, bytes);
      else
        places::SetValue(kWatched[where].root, kWatched[where].key, name, type, bytes,
                         kWatched[where].view);
    }
    if (in.ConsumeBool()) validated.push_back(std::make_pair(name, command));
  }

  const Setting startup = AnySetting(&in, places::StartupFolder());
  const Setting command = AnySetting(&in, txt::kStandardOpenCommand);
  Apply(startup, plat::kHkeyCurrentUser, txt::kShellFoldersKey, txt::kStartupValue);
  Apply(command, plat::kHkeyClassesRoot, txt::kOpenCommandKey, "");

  std::string file;
  for (const auto& v : validated) file += Record(v.first, v.second);
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 1:  // a record never written
      file.insert(0, std::string(260, '\0'));
      break;
    case 2:
      file += in.ConsumeRandomLengthString(kMaxSize);
      break;
  }
  places::WriteDataFileBytes(file);
  const std::vector<std::string> stored = fuzz::StoredEntries(file);
  auto mark = [&stored](const std::string& name, const std::string& command) -> std::string {
    // A plain record cannot tell "bar " from "bar": such a name is only ever
    // stored in its exact form, which no record here has.
    if (!name.empty() && name.size() <= 100 && name.back() == ' ') return txt::kNo;
    return fuzz::Stored(stored, name, command) ? txt::kSi : txt::kNo;
  };

  // Keys that refuse to open: the watched ones, the Startup setting's, the open command's.
  const uint32_t refused = in.ConsumeIntegral<uint8_t>();
  const bool startupRefused = refused & (1u << kWatchedCount);
  const bool commandRefused = refused & (1u << (kWatchedCount + 1));
  for (int p = 0; p < kWatchedCount; ++p)
    if (refused & (1u << p)) plat::standin::FailRegistryOpen(kWatched[p].root, kWatched[p].path);
  if (startupRefused)
    plat::standin::FailRegistryOpen(plat::kHkeyCurrentUser, txt::kShellFoldersKey);
  if (commandRefused) plat::standin::FailRegistryOpen(plat::kHkeyClassesRoot, txt::kOpenCommandKey);

  // What the table must hold, place after place.
  std::vector<Cells> expected;
  for (int p = 0; p < kWatchedCount; ++p) {
    std::vector<std::pair<std::string, std::string> > values;
    EnumerateWhole(kWatched[p], &values);
    fuzz::Check((refused & (1u << p)) == 0 || values.empty(), "a refused key was read");
    for (const auto& v : values)
      expected.push_back({v.first, v.second, mark(v.first, v.second), DecimalText(kWatched[p].root),
                          kWatched[p].key, kWatched[p].tag});
  }
  const std::string folder = startupRefused ? txt::kNotFound : startup.Text();
  if (folder != txt::kNotFound) {
    std::vector<std::string> listed;
    plat::ListOrdinaryFiles(folder + txt::kAllFiles, &listed);
    if (startup.present && folder == places::StartupFolder()) {
      // The in-memory disk has no hidden files: every file made is listed.
      std::string seen;
      for (const std::string& name : listed) seen += "[" + name + "]";
      seen += " of ";
      for (const std::string& name : files) seen += "[" + name + "]";
      fuzz::Check(std::set<std::string>(listed.begin(), listed.end()) == files &&
                      listed.size() == files.size(),
                  "the Startup folder lists its ordinary files once each: " + seen);
    }
    for (const std::string& name : listed)
      expected.push_back({name, name, mark(name, name), folder, "", ""});
  }
  const std::string orden = commandRefused ? txt::kNotFound : command.Text();
  if (orden.size() < 3 || orden.compare(1, 2, "%1") != 0)
    expected.push_back({orden, orden, mark(orden, orden), DecimalText(plat::kHkeyClassesRoot), "", ""});

  plat::ScriptedDesktop desktop;
  Monitor monitor(&desktop);
  std::string why;
  fuzz::Check(monitor.AbrirFichero(&why), "open: " + why);
  monitor.llegirdelregistre();
  CheckTable(monitor.LIST1, expected, "scan");
  fuzz::Check(desktop.boxes.empty(), "the scan showed a box");

  // A tick from wherever the user left the selection.
  const int32_t rows = monitor.LIST1.Rows();
  const int32_t row = in.ConsumeIntegralInRange<int32_t>(-1, rows);
  const int32_t col = in.ConsumeIntegralInRange<int32_t>(-1, kList1Cols);
  monitor.LIST1.UserSelect(row, col, in.ConsumeIntegralInRange<int32_t>(-1, rows),
                           in.ConsumeIntegralInRange<int32_t>(-1, kList1Cols));
  desktop.visible = in.ConsumeBool();
  const bool hidden = !desktop.visible;
  monitor.Timer1_Timer();
  CheckTable(monitor.LIST1, expected, "tick");
  bool unvalidated = false;
  for (const Cells& cells : expected) unvalidated = unvalidated || cells[kColValidado] == txt::kNo;
  const size_t alerts = unvalidated && hidden ? 1 : 0;
  fuzz::Check(desktop.boxes.size() == alerts, "alerts: " + std::to_string(desktop.boxes.size()) +
                                                  " instead of " + std::to_string(alerts));
  fuzz::Check(alerts == 0 || (desktop.boxes[0].caption == txt::kAlertCaption && desktop.visible),
              "the alert and then the window");
  const Grid& grid = monitor.LIST1;
  // A range of rows stays a range while both its ends are listed.
  fuzz::Check(grid.Row() >= 0 && grid.Row() < grid.Rows() && grid.RowSel() >= 0 &&
                  grid.RowSel() < grid.Rows() && grid.Col() == 0 && grid.ColSel() >= 0 &&
                  grid.ColSel() < kList1Cols,
              "the selection after the tick lies inside the table");
  return 0;
}
