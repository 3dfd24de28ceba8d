// A monitor over freshly emptied start-up places, with its data file open.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "core/monitor.h"
#include "core/texts.h"
#include "tests/common/scripted_desktop.h"
#include "platform/registry.h"
#include "tests/common/places.h"

// The place column's text for each root key.
const std::string kHklm = "-2147483646";
const std::string kHkcu = "-2147483647";
const std::string kHkcr = "-2147483648";

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
  void AddUserRun(const std::string& name, const std::string& data) {
    places::SetString(plat::kHkeyCurrentUser, txt::kRunKey, name, data);
  }
  // Marks the row valid as the validate button does, and saves.
  void Validate(int32_t row) {
    ASSERT_TRUE(monitor.LIST1.SetRow(row));
    monitor.LIST1.SetCol(kColValidado);
    monitor.LIST1.SetText(txt::kSi);
    std::string why;
    ASSERT_TRUE(monitor.GUARDAR(&why)) << why;
  }

  plat::ScriptedDesktop desktop;
  Monitor monitor;
};
