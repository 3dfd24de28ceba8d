// Small text conversions for code built without the printf family.
#pragma once
#include <stdint.h>

#include <string>

// Decimal text of a signed number: "-2147483647", "0", "31".
std::string DecimalText(int64_t value);

// Reads the whole text as a signed 32-bit decimal number ("-2147483646");
// false for anything else (blanks, other characters, out of range).
bool ParseInt32(const std::string& text, int32_t* value);
