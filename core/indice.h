// The validated list's records, found in constant time by name and command: a
// table of row numbers addressed by a hash of both fields, built once per load
// of the data file, so that a scan costs entries + records, not their product.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "core/grid.h"

class IndiceDeValidados {
 public:
  IndiceDeValidados() : lista_(0), colNombre_(0), colRuta_(0), ancho_(0) {}
  // Indexes the rows whose cells of `colNombre` and `colRuta` are both exactly
  // `ancho` bytes long; the grid must not change until the next build.
  void Construir(const Grid& lista, int32_t colNombre, int32_t colRuta, size_t ancho);
  // Whether some indexed row holds exactly these `ancho` bytes in both.
  bool Contiene(const char* nombre, const char* ruta) const;

 private:
  bool Iguales(int32_t row, const char* nombre, const char* ruta) const;

  const Grid* lista_;
  int32_t colNombre_;
  int32_t colRuta_;
  size_t ancho_;
  std::vector<int32_t> huecos_;  // a row number, or 0 for a free slot
};
