// Fuzzes the whole analysis on well-formed data files of any finite numbers, to reach the fits
// and statistics with values no hand-made file holds (denormals, 1e300, -0, ties, huge spans).
// The input's bytes are read as doubles (8 bytes each, non-finite ones skipped): the first is
// [So], then (time, product) pairs. When the first byte is odd, the times are made to increase:
// each is the one before plus the magnitude of its double. The file is written with every digit
// (%.17g) and analysed as by the batch command, with the checks of check_whole_analysis.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"

namespace {

std::string number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool rising = (data[0] & 1) != 0;
  std::vector<double> values;
  for (std::size_t at = 1; at + sizeof(double) <= size; at += sizeof(double)) {
    double v = 0;
    std::memcpy(&v, data + at, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
  }
  if (values.empty()) return 0;
  std::string file = number(values[0]) + "\n";
  double t = 0;
  for (std::size_t k = 1; k + 1 < values.size(); k += 2) {
    const double time = rising ? t + std::fabs(values[k]) : values[k];
    if (!std::isfinite(time)) break;
    t = time;
    file += number(time) + ", " + number(values[k + 1]) + "\n";
  }
  constexpr int kMaxRows = 200;
  brx::fuzz::check_whole_analysis(brx::fuzz::write_input("in.dat", file), kMaxRows);
  return 0;
}
