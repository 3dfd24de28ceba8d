// A monitor over freshly emptied start-up places, with its data file open,
// and what the cases of the table and the data file share.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/monitor.h"
#include "tests/common/places.h"
#include "tests/common/scripted_desktop.h"

using Names = std::vector<std::string>;

// The place column's text for each root key.
const std::string kHklm = "-2147483646";
const std::string kHkcu = "-2147483647";
const std::string kHkcr = "-2147483648";

// A record as a save writes it: four fields, padded with blanks or cut.
inline std::string Record(std::string ubicacion, std::string subclave, std::string nombre,
                          std::string ruta) {
  return ubicacion.append(10, ' ').substr(0, 10) + subclave.append(50, ' ').substr(0, 50) +
         nombre.append(100, ' ').substr(0, 100) + ruta.append(100, ' ').substr(0, 100);
}

class MonitorTest : public ::testing::Test {
 protected:
  MonitorTest() : monitor(&desktop) {}
  void SetUp() override {
    places::Reset();
    std::string why;
    ASSERT_TRUE(monitor.AbrirFichero(&why)) << why;
  }
  // The first entry row with that name (and that place and view), or -1.
  int32_t FindRow(const std::string& name, const char* place = 0, const char* view = "") const {
    const Grid& grid = monitor.LIST1;
    for (int32_t r = 1; r < grid.Rows(); ++r)
      if (grid.TextMatrix(r, kColNombre) == name &&
          (!place ||
           (grid.TextMatrix(r, kColUbicacion) == place && grid.TextMatrix(r, kColVista) == view)))
        return r;
    return -1;
  }
  // Whether a row is the case's: under Wine the prefix's own automatic
  // services are listed too, after every place the cases plant in.
  bool Propia(int32_t r) const {
#ifdef _WIN32
    return monitor.LIST1.TextMatrix(r, kColSubclave).rfind(txt::kServicesKey, 0) != 0;
#else
    return r >= 0;
#endif
  }
  // The cells of column `col` in the entry rows.
  Names Column(int32_t col = kColNombre) const {
    Names cells;
    for (int32_t r = 1; r < monitor.LIST1.Rows(); ++r)
      if (Propia(r)) cells.push_back(monitor.LIST1.TextMatrix(r, col));
    return cells;
  }
  // Every row's cells in these columns, the header first.
  std::vector<Names> Rows(std::vector<int32_t> cols = {0, 1, 2, 3, 4, 5}) const {
    std::vector<Names> rows;
    for (int32_t r = 0; r < monitor.LIST1.Rows(); ++r) {
      if (!Propia(r)) continue;
      rows.emplace_back();
      for (int32_t c : cols) rows.back().push_back(monitor.LIST1.TextMatrix(r, c));
    }
    return rows;
  }
  void AddUserRun(const std::string& name, const std::string& data) {
    places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, name, data);
  }
  void SetCell(int32_t row, int32_t col, const std::string& text) {
    monitor.LIST1.SetRow(row);
    monitor.LIST1.SetCol(col);
    monitor.LIST1.SetText(text);
  }
  // A click on a cell, as the window's grid reports it.
  void Click(int32_t row, int32_t col = kColNombre) {
    monitor.LIST1.UserSelect(row, col, row, col);
    monitor.LIST1_SelChange();
  }
  // As the confirmed button does; false with why the entry stayed.
  bool Remove(int32_t row, std::string* why) {
    monitor.LIST1.SetRow(row);
    return monitor.eliminar(why);
  }
  // Marks the row valid as the validate button does, and saves.
  void Validate(int32_t row) {
    SetCell(row, kColValidado, txt::kSi);
    std::string why;
    ASSERT_TRUE(monitor.GUARDAR(&why)) << why;
  }

  plat::ScriptedDesktop desktop;
  Monitor monitor;
};
