// Which colours each part of the windows is drawn in: the form's own colours
// with a text colour readable on them, or, with high contrast on, the system's.
#pragma once
#include <stdint.h>

namespace col {

// The system colours the choice reads (0x00BBGGRR), in this order.
enum Sistema {
  kWindow,
  kWindowText,
  kBtnFace,
  kBtnText,
  kHighlight,
  kHighlightText,
  kSistemaCount
};

enum Elemento {
  kFormulario,     // the main window's face and its labels
  kCampo,          // the selection field and the table's cells
  kCabecera,       // the table's header row
  kSeleccion,      // the table's selected cells
  kLineas,         // the table's grid lines (fondo only)
  kBotonValidar,   // "Marcar como válido"
  kBotonEliminar,  // "Eliminar del inicio"
  kAyuda,          // the About box and its texts
  kElementoCount
};

struct Colores {
  uint32_t fondo;
  uint32_t texto;
};

Colores Elegir(Elemento elemento, bool altoContraste, const uint32_t sistema[kSistemaCount]);

}  // namespace col
