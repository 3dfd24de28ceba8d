// Small text conversions for code built without the printf family.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>

// Decimal text of a number: "-2147483647", "0", "4294967295". Kept to 32-bit
// arithmetic: 64-bit division would pull a libgcc helper into the program.
std::string DecimalText(int32_t value);
std::string DecimalText(uint32_t value);

// Reads the whole text as a signed 32-bit decimal number ("-2147483646");
// false for anything else (blanks, other characters, out of range).
bool ParseInt32(const std::string& text, int32_t* value);

// FNV-1a's step over `n` bytes taken four at a time (the last word padded
// with zeros: give lengths where they matter), continuing from `hash` (start
// with kHashStart). Each step is one-to-one, so texts that differ in one word
// never read the same; the low bits see only the low bits of the input: fold
// before taking them.
const uint64_t kHashStart = 14695981039346656037ull;
uint64_t HashBytes(uint64_t hash, const void* bytes, size_t n);
