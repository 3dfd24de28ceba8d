// What the soak test's build of the program shows from outside: how many
// times Timer1 has fired, and the entry table as it stands. Only that build
// (CENTINELA_SOAK) compiles this in; the shipped program never does.
#pragma once
#include <windows.h>

#include "core/grid.h"

namespace soak {

// Short enough for hundreds of ticks in well under a minute.
const unsigned kTimer1Interval = 25;

// Asked by the test with SendMessage: the number of Timer1 ticks so far that
// scanned (not the ones that came while a box was open).
const char kTicksMessage[] = "CentinelaSoakTicks";
// WM_COPYDATA with this tag and a file name: the table goes to that file,
// one row a line, cells separated by tabs.
const ULONG_PTR kDumpTag = 0x4B414F53;

// Sees every message of the main window first. True when it was one of the
// test's requests, answered in *result; a tick of `timerId` is counted and
// goes on to the window.
bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR timerId, const Grid& table,
               LRESULT* result);

}  // namespace soak
