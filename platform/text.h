// Text across the ANSI/UTF-16 boundary. The program's own text is ANSI
// (CP1252 on the systems it was made for); on NT-family Windows names are
// UTF-16, and a name the code page cannot hold is only reachable in that form.
// Wide text is kept as UTF-16 code units in little-endian byte pairs inside a
// std::string, so that it can sit in a grid cell like any other text.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>

namespace plat {

typedef uint16_t WCHAR;

// NT-family Windows: names are UTF-16 and the wide and counted-name functions
// exist. Windows 9x names are ANSI text and cannot hold a NUL.
bool HasWideNames();

// The ANSI text the ANSI API would give for wide text ('?' for what the code
// page lacks); `exact`, when given, says whether it converts back unchanged.
std::string AnsiFromWide(const std::string& wide, bool* exact);
// Wide text for ANSI text, as the ANSI API converts it.
std::string WideFromAnsi(const std::string& ansi);

inline size_t WideUnits(const std::string& wide) { return wide.size() / 2; }
inline WCHAR WideAt(const std::string& wide, size_t i) {
  return static_cast<WCHAR>(static_cast<unsigned char>(wide[2 * i]) |
                            static_cast<unsigned char>(wide[2 * i + 1]) << 8);
}
inline void AppendWide(std::string* wide, WCHAR unit) {
  wide->push_back(static_cast<char>(unit & 0xFF));
  wide->push_back(static_cast<char>(unit >> 8));
}

}  // namespace plat
