// What the soak test's build of the program shows from outside: how many
// times Timer1 has scanned, and the entry table as it stands. Only that build
// links hooks.cpp, whose entry point gives the main window these hooks.
#pragma once

namespace soak {

// Short enough for hundreds of ticks in well under a minute.
const unsigned kTimer1Interval = 25;

// Sent by the test: wParam 0 asks for the number of Timer1 ticks so far that
// scanned (not the ones that came while a box was open); kWriteTable has the
// table written to kTablePath, a row a line, cells separated by tabs, and
// answers 1 when it was. The program itself sends nothing in WM_APP's range.
const unsigned kTicksMessage = 0x8000 + 0x3F00;
const unsigned kWriteTable = 1;
const char kTablePath[] = "C:\\soak\\table.txt";

}  // namespace soak
