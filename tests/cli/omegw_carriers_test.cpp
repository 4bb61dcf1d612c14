// The double-double omegw against the binary128 one it stands in for: the same double on ten
// million arguments (recorded from whole runs, spread over the range, and dense where fits
// spend their calls), and the same reports and --json lines from whole runs with either.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "cli/batch.h"
#include "estimates/lambert_w.h"
#include "tests/cli/omegw_switch.h"
#include "tests/support/curve_files.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::Carrier;
using test::TempDir;

// Sanitizers make every call some ten times slower: a fiftieth of the arguments, short curves.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kScale = 50;
#else
constexpr int kScale = 1;
#endif

struct Outputs {
  std::string line;    // the --json line, processor time masked
  std::string report;  // date and elapsed-time lines masked
};

Outputs analyse(const fs::path& file, Carrier carrier) {
  test::omegw_switch().carrier = carrier;
  const FileOutcome o = analyse_file(file.string(), true);
  test::omegw_switch().carrier = Carrier::kDoubleDouble;
  const std::string report = TempDir::read(report_path(file.string()));
  return {std::regex_replace(o.line, std::regex("\"cpu_seconds\":[^,}]*"), "\"cpu_seconds\":"),
          std::regex_replace(report, std::regex(" (The date is|Elapsed time=).*"), "")};
}

std::vector<fs::path> data_files(const TempDir& dir) {
  std::vector<fs::path> files;
  for (const char* folder : {BRX_EXAMPLES_DIR, BRX_REGRESSION_CASES_DIR}) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() == ".dat")
        files.push_back(dir.write(entry.path().filename().string(), TempDir::read(entry.path())));
    }
  }
  // Both models, both deactivation types, every noise level (the curve's index chooses them);
  // below 5 points the report says so, but the fits still run.
  int index = 0;
  for (const int points : {3, 4, 5, 6, 7, 8, 10, 13, 17, 25, 40, 70, 120, 200, 400}) {
    if (kScale > 1 && points > 25) break;
    const test::CurveFile c = test::curve_file(12, index++, points);
    files.push_back(dir.write(c.name, c.text));
  }
  return files;
}

TEST(OmegwCarriers, WholeRunsWriteTheSameReportsAndJsonLines) {
  TempDir dir;
  const std::vector<fs::path> files = data_files(dir);
  for (const fs::path& file : files) {
    const Outputs fast = analyse(file, Carrier::kDoubleDouble);
    const Outputs reference = analyse(file, Carrier::kBinary128);
    EXPECT_NE(fast.line.find("\"body\":"), std::string::npos) << file << ": " << fast.line;
    EXPECT_FALSE(fast.report.empty()) << file;
    EXPECT_EQ(fast.line, reference.line) << file;
    EXPECT_EQ(fast.report, reference.report) << file;
  }
}

// Arguments the analysis really passes: every call of whole runs over long curves, duplicates
// dropped, until there are `count`. The models are fitted one after the other, as the recorder
// keeps one list.
std::vector<double> recorded_arguments(std::size_t count) {
  TempDir dir;
  std::vector<double> args;
  test::omegw_switch().arguments = &args;
  for (int index = 0; args.size() < count; ++index) {
    const test::CurveFile c = test::curve_file(34, index, kScale > 1 ? 200 : 1001);
    analyse_file(dir.write(c.name, c.text).string(), false, {}, kDefaultMaxRows,
                 ModelThreads::kOne);
    std::sort(args.begin(), args.end());
    args.erase(std::unique(args.begin(), args.end()), args.end());
  }
  test::omegw_switch().arguments = nullptr;
  return args;
}

// The same bits from the reference and from double-double, both the version the program runs
// and the one without fused multiply-add. Spread over the processor's cores: the reference
// takes some 4 µs a call.
TEST(OmegwCarriers, DoubleDoubleReturnsTheReferenceBitsOnTenMillionArguments) {
  std::vector<double> args = recorded_arguments(6'000'000 / kScale);
  const std::size_t recorded = args.size();
  // A third of these lie above 7.2e29, where the reference takes ten steps (some 12 µs a call).
  test::SeededUniform u(56);
  for (int i = 0; i < 1'000'000 / kScale; ++i) args.push_back(u.log_between(0x1p-70, 1e60));
  const int sweep = 3'000'000 / kScale;  // where the simplex spends most of its calls
  for (int i = 0; i < sweep; ++i) args.push_back(1e-4 + (30 - 1e-4) * i / (sweep - 1));
  EXPECT_GE(args.size() * kScale, 10'000'000u);

  std::mutex m;
  std::vector<double> wrong;
  const unsigned threads = std::max(2u, std::thread::hardware_concurrency());
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t) {
    pool.emplace_back([&, t] {
      for (std::size_t i = t; i < args.size(); i += threads) {
        const auto bits = [](double w) { return std::bit_cast<std::uint64_t>(w); };
        const std::uint64_t reference = bits(omegw_binary128(args[i]));
        if (bits(omegw_double_double(args[i])) != reference ||
            bits(omegw_double_double_split(args[i])) != reference) {
          const std::lock_guard<std::mutex> lock(m);
          wrong.push_back(args[i]);
        }
      }
    });
  }
  for (std::thread& t : pool) t.join();
  EXPECT_TRUE(wrong.empty()) << wrong.size() << " of " << args.size() << " arguments (" << recorded
                             << " recorded) differ, the first " << std::hexfloat << wrong.front();
}

}  // namespace
}  // namespace brx
