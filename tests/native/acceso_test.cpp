// For users beyond the defaults: the colours of each part in every scheme,
// and the table's rows as a screen reader hears them.
#include <gtest/gtest.h>
#include <math.h>

#include <algorithm>
#include <map>

#include "core/monitor.h"
#include "core/texts.h"
#include "platform/text.h"
#include "tests/common/places.h"
#include "tests/common/scripted_desktop.h"
#include "ui/accesible.h"
#include "ui/colores.h"

namespace {

// WCAG's contrast ratio of two 0x00BBGGRR colours.
double Contrast(uint32_t a, uint32_t b) {
  double l[2] = {0.05, 0.05};
  const double weight[] = {0.2126, 0.7152, 0.0722};  // R, G, B
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 3; ++i) {
      const double v = (((k ? b : a) >> (8 * i)) & 0xFF) / 255.0;
      l[k] += weight[i] * (v <= 0.04045 ? v / 12.92 : pow((v + 0.055) / 1.055, 2.4));
    }
  return l[0] > l[1] ? l[0] / l[1] : l[1] / l[0];
}

// Every text reads at 4.5:1 or more on its background, in the standard
// scheme, a dark one and two high-contrast ones. With high contrast on every
// colour is one of the system's; off, the form's fills stay, under black text,
// and the selection field keeps a text box's colours.
TEST(ColoresTest, EveryTextIsReadableInEverySchemeAndHighContrastTakesTheSystemsColours) {
  const struct {
    const char* what;
    bool highContrast;
    uint32_t system[col::kSistemaCount];  // window, its text, face, its text, highlight, its text
  } schemes[] = {
      {"standard", false, {0xFFFFFF, 0, 0xF0F0F0, 0, 0x800000, 0xFFFFFF}},
      {"dark", false, {0, 0xFFFFFF, 0, 0xFFFFFF, 0x800000, 0xFFFFFF}},
      {"high contrast black", true, {0, 0xFFFFFF, 0, 0xFFFFFF, 0xFFEB1A, 0}},
      {"high contrast white", true, {0xFFFFFF, 0, 0xFFFFFF, 0, 0x6E0037, 0xFFFFFF}},
  };
  const std::map<int, uint32_t> own = {{col::kFormulario, 0xC0C0C0},
                                       {col::kBotonValidar, 0x80FF80},
                                       {col::kBotonEliminar, 0x8080FF}};
  for (const auto& s : schemes) {
    SCOPED_TRACE(s.what);
    const uint32_t* end = s.system + col::kSistemaCount;
    for (int e = 0; e < col::kElementoCount; ++e) {
      const col::Colores c = col::Elegir(col::Elemento(e), s.highContrast, s.system);
      EXPECT_GE(e == col::kLineas ? 21 : Contrast(c.fondo, c.texto), 4.5) << e;
      if (s.highContrast) {
        EXPECT_NE(std::find(s.system, end, c.fondo), end) << e;
        EXPECT_NE(std::find(s.system, end, c.texto), end) << e;
      } else if (own.count(e)) {
        EXPECT_EQ(std::make_pair(c.fondo, c.texto), std::make_pair(own.at(e), 0u)) << e;
      }
    }
    const col::Colores field = col::Elegir(col::kCampo, s.highContrast, s.system);
    EXPECT_EQ(field.fondo, s.system[col::kWindow]);
    EXPECT_EQ(field.texto, s.system[col::kWindowText]);
  }
}

// Each row is a child named with its shown cells under their headers (the
// hidden location, key and exact name left out), a NUL shown as the table
// shows it and no more of a cell than the table draws. The current row is
// selected, and focused while the table has the focus; rows dragged over are
// selected too.
TEST(AccesibleTest, RowsAreNamedWithTheirShownCellsAndCarryTheirStates) {
  auto wideSz = [](const std::string& ansi) { return plat::WideFromAnsi(places::Sz(ansi)); };
  const int32_t hkcu = plat::kHkeyCurrentUser;
  places::Reset();
  places::SetValueW(hkcu, txt::kRunKey, std::string("\0\0o\0c\0u\0l\0t\0o\0", 14), plat::kRegSz,
                    wideSz("c:\\x.exe"));
  places::SetString(hkcu, txt::kRunKey, "grande", std::string(600 * 1024, 'g'));
  places::SetString(hkcu, txt::kRunKey, "claro", "c:\\claro.exe");
  plat::ScriptedDesktop desktop;
  Monitor monitor(&desktop);
  monitor.llegirdelregistre();
  Grid& grid = monitor.LIST1;
  ASSERT_EQ(acc::Hijos(grid), 3);
  std::vector<std::string> names;
  for (int32_t child = 1; child <= 3; ++child) names.push_back(acc::Nombre(grid, child));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{
                       "NOMBRE: claro, RUTA: c:\\claro.exe, Validado: NO",
                       "NOMBRE: grande, RUTA: " + std::string(1024, 'g') + ", Validado: NO",
                       "NOMBRE: \xa4oculto, RUTA: c:\\x.exe, Validado: NO"}));

  const uint32_t plain = acc::kEnfocable | acc::kSeleccionable, sel = plain | acc::kSeleccionada;
  const struct {
    int32_t row, rowSel;
    bool focus;
    uint32_t states[3];
  } cases[] = {
      {2, 2, true, {plain, sel | acc::kEnfocada, plain}},
      {2, 2, false, {plain, sel, plain}},
      {3, 1, true, {sel, sel, sel | acc::kEnfocada}},
  };
  for (const auto& c : cases) {
    grid.SetRow(c.row);
    grid.SetRowSel(c.rowSel);
    for (int32_t child = 1; child <= 3; ++child)
      EXPECT_EQ(acc::Estado(grid, child, c.focus), c.states[child - 1])
          << c.row << c.rowSel << child;
  }
}

}  // namespace
