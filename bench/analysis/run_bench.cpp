// Whole analyses (import, both fits, statistics, report) of progress curves of 13, 200 and 1001
// points. The 13-point curve is the example data file; the longer ones sample a smooth curve of
// the same shape over the same time span.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "analysis/brevantix_run.h"

namespace {

namespace fs = std::filesystem;

const char* const kExample =
    "4.5\n0.0,    0.000\n0.20,   0.496\n0.40,   0.976\n0.60,   1.386\n0.80,   1.831\n"
    "1.0,    2.053\n1.4,    2.566\n2.0,    3.077\n2.4,    3.281\n3.0,    3.502\n4.0,    3.600\n"
    "5.0,    3.630\n6.0,    3.643\n\n";

// A saturating progress curve like the example: [P] = 3.65·(1 − exp(−0.85·t)) on 0..6, with a
// small fixed ripple standing in for measurement noise.
std::string curve(int points) {
  std::ostringstream out;
  out << "4.5\n";
  out.precision(10);
  for (int i = 0; i < points; ++i) {
    const double t = 6.0 * i / (points - 1);
    const double p = 3.65 * (1 - std::exp(-0.85 * t)) + 0.004 * std::sin(7.0 * i);
    out << t << ", " << p << "\n";
  }
  return out.str();
}

fs::path data_file(int points) {
  const fs::path dir = fs::temp_directory_path() / "brx-analysis-bench";
  fs::create_directories(dir);
  const fs::path file = dir / ("curve" + std::to_string(points) + ".dat");
  std::ofstream(file) << (points == 13 ? std::string(kExample) : curve(points));
  return file;
}

void BM_WholeRun(benchmark::State& state) {
  const int points = static_cast<int>(state.range(0));
  const fs::path file = data_file(points);
  std::ostringstream notes;
  for (auto _ : state) {
    brx::globalsplot gp;
    const brx::RunSummary s = brx::brevantix_run(file.string(), gp, notes);
    benchmark::DoNotOptimize(s.stats.pF);
    state.counters["case"] = s.stats.conclusion;
  }
  fs::remove(file);
  fs::remove(brx::report_path(file.string()));
}
BENCHMARK(BM_WholeRun)->Arg(13)->Arg(200)->Arg(1001)->Unit(benchmark::kMillisecond);

}  // namespace
