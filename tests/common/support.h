// Registry helpers that work alike natively (abstract registry) and under
// Wine (the real registry).
#pragma once
#include <string>

namespace support {

// The keys the registry tests own, below HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE.
extern const char kSandbox[];

// Empties the sandbox keys in every view; natively the whole registry.
void ResetTestKeys();

// Loads tests/fixtures/<name>: natively with our REGEDIT4 reader, on Windows
// with the system's own "regedit /s", so both registries get the same data.
bool ImportRegFixture(const std::string& name);

}  // namespace support
