// What the native tick benchmark times on the stand-in platform: the six
// places filled with a given number of entries, one tick of the monitor over
// them, and the floor of that tick, the bare reads of the same keys and the
// same folder. (The program itself is measured from outside: bench/run.sh.)
#pragma once
#include <stddef.h>

#include <string>
#include <vector>

#include "core/monitor.h"
#include "tests/common/scripted_desktop.h"
#include "tests/common/places.h"

namespace bench {

// The sizes every run measures.
const int kSizes[] = {30, 300, 3000};

// Empties the places, then spreads `entries` over the six: one for the open
// command of executable files, the rest in turn over the four keys and the
// Startup folder. The data file validates every entry, one record each.
void Populate(int entries);

// The scan's own registry reads, bare: each watched key opened once in each
// of its views, RegEnumValueA to the end, or its named value queried.
// Returns the number of values read.
size_t EnumerateKeys();

// The bare listings of the Startup folders the registry names; returns the
// number of files.
size_t ListFolder();

// The monitor as the program runs it, window shown (a tick then raises no
// box), over the data file the places hold.
class Ticker {
 public:
  Ticker();
  // False, with the reason, when the data file cannot be opened.
  bool Open(std::string* why);
  // One tick; returns the number of rows it listed.
  size_t Tick();

 private:
  plat::ScriptedDesktop desktop_;
  Monitor monitor_;
};

// One line of the closing table: the tick and its floor, in microseconds.
struct Figures {
  int entries;
  double tick;
  double keys;
  double folder;
};

// Prints the table of ratios tick / floor, and the time per entry.
void PrintRatios(const std::vector<Figures>& rows);

}  // namespace bench
