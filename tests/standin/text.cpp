// CP1252, the code page of the systems the program was made for, standing in
// for the ANSI code page off Windows. Every byte has a character (the five
// holes map to the C1 controls of the same number, as Windows maps them).
#include "platform/text.h"

namespace plat {
namespace {

const WCHAR kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                         0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

WCHAR FromByte(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b; }

// The byte for a character, or -1 when the code page lacks it.
int ToByte(WCHAR c) {
  if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return c;
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == c) return 0x80 + i;
  return -1;
}

}  // namespace

std::string AnsiFromWide(const std::string& wide, bool* exact) {
  std::string ansi;
  bool all = true;
  for (size_t i = 0; i < WideUnits(wide); ++i) {
    const int b = ToByte(WideAt(wide, i));
    if (b < 0) all = false;
    ansi.push_back(static_cast<char>(b < 0 ? '?' : b));
  }
  if (exact) *exact = all;
  return ansi;
}

std::string WideFromAnsi(const std::string& ansi) {
  std::string wide;
  for (size_t i = 0; i < ansi.size(); ++i)
    AppendWide(&wide, FromByte(static_cast<unsigned char>(ansi[i])));
  return wide;
}

}  // namespace plat
