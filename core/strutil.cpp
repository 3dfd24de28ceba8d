#include "core/strutil.h"

#include <string.h>

namespace {

std::string Digits(uint32_t magnitude, bool negative) {
  char digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::string text;
  if (negative) text += '-';
  while (n > 0) text += digits[--n];
  return text;
}

}  // namespace

std::string DecimalText(uint32_t value) { return Digits(value, false); }

std::string DecimalText(int32_t value) {
  // The magnitude as unsigned, so that the most negative value fits.
  return Digits(value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value),
                value < 0);
}

bool ParseInt32(const std::string& text, int32_t* value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > 2147483648LL) return false;
  }
  int64_t result = negative ? -magnitude : magnitude;
  if (result > 2147483647LL) return false;
  *value = static_cast<int32_t>(result);
  return true;
}

__attribute__((noinline)) uint64_t HashBytes(uint64_t hash, const void* bytes, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  const uint64_t kPrime = 1099511628211ull;
  // A word per multiplication: a tick digests every cell. The last word is
  // padded with zeros.
  for (; n >= 4; n -= 4, p += 4) {
    uint32_t word;
    memcpy(&word, p, 4);
    hash = (hash ^ word) * kPrime;
  }
  if (n) {
    uint32_t word = 0;
    for (int shift = 0; n; shift += 8, --n) word |= uint32_t(*p++) << shift;
    hash = (hash ^ word) * kPrime;
  }
  return hash;
}
