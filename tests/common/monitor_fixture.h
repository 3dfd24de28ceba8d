// A monitor over freshly emptied start-up places, with its data file open.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "core/monitor.h"
#include "tests/common/places.h"

template <class DesktopT>
class MonitorTest : public ::testing::Test {
 protected:
  MonitorTest() : monitor(&desktop) {}
  void SetUp() override {
    places::Reset();
    std::string why;
    ASSERT_TRUE(monitor.AbrirFichero(&why)) << why;
  }
  // The first entry row with that name, or -1.
  int32_t FindRow(const std::string& name) const {
    for (int32_t r = 1; r < monitor.LIST1.Rows(); ++r)
      if (monitor.LIST1.TextMatrix(r, kColNombre) == name) return r;
    return -1;
  }

  DesktopT desktop;
  Monitor monitor;
};
