#pragma once
// The progress curves the whole-run benchmarks analyse: the 13-point example data file, and
// longer curves of the same shape over the same time span.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace brx::bench {

inline const char* const kExample =
    "4.5\n0.0,    0.000\n0.20,   0.496\n0.40,   0.976\n0.60,   1.386\n0.80,   1.831\n"
    "1.0,    2.053\n1.4,    2.566\n2.0,    3.077\n2.4,    3.281\n3.0,    3.502\n4.0,    3.600\n"
    "5.0,    3.630\n6.0,    3.643\n\n";

// A saturating progress curve like the example: [P] = 3.65·(1 − exp(−0.85·t)) on 0..6, with a
// small fixed ripple standing in for measurement noise.
inline std::string curve(int points) {
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

// Writes the curve of `points` rows (13: the example) as curve<points>.dat in `folder`.
inline std::filesystem::path write_curve(const std::filesystem::path& folder, int points) {
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / ("curve" + std::to_string(points) + ".dat");
  std::ofstream(file) << (points == 13 ? std::string(kExample) : curve(points));
  return file;
}

}  // namespace brx::bench
