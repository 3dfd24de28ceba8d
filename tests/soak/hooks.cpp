#include "tests/soak/hooks.h"

#include <stdio.h>

namespace soak {
namespace {

// One program, one main window: the count needs no owner of its own.
unsigned long g_ticks = 0;
UINT g_ticksMessage = 0;

// The exact-name column is for removal, not for comparing with the places.
bool WriteTable(const Grid& table) {
  FILE* out = fopen(kTablePath, "wb");
  for (int32_t row = 1; out && row < table.Rows(); ++row)
    for (int32_t col = 0; col < kColExacto; ++col)
      fprintf(out, "%s%s", table.TextMatrix(row, col).c_str(),
              col + 1 < kColExacto ? "\t" : "\r\n");
  return out && fclose(out) == 0;
}

}  // namespace

bool OnMessage(UINT message, WPARAM wParam, UINT_PTR timerId, const Monitor& monitor,
               LRESULT* result) {
  if (!g_ticksMessage) g_ticksMessage = RegisterWindowMessageA(kTicksMessage);
  // Only the ticks that scan count: the program skips one while a box of
  // its own is open.
  if (message == WM_TIMER && wParam == timerId) g_ticks += !monitor.CajaAbierta();
  if (message != g_ticksMessage) return false;
  *result = wParam == kWriteTable ? WriteTable(monitor.LIST1) : static_cast<LRESULT>(g_ticks);
  return true;
}

}  // namespace soak
