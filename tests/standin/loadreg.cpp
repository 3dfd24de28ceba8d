#include <stdio.h>

#include "tests/standin/standin.h"
#include "tests/standin/regedit4.h"

namespace plat {
namespace standin {

bool LoadRegFile(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f == 0) return false;
  std::string text;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
  fclose(f);
  RegScript script;
  ParseRegedit4(text, &script);
  return script.hasHeader && script.badLines.empty() && ApplyRegOps(script.ops, 0) == 0;
}

}  // namespace standin
}  // namespace plat
