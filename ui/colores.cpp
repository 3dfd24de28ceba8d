#include "ui/colores.h"

namespace col {

namespace {

const uint32_t kNegro = 0x000000;
const uint32_t kSinColorPropio = 0xFFFFFFFF;  // drawn in system colours

const struct {
  uint32_t propio;  // the form's colour, all of them light
  Sistema fondo, texto;
} kElementos[kElementoCount] = {
    {0xC0C0C0, kBtnFace, kBtnText},                 // kFormulario
    {kSinColorPropio, kWindow, kWindowText},        // kCampo
    {kSinColorPropio, kBtnFace, kBtnText},          // kCabecera
    {kSinColorPropio, kHighlight, kHighlightText},  // kSeleccion
    {0xC0C0C0, kWindowText, kWindowText},           // kLineas
    {0x80FF80, kBtnFace, kBtnText},                 // kBotonValidar
    {0x8080FF, kBtnFace, kBtnText},                 // kBotonEliminar
    {kSinColorPropio, kBtnFace, kBtnText},          // kAyuda
};

}  // namespace

Colores Elegir(Elemento elemento, bool altoContraste, const uint32_t sistema[kSistemaCount]) {
  const auto& e = kElementos[elemento];
  Colores c = {sistema[e.fondo], sistema[e.texto]};
  // Black reads on every light colour of the form, whatever the scheme's text.
  if (!altoContraste && e.propio != kSinColorPropio) c = {e.propio, kNegro};
  return c;
}

}  // namespace col
