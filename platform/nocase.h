// Name comparison the way Windows compares registry and file names: without
// regard to case, CP1252 letters above 127 included.
#pragma once
#include <string>

namespace plat {

// Windows' upper-case form of one CP1252 byte.
unsigned char UpperCp1252(unsigned char c);

bool SameNoCase(const std::string& a, const std::string& b);

}  // namespace plat
