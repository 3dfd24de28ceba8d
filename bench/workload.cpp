#include "bench/workload.h"

#include <stdio.h>
#include <string.h>

#include "core/monitor.h"
#include "core/regprocs.h"
#include "core/texts.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace bench {
namespace {

std::string Numbered(const char* prefix, int n) {
  char text[64];
  snprintf(text, sizeof text, "%s%05d", prefix, n);
  return text;
}

// The entries go to the first places, as they always did: the Run and
// RunServices keys, then the Startup folder.
const int kClaves = 4;
const int kServicios = 250;

std::string EntryName(int n) { return Numbered("Programa ", n); }

void AppendField(std::string* record, const std::string& text, size_t width) {
  std::string field = text.substr(0, width);
  field.resize(width, ' ');
  *record += field;
}

// A record as a save writes it: location, key path, name, command.
std::string Record(const std::string& name, const std::string& command) {
  std::string record;
  AppendField(&record, "-2147483647", 10);
  AppendField(&record, txt::kRunKey, 50);
  AppendField(&record, name, 100);
  AppendField(&record, command, 100);
  return record;
}

}  // namespace

void Populate(int entries) {
  places::Reset();
  const std::string command = "C:\\Windows\\cargador.exe \"%1\" %*";
  places::SetOpenCommand(command);
  // The data file is as large as the table: every entry validated.
  std::string file;
  for (int n = 1; n < entries; ++n) {
    const std::string name = EntryName(n);
    const int place = n % (kClaves + 1);
    if (place == kClaves) {
      places::AddStartupFile(name + ".lnk");
      file += Record(name + ".lnk", name + ".lnk");
      continue;
    }
    const Lugar& key = kLugares[place];
    const std::string path = "C:\\Archivos de programa\\" + name + "\\programa.exe /minimizado";
    places::SetString(key.root, key.key, name, path,
                      key.root == plat::kHkeyLocalMachine ? places::MachineView() : kRegViewDefault);
    file += Record(name, path);
  }
  // A real system has a few hundred service keys: 250 automatic ones from
  // 300 entries on, validated as the others.
  for (int n = 1; entries >= 300 && n <= kServicios; ++n) {
    const std::string name = Numbered("Servicio", n);
    const std::string key = std::string(txt::kServicesKey) + "\\" + name;
    const std::string image = "C:\\Archivos de programa\\" + name + ".exe";
    places::SetValue(plat::kHkeyLocalMachine, key, txt::kTypeValue, plat::kRegDword,
                     std::string("\x10\0\0\0", 4));
    places::SetValue(plat::kHkeyLocalMachine, key, txt::kStartValue, plat::kRegDword,
                     std::string("\2\0\0\0", 4));
    places::SetString(plat::kHkeyLocalMachine, key, txt::kImagePathValue, image);
    file += Record(name, image);
  }
  places::WriteDataFileBytes(file + Record(command, command));
}

// A subkey place's reads: each subkey opened once, its values read once.
static size_t ReadSubkeys(const Lugar& lugar, plat::HKEY key, plat::REGSAM view, plat::BYTE* data) {
  size_t values = 0;
  plat::WCHAR name[256];
  for (plat::DWORD i = 0;; ++i) {
    plat::DWORD chars = 256, size = 2048;
    plat::HKEY sub = 0;
    if (plat::RegEnumKeyExW(key, i, name, &chars) != plat::kErrorSuccess) break;
    if (plat::RegOpenKeyExW(key, name, 0, plat::kKeyRead | view, &sub) != plat::kErrorSuccess)
      continue;
    const char* const read[] = {lugar.valor ? lugar.valor : txt::kTypeValue, txt::kStartValue,
                                txt::kImagePathValue};
    for (int r = 0; r < (lugar.valor ? 1 : 3); ++r, size = 2048)
      values += plat::RegQueryValueExA(sub, read[r], 0, 0, data, &size) == plat::kErrorSuccess;
    plat::RegCloseKey(sub);
  }
  return values;
}

size_t EnumerateKeys() {
  const bool twoViews = plat::RegHasTwoViews();
  size_t values = 0;
  char name[2048];
  plat::BYTE data[2048];
  for (int k = 0; k < kNumLugares; ++k) {
    const Lugar& lugar = kLugares[k];
    if (lugar.filas == kFilasCarpeta) continue;
    const bool byViews = twoViews && lugar.vistas != kVistaUna;
    const plat::REGSAM views[2] = {plat::kKeyWow64_64Key, plat::kKeyWow64_32Key};
    for (int v = 0; v < (byViews && lugar.vistas != kVista64 ? 2 : 1); ++v) {
      plat::HKEY key = 0;
      const plat::HKEY root = plat::RootKey(lugar.root);
      if (byViews)
        plat::RegOpenKeyExA(root, lugar.key, 0, plat::kKeyRead | views[v], &key);
      else
        plat::RegOpenKeyA(root, lugar.key, &key);
      if (lugar.filas == kFilasServicios || lugar.filas == kFilasSubclaves) {
        values += ReadSubkeys(lugar, key, byViews ? views[v] : 0, data);
        plat::RegCloseKey(key);
        continue;
      }
      for (plat::DWORD i = 0;; ++i) {
        plat::DWORD nameChars = sizeof name;
        plat::DWORD type = 0;
        plat::DWORD size = sizeof data;
        // A named value is one query; a key of entries is read to its end.
        if ((lugar.valor ? plat::RegQueryValueExA(key, lugar.valor, 0, &type, data, &size)
                         : plat::RegEnumValueA(key, i, name, &nameChars, 0, &type, data, &size)) !=
            plat::kErrorSuccess)
          break;
        ++values;
        if (lugar.valor) break;
      }
      plat::RegCloseKey(key);
    }
  }
  return values;
}

size_t ListFolder() {
  size_t files = 0;
  for (int k = 0; k < kNumLugares; ++k) {
    const Lugar& lugar = kLugares[k];
    if (lugar.filas != kFilasCarpeta) continue;
    const std::string folder = ReadRegValue(lugar.root, lugar.key, lugar.valor);
    std::vector<std::string> names;
    if (folder != txt::kNotFound) plat::ListOrdinaryFiles(folder + txt::kAllFiles, &names);
    files += names.size();
  }
  return files;
}

Ticker::Ticker() : monitor_(&desktop_) { desktop_.visible = true; }

bool Ticker::Open(std::string* why) { return monitor_.AbrirFichero(why); }

size_t Ticker::Tick() {
  monitor_.Timer1_Timer();
  return static_cast<size_t>(monitor_.LIST1.Rows() - 1);
}

void PrintRatios(const std::vector<Figures>& rows) {
  printf("\n%8s %12s %12s %12s %12s %8s %14s\n", "entries", "tick us", "keys us", "folder us",
         "floor us", "ratio", "tick ns/entry");
  for (size_t i = 0; i < rows.size(); ++i) {
    const Figures& f = rows[i];
    const double floor = f.keys + f.folder;
    printf("%8d %12.1f %12.1f %12.1f %12.1f %8.2f %14.0f\n", f.entries, f.tick, f.keys, f.folder,
           floor, floor > 0 ? f.tick / floor : 0.0, f.tick * 1000.0 / f.entries);
  }
}

}  // namespace bench
