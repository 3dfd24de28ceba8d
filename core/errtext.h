// The reason for a failed file operation (platform/errors.h), as a Spanish
// sentence (CP1252).
#pragma once
#include <stdint.h>

#include <string>

std::string SystemErrorText(uint32_t code);
