// Small text conversions for code built without the printf family.
#pragma once
#include <stdint.h>

#include <string>

// Decimal text of a number: "-2147483647", "0", "4294967295". Kept to 32-bit
// arithmetic: 64-bit division would pull a libgcc helper into the program.
std::string DecimalText(int32_t value);
std::string DecimalText(uint32_t value);

// Reads the whole text as a signed 32-bit decimal number ("-2147483646");
// false for anything else (blanks, other characters, out of range).
bool ParseInt32(const std::string& text, int32_t* value);
