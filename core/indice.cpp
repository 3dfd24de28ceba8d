#include "core/indice.h"

#include <string.h>

#include "core/strutil.h"

namespace {

size_t Hash(const char* nombre, const char* ruta, size_t n) {
  const uint64_t h = HashBytes(HashBytes(kHashStart, nombre, n), ruta, n);
  return static_cast<size_t>(h ^ (h >> 32));
}

}  // namespace

void IndiceDeValidados::Construir(const Grid& lista, int32_t colNombre, int32_t colRuta,
                                  size_t ancho) {
  lista_ = &lista;
  colNombre_ = colNombre;
  colRuta_ = colRuta;
  ancho_ = ancho;
  // At most half full, so that a probe ends soon at a free slot.
  size_t slots = 64;
  while (slots < 2 * static_cast<size_t>(lista.Rows())) slots *= 2;
  std::vector<int32_t>(slots, 0).swap(huecos_);
  for (int32_t row = 1; row < lista.Rows(); ++row) {
    const std::string& nombre = lista.TextMatrix(row, colNombre);
    const std::string& ruta = lista.TextMatrix(row, colRuta);
    if (nombre.size() != ancho || ruta.size() != ancho) continue;
    size_t i = Hash(nombre.data(), ruta.data(), ancho) & (slots - 1);
    while (huecos_[i] != 0) i = (i + 1) & (slots - 1);
    huecos_[i] = row;
  }
}

bool IndiceDeValidados::Iguales(int32_t row, const char* nombre, const char* ruta) const {
  const std::string& n = lista_->TextMatrix(row, colNombre_);
  const std::string& r = lista_->TextMatrix(row, colRuta_);
  return n.size() == ancho_ && r.size() == ancho_ && memcmp(n.data(), nombre, ancho_) == 0 &&
         memcmp(r.data(), ruta, ancho_) == 0;
}

bool IndiceDeValidados::Contiene(const char* nombre, const char* ruta) const {
  if (huecos_.empty()) return false;
  const size_t mask = huecos_.size() - 1;
  for (size_t i = Hash(nombre, ruta, ancho_) & mask; huecos_[i] != 0; i = (i + 1) & mask)
    if (Iguales(huecos_[i], nombre, ruta)) return true;
  return false;
}
