// The stored names of the validated list, found in constant time: a table of
// row numbers addressed by a hash of the name field, built once per load of
// the data file, so that a scan costs entries + records, not their product.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "core/grid.h"

class IndiceDeNombres {
 public:
  IndiceDeNombres() : lista_(0), col_(0), ancho_(0) {}
  // Indexes the cells of `col` that are exactly `ancho` bytes long; the grid
  // must not change until the next build.
  void Construir(const Grid& lista, int32_t col, size_t ancho);
  // Whether some indexed cell holds exactly these `ancho` bytes.
  bool Contiene(const char* campo) const;

 private:
  const Grid* lista_;
  int32_t col_;
  size_t ancho_;
  std::vector<int32_t> huecos_;  // a row number, or 0 for a free slot
};
