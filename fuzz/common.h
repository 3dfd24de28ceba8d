// What the fuzz targets share: the records of a data file, and a failure
// that stops the fuzzer with its reason.
#pragma once
#include <string>
#include <vector>

namespace fuzz {

// The 260-byte records the bytes of a data file hold, the last one filled
// up with zeros.
std::vector<std::string> Records(const std::string& file);
bool AllZero(const std::string& bytes);
// The name as a record's 100-byte name field holds it: cut, or padded with spaces.
std::string NameField(const std::string& name);
// The name and command fields, side by side as on disk, of the records that
// were written (not all zeros).
std::vector<std::string> StoredEntries(const std::string& file);
// Whether such a record holds this name and command.
bool Stored(const std::vector<std::string>& stored, const std::string& name,
            const std::string& command);

// Reports a broken invariant and aborts, so that libFuzzer keeps the input.
[[noreturn]] void Fail(const std::string& what);
inline void Check(bool holds, const std::string& what) {
  if (!holds) Fail(what);
}

}  // namespace fuzz
