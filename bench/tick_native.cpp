// One tick against its floor on the stand-in platform (abstract registry,
// disk in memory), with Google Benchmark. Ends with
// the table of ratios tick / floor.
#include <benchmark/benchmark.h>
#include <stdio.h>

#include <map>
#include <string>
#include <vector>

#include "bench/workload.h"
#include "tests/standin/standin.h"

namespace {

int g_populated = -1;  // the size the places hold now

void PopulateOnce(int entries) {
  if (g_populated == entries) return;
  bench::Populate(entries);
  g_populated = entries;
}

void FloorKeys(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  PopulateOnce(entries);
  for (auto _ : state) benchmark::DoNotOptimize(bench::EnumerateKeys());
}

void FloorFolder(benchmark::State& state) {
  PopulateOnce(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(bench::ListFolder());
}

void Tick(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  PopulateOnce(entries);
  bench::Ticker ticker;
  std::string why;
  if (!ticker.Open(&why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  size_t rows = 0;
  for (auto _ : state) rows = ticker.Tick();
  // Every entry must be listed, or the figure means nothing.
  if (rows != static_cast<size_t>(entries)) state.SkipWithError("the tick missed entries");
}

// Keeps every timing for the table, and prints as usual.
class Collector : public benchmark::ConsoleReporter {
 public:
  Collector() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        micros[run.run_name.str()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> micros;
};

std::string Name(const char* what, int entries) {
  return std::string(what) + "/" + std::to_string(entries);
}

}  // namespace

int main(int argc, char** argv) {
  for (int entries : bench::kSizes) {
    benchmark::RegisterBenchmark("floor_keys", FloorKeys)->Arg(entries);
    benchmark::RegisterBenchmark("floor_folder", FloorFolder)->Arg(entries);
    benchmark::RegisterBenchmark("tick", Tick)->Arg(entries);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Collector collector;
  benchmark::SetDefaultTimeUnit(benchmark::kMicrosecond);
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();

  std::vector<bench::Figures> rows;
  for (int entries : bench::kSizes) {
    bench::Figures f = {entries, collector.micros[Name("tick", entries)],
                        collector.micros[Name("floor_keys", entries)],
                        collector.micros[Name("floor_folder", entries)]};
    rows.push_back(f);
  }
  printf("\nNative, stand-in platform (abstract registry, disk in memory):");
  bench::PrintRatios(rows);
  return 0;
}
