// The data file's load on arbitrary contents: any length (partial last
// record, gaps of zeros), any bytes. Every record comes back whole, the
// lookups answer by the whole name, and reading never writes.
#include <stdint.h>

#include <algorithm>

#include "core/monitor.h"
#include "core/texts.h"
#include "fuzz/common.h"
#include "tests/common/scripted_desktop.h"
#include "tests/common/places.h"

namespace {

const int32_t kAtLeast = 30;

std::string TrimSpaces(const std::string& field) {
  size_t end = field.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : field.substr(0, end + 1);
}

void CheckLookup(Monitor* monitor, const std::vector<std::string>& stored,
                 const std::string& name, const std::string& command) {
  const bool found = fuzz::Stored(stored, name, command);
  fuzz::Check(monitor->VALIDAR_CLAVE(name, command) == (found ? txt::kSi : txt::kNo),
              "lookup of a name of " + std::to_string(name.size()) + " bytes and a command of " +
                  std::to_string(command.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  places::Reset();
  places::WriteDataFileBytes(file);
  plat::ScriptedDesktop desktop;
  Monitor monitor(&desktop);
  std::string why;
  fuzz::Check(monitor.AbrirFichero(&why), "open: " + why);

  monitor.llegirdelfitxer();
  const std::vector<std::string> records = fuzz::Records(file);
  const Grid& list2 = monitor.list2;
  fuzz::Check(list2.Rows() - 1 == std::max<int32_t>(kAtLeast, static_cast<int32_t>(records.size())),
              "one row for every record, 30 at least");
  fuzz::Check(list2.FixedRows() == 1 && list2.TextMatrix(0, 0) == txt::kHeaderNombre, "header row");
  for (int32_t n = 1; n < list2.Rows(); ++n) {
    const std::string record =
        static_cast<size_t>(n) <= records.size() ? records[n - 1] : std::string(260, '\0');
    const bool written = !fuzz::AllZero(record);
    // Name, command, location, key path: each field whole, padding and all.
    const size_t at[] = {60, 160, 0, 10};
    const size_t width[] = {100, 100, 10, 50};
    for (int c = 0; c < 4; ++c)
      fuzz::Check(list2.TextMatrix(n, c) == (written ? record.substr(at[c], width[c]) : ""),
                  "record " + std::to_string(n) + " field " + std::to_string(c));
  }

  const std::vector<std::string> stored = fuzz::StoredEntries(file);
  std::vector<std::string> names = {"", "a", txt::kNotFound, std::string(101, ' ')};
  for (size_t i = 0; i < records.size() && i < 4; ++i) {
    const std::string field = records[i].substr(60, 100), command = records[i].substr(160, 100);
    names.push_back(field.substr(0, 50));
    CheckLookup(&monitor, stored, TrimSpaces(field), TrimSpaces(command));
    // Longer than the fields: matched on their first 100 bytes.
    CheckLookup(&monitor, stored, field + "x", command + "x");
    CheckLookup(&monitor, stored, TrimSpaces(field), "c:\\otro.exe");
  }
  for (const std::string& name : names) CheckLookup(&monitor, stored, name, "");

  fuzz::Check(places::DataFileBytes() == file, "the load changed the data file");
  return 0;
}
