#include "core/exacto.h"

#include "core/texts.h"
#include "platform/text.h"

std::string ExactoDeWide(const std::string& wide) { return kExactoWide + wide; }

std::string ExactoDeAnsi(const std::string& ansi) { return kExactoAnsi + ansi; }

std::string NombreVisible(const std::string& exacto) {
  std::string text;
  if (exacto.empty()) return text;
  const std::string rest = exacto.substr(1);
  text = exacto[0] == kExactoWide ? plat::AnsiFromWide(rest, 0) : rest;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\0') text[i] = txt::kMarcaNul;
  return text;
}

bool AnsiExacto(const std::string& exacto, std::string* ansi) {
  if (exacto.empty()) return false;
  bool exact = true;
  *ansi = exacto[0] == kExactoWide ? plat::AnsiFromWide(exacto.substr(1), &exact)
                                   : exacto.substr(1);
  return exact && ansi->find('\0') == std::string::npos;
}

bool WideExacto(const std::string& exacto, std::string* wide) {
  if (exacto.empty()) return false;
  if (exacto[0] == kExactoWide) {
    *wide = exacto.substr(1);
    return true;
  }
  if (!plat::HasWideNames()) return false;
  *wide = plat::WideFromAnsi(exacto.substr(1));
  return true;
}

std::string ClaveDeExacto(const std::string& exacto) {
  // A blank at the end would vanish into the field's padding, and "bar "
  // would pass for a validated "bar".
  std::string ansi;
  if (AnsiExacto(exacto, &ansi) &&
      (ansi.empty() || ansi.size() > kAnchoNombre || ansi[ansi.size() - 1] != ' '))
    return ansi;
  return std::string(1, '\0') + exacto;
}
