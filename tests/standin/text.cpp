// The code page off Windows: each byte is the character of the same number
// (Latin-1, which CP1252 agrees with for every character the cases use),
// and a character above 255 has no byte.
#include "platform/text.h"

namespace plat {

std::string AnsiFromWide(const std::string& wide, bool* exact) {
  std::string ansi;
  bool all = true;
  for (size_t i = 0; i < WideUnits(wide); ++i) {
    const WCHAR c = WideAt(wide, i);
    all = all && c < 0x100;
    ansi.push_back(static_cast<char>(c < 0x100 ? c : '?'));
  }
  if (exact) *exact = all;
  return ansi;
}

std::string WideFromAnsi(const std::string& ansi) {
  std::string wide;
  for (char c : ansi) AppendWide(&wide, static_cast<unsigned char>(c));
  return wide;
}

}  // namespace plat
