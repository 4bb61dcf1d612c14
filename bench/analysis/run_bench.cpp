// Whole analyses (import, both fits, statistics, report) of progress curves of 13, 200 and 1001
// points (bench/support/bench_curves.h), with both models fitted at once and one after the other.
// Time is wall time, the report's flush to disk included; the CPU column is the calling thread's
// processor time, which with two threads is what a run comes down to on otherwise idle cores;
// cpu_ms is the run's own figure, both threads' fits and statistics.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/brevantix_run.h"
#include "bench/support/bench_curves.h"

namespace {

namespace fs = std::filesystem;

void BM_WholeRun(benchmark::State& state, brx::ModelThreads threads) {
  const int points = static_cast<int>(state.range(0));
  const fs::path file =
      brx::bench::write_curve(fs::temp_directory_path() / "brx-analysis-bench", points);
  std::ostringstream notes;
  double cpu = 0;
  for (auto _ : state) {
    brx::globalsplot gp;
    const brx::RunSummary s =
        brx::brevantix_run(file.string(), gp, notes, brx::kDefaultMaxRows, threads);
    benchmark::DoNotOptimize(s.stats.pF);
    cpu += s.cpu_seconds;
    state.counters["case"] = s.stats.conclusion;
  }
  // Processor time of both threads per run, in ms: the work, however it was spread.
  state.counters["cpu_ms"] = benchmark::Counter(cpu * 1e3, benchmark::Counter::kAvgIterations);
  fs::remove(file);
  fs::remove(brx::report_path(file.string()));
}
// With repetitions, the least of them: the run least disturbed by the rest of a busy machine.
double least(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

// Both models at once is what the desktop program does; wall time is what its user waits.
BENCHMARK_CAPTURE(BM_WholeRun, two_threads, brx::ModelThreads::kTwo)
    ->Arg(13)
    ->Arg(200)
    ->Arg(1001)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", least);
BENCHMARK_CAPTURE(BM_WholeRun, one_thread, brx::ModelThreads::kOne)
    ->Arg(13)
    ->Arg(200)
    ->Arg(1001)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", least);

}  // namespace
