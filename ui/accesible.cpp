#include "ui/accesible.h"

#include "core/texts.h"

namespace acc {

std::string TextoVisible(const std::string& celda) {
  std::string texto = celda.substr(0, kMasDibujado);
  for (size_t i = 0; i < texto.size(); ++i)
    if (texto[i] == '\0') texto[i] = txt::kMarcaNul;
  return texto;
}

int32_t Hijos(const Grid& grid) { return grid.Rows() - grid.FixedRows(); }

int32_t FilaDeHijo(const Grid& grid, int32_t hijo) { return grid.FixedRows() + hijo - 1; }

std::string Nombre(const Grid& grid, int32_t hijo) {
  const int32_t fila = FilaDeHijo(grid, hijo);
  std::string nombre;
  for (int32_t col = 0; col < grid.Cols(); ++col) {
    if (grid.ColWidth(col) == 0) continue;
    if (!nombre.empty()) nombre += txt::kEntreCeldas;
    if (grid.FixedRows() > 0) nombre += TextoVisible(grid.TextMatrix(0, col)) + txt::kTrasCabecera;
    nombre += TextoVisible(grid.TextMatrix(fila, col));
  }
  return nombre;
}

uint32_t Estado(const Grid& grid, int32_t hijo, bool tablaConFoco) {
  const int32_t fila = FilaDeHijo(grid, hijo);
  uint32_t estado = kEnfocable | kSeleccionable;
  const int32_t a = grid.Row(), b = grid.RowSel();
  if ((a <= b && fila >= a && fila <= b) || (b < a && fila >= b && fila <= a))
    estado |= kSeleccionada;
  if (tablaConFoco && fila == a) estado |= kEnfocada;
  return estado;
}

}  // namespace acc
