#include "core/exacto.h"

#include "core/texts.h"
#include "platform/text.h"

namespace {
const char kFormaWide = 'W';
const char kFormaAnsi = 'A';
}  // namespace

std::string Exacto::Celda() const {
  return std::string(1, wide_ ? kFormaWide : kFormaAnsi).append(texto_);
}

Exacto Exacto::DeCelda(const std::string& celda) {
  return celda.empty() ? Exacto() : Exacto(celda.substr(1), celda[0] == kFormaWide);
}

std::string Exacto::Visible() const {
  std::string text = wide_ ? plat::AnsiFromWide(texto_, 0) : texto_;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\0') text[i] = txt::kMarcaNul;
  return text;
}

bool Exacto::Ansi(std::string* ansi) const {
  bool exact = true;
  *ansi = wide_ ? plat::AnsiFromWide(texto_, &exact) : texto_;
  return exact && ansi->find('\0') == std::string::npos;
}

bool Exacto::Wide(std::string* wide) const {
  if (wide_) {
    *wide = texto_;
    return true;
  }
  if (!plat::HasWideNames()) return false;
  *wide = plat::WideFromAnsi(texto_);
  return true;
}

std::string Exacto::WideCero() const {
  std::string wide;
  Wide(&wide);
  return wide.append(2, '\0');
}

std::string Exacto::Clave() const {
  // A blank at the end would vanish into the field's padding, and "bar "
  // would pass for a validated "bar".
  std::string ansi;
  if (Ansi(&ansi) &&
      (ansi.empty() || ansi.size() > kAnchoNombre || ansi[ansi.size() - 1] != ' '))
    return ansi;
  return std::string(1, '\0').append(Celda());
}
