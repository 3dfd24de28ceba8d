// One tick against its floor on the real registry and disk (Windows, or Wine
// in a throw-away prefix: it empties the watched places). Timed with the
// performance counter; floor and tick alternate, and each keeps its median.
#include <stdio.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "bench/workload.h"

namespace {

const double kSecondsPerFigure = 1.0;
const int kMinRounds = 9;
const int kMaxRounds = 200;

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Fails the run when a measurement did not see what it should.
bool Expect(size_t got, size_t wanted, const char* what) {
  if (got == wanted) return true;
  printf("%s: %u seen, %u expected\n", what, static_cast<unsigned>(got),
         static_cast<unsigned>(wanted));
  return false;
}

}  // namespace

int main() {
  std::vector<bench::Figures> rows;
  for (int entries : bench::kSizes) {
    bench::Populate(entries);
    bench::Ticker ticker;
    std::string why;
    if (!ticker.Open(&why)) {
      printf("data file: %s\n", why.c_str());
      return 1;
    }
    // The open command's entry is the one the floor does not read.
    const size_t floorEntries = static_cast<size_t>(entries - 1);
    if (!Expect(ticker.Tick(), static_cast<size_t>(entries), "tick") ||
        !Expect(bench::EnumerateKeys() + bench::ListFolder(), floorEntries, "floor"))
      return 1;

    double start = Now();
    ticker.Tick();
    const double once = Now() - start;
    int rounds = static_cast<int>(kSecondsPerFigure * 1e6 / (once > 1 ? once : 1));
    rounds = std::max(kMinRounds, std::min(kMaxRounds, rounds));

    std::vector<double> ticks, keys, folder;
    for (int r = 0; r < rounds; ++r) {
      start = Now();
      bench::EnumerateKeys();
      keys.push_back(Now() - start);
      start = Now();
      bench::ListFolder();
      folder.push_back(Now() - start);
      start = Now();
      ticker.Tick();
      ticks.push_back(Now() - start);
    }
    bench::Figures f = {entries, Median(ticks), Median(keys), Median(folder)};
    rows.push_back(f);
    printf("%d entries: %d rounds\n", entries, rounds);
  }
  printf("\nWindows, real registry and disk (i686 build, as shipped):");
  bench::PrintRatios(rows);
  return 0;
}
