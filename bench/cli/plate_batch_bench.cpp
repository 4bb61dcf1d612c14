// The whole batch on a 96-well plate: 96 curves of 50 points, 24 groups of one [So] at four
// enzyme concentrations (0.25, 0.5, 1, 2), kd from 0 to 0.023 per minute across the groups.
// Every curve gets the full analysis with its report and the cross-check, every group the
// global fit, as `brevantix-kd-batch --json plate.csv` does them (in process: wall time of
// run_batch, the table written once before).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "tests/crosscheck/synthetic_curves.h"

namespace {

namespace fs = std::filesystem;

constexpr int kGroups = 24, kPerGroup = 4, kPoints = 50;
constexpr double kE0[kPerGroup] = {0.25, 0.5, 1, 2};

std::string number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  return buf;
}

// The plate's table: groups at [So] 40, 45, ..., 155, kd = 0.001·g per minute.
std::string plate() {
  std::vector<brx::crosscheck::ProgressCurve> wells;
  std::string head = "Time", so = "So", e0 = "E0";
  for (int g = 0; g < kGroups; ++g) {
    for (int k = 0; k < kPerGroup; ++k) {
      const brx::test::LossCurve shape{.km = 20,
                                       .vmax = 2.4 * kE0[k],
                                       .s0 = 40.0 + 5 * g,
                                       .p0 = 0,
                                       .kd = 0.001 * g,
                                       .tmax = 60,
                                       .points = kPoints,
                                       .noise = 0.005 * (40.0 + 5 * g)};
      wells.push_back(brx::test::loss_curve(shape, static_cast<std::uint64_t>(g * kPerGroup + k)));
      head +=
          "," + std::string(1, static_cast<char>('A' + g / 3)) + std::to_string(g % 3 * 4 + k + 1);
      so += "," + number(shape.s0);
      e0 += "," + number(kE0[k]);
    }
  }
  std::string s = head + "\n" + so + "\n" + e0 + "\n";
  for (int i = 0; i < kPoints; ++i) {
    s += number(wells[0].t[static_cast<std::size_t>(i)]);
    for (const auto& w : wells) s += "," + number(w.y[static_cast<std::size_t>(i)]);
    s += "\n";
  }
  return s;
}

void PlateBatch(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / "brx-plate-bench";
  fs::create_directories(dir);
  const std::string file = (dir / "plate.csv").string();
  std::ofstream(file) << plate();
  brx::BatchOptions options;
  options.json = true;
  options.files = {file};
  for (auto _ : state) {
    std::ostringstream out, err;
    if (brx::run_batch(options, out, err) != brx::kExitAllAnalysed) {
      state.SkipWithError(err.str().c_str());
      break;
    }
    benchmark::DoNotOptimize(out.str());
  }
  fs::remove_all(dir);
}
BENCHMARK(PlateBatch)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(3);

}  // namespace

BENCHMARK_MAIN();
