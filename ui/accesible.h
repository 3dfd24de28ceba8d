// What a screen reader hears of the table: one child per data row, named
// with its shown cells under their headers, with MSAA's states.
#pragma once
#include <stdint.h>

#include <string>

#include "core/grid.h"

namespace acc {

// MSAA's state bits (oleacc.h), here so the logic is tested natively.
const uint32_t kSeleccionada = 0x2;
const uint32_t kEnfocada = 0x4;
const uint32_t kEnfocable = 0x100000;
const uint32_t kSeleccionable = 0x200000;

// What the table draws of a cell: its first kMasDibujado bytes at most, a
// NUL as the mark that names show it with.
const size_t kMasDibujado = 1024;
std::string TextoVisible(const std::string& celda);

// Children are numbered from 1, the first row under the headers.
int32_t Hijos(const Grid& grid);
int32_t FilaDeHijo(const Grid& grid, int32_t hijo);
// "NOMBRE: x, RUTA: y, Validado: NO": the columns shown, hidden ones left out.
std::string Nombre(const Grid& grid, int32_t hijo);
uint32_t Estado(const Grid& grid, int32_t hijo, bool tablaConFoco);

}  // namespace acc
