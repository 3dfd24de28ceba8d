#include "fuzz/common.h"

#include <algorithm>

namespace fuzz {
namespace {

const size_t kRecord = 260;
const size_t kNameAt = 60;
const size_t kNameWidth = 100;

}  // namespace

std::vector<std::string> Records(const std::string& file) {
  std::vector<std::string> records;
  for (size_t at = 0; at < file.size(); at += kRecord) {
    std::string record = file.substr(at, kRecord);
    record.resize(kRecord, '\0');
    records.push_back(record);
  }
  return records;
}

bool AllZero(const std::string& bytes) {
  return bytes.find_first_not_of('\0') == std::string::npos;
}

std::string NameField(const std::string& name) {
  std::string field = name.substr(0, kNameWidth);
  field.resize(kNameWidth, ' ');
  return field;
}

std::vector<std::string> StoredEntries(const std::string& file) {
  std::vector<std::string> entries;
  for (const std::string& record : Records(file))
    if (!AllZero(record)) entries.push_back(record.substr(kNameAt, 2 * kNameWidth));
  return entries;
}

bool Stored(const std::vector<std::string>& stored, const std::string& name,
            const std::string& command) {
  return std::find(stored.begin(), stored.end(), NameField(name) + NameField(command)) !=
         stored.end();
}

void Fail(const std::string& what) {
  fprintf(stderr, "invariant broken: %s\n", what.c_str());
  abort();
}

}  // namespace fuzz
