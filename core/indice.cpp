#include "core/indice.h"

#include <string.h>

#include "core/strutil.h"

namespace {

size_t Hash(const char* bytes, size_t n) {
  return static_cast<size_t>(HashBytes(kHashStart, bytes, n));
}

}  // namespace

void IndiceDeNombres::Construir(const Grid& lista, int32_t col, size_t ancho) {
  lista_ = &lista;
  col_ = col;
  ancho_ = ancho;
  // At most half full, so that a probe ends soon at a free slot.
  size_t slots = 64;
  while (slots < 2 * static_cast<size_t>(lista.Rows())) slots *= 2;
  std::vector<int32_t>(slots, 0).swap(huecos_);
  for (int32_t row = 1; row < lista.Rows(); ++row) {
    const std::string& cell = lista.TextMatrix(row, col);
    if (cell.size() != ancho) continue;
    size_t i = Hash(cell.data(), ancho) & (slots - 1);
    while (huecos_[i] != 0) i = (i + 1) & (slots - 1);
    huecos_[i] = row;
  }
}

bool IndiceDeNombres::Contiene(const char* campo) const {
  if (huecos_.empty()) return false;
  const size_t mask = huecos_.size() - 1;
  for (size_t i = Hash(campo, ancho_) & mask; huecos_[i] != 0; i = (i + 1) & mask) {
    const std::string& cell = lista_->TextMatrix(huecos_[i], col_);
    if (cell.size() == ancho_ && memcmp(cell.data(), campo, ancho_) == 0) return true;
  }
  return false;
}
