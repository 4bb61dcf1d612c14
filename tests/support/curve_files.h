#pragma once
// Data files of varied progress curves for whole-run tests: curves of either model (with or
// without deactivation), [So] written negative for deactivation type 2, 5 to 1001 points spaced
// evenly or crowded at the start, the first time 0 or not, and measurement noise from none to
// 3 % of [So]. Everything follows from the seed, so a failing file can be made again.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/progress_curve.h"

namespace brx::test {

struct CurveFile {
  std::string name;  // "curve-<index>-<points>.dat"
  std::string text;  // the whole data file
};

// Uniform numbers from a 64-bit seed (splitmix64): the same sequence on every machine.
class SeededUniform {
 public:
  explicit SeededUniform(std::uint64_t seed) : state_(seed) {}
  double operator()() {  // in [0, 1)
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1p-53;
  }
  double between(double lo, double hi) { return lo + (hi - lo) * (*this)(); }
  double log_between(double lo, double hi) { return lo * std::pow(hi / lo, (*this)()); }

 private:
  std::uint64_t state_;
};

// Curve `index` of the series started by `seed`, with `points` rows.
inline CurveFile curve_file(std::uint64_t seed, int index, int points) {
  SeededUniform u(seed * 1000003u + static_cast<std::uint64_t>(index));
  const bool deactivating = index % 2 == 0;
  const bool type2 = index % 4 >= 2;
  const double so = u.log_between(0.2, 50);
  const double span = u.log_between(1, 500);  // time of the last row
  Kinetics k{so * u.log_between(0.05, 5), 0, 0, 0, so};
  k.vmax = so * u.log_between(0.5, 8) / span;
  k.kd = deactivating ? u.log_between(0.3, 5) / span : 0.0;
  const double noise = std::vector<double>{0, 1e-3, 1e-2, 3e-2}[index / 4 % 4] * so;
  const bool crowded = u() < 0.3;
  const double t1 = u() < 0.5 ? 0.0 : span * u.between(0.001, 0.05);

  char line[96];
  std::snprintf(line, sizeof line, "%.6g\n", type2 ? -so : so);
  std::string text = line;
  for (int i = 0; i < points; ++i) {
    const double f = static_cast<double>(i) / (points - 1);
    const double t = t1 + (span - t1) * (crowded ? f * f : f);
    // Two uniforms make a rough bell for the noise.
    const double p = exact_product(k, 0.0, t) + noise * (u() + u() - 1);
    std::snprintf(line, sizeof line, "%.8g, %.6g\n", t, p);
    text += line;
  }
  return {"curve-" + std::to_string(index) + "-" + std::to_string(points) + ".dat", text};
}

// `count` curves of the series `seed`, of 5 to 1001 points (evenly in the logarithm of the size,
// so that short curves, where the statistics change most, are many).
inline std::vector<CurveFile> varied_curve_files(std::uint64_t seed, int count) {
  SeededUniform size(seed);
  std::vector<CurveFile> files;
  for (int i = 0; i < count; ++i)
    files.push_back(curve_file(seed, i, static_cast<int>(std::lround(size.log_between(5, 1001)))));
  return files;
}

}  // namespace brx::test
