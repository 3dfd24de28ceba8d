#include "fuzz/common.h"

#include <algorithm>

#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>

#include "tests/standin/standin.h"
#include "tests/common/places.h"

namespace fuzz {
namespace {

const size_t kRecord = 260;
const size_t kNameAt = 60;
const size_t kNameWidth = 100;

bool g_cleanupArranged = false;

int RemoveOne(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

// The temporary root below which the places' folders were made.
void RemoveRoot() {
  const std::string mapped = plat::standin::MapPath("c:\\x");
  if (mapped.size() > 4)
    nftw(mapped.substr(0, mapped.size() - 4).c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace

void ResetPlaces() {
  places::Reset();
  if (!g_cleanupArranged) atexit(RemoveRoot);
  g_cleanupArranged = true;
}

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
