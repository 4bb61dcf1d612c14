#include "fitting/smoothing.h"

#include <gtest/gtest.h>

#include <vector>

namespace brx {
namespace {

// Smooths a copy of values (given from index 1) and returns it from index 1 again.
std::vector<double> Smoothed(std::vector<double> values, int window, int passes) {
  values.insert(values.begin(), -99.0);  // index 0 must survive untouched
  bestsmooth(values.data(), static_cast<int>(values.size()) - 1, window, passes, 1);
  EXPECT_EQ(values[0], -99.0);
  values.erase(values.begin());
  return values;
}

// The regression smooths its cheap curve with a window of 3 in 4 passes.
TEST(Bestsmooth, WorkedCurvesLinesAndShortCurves) {
  // The ends keep their zeros, raised to the band; point 4 is the mean of its two neighbours.
  EXPECT_EQ(Smoothed({0, 0, 3, 0, 0}, 3, 1), (std::vector<double>{1e-16, 1, 1, 1.5, 1e-16}));
  // Tiny and huge values become positive band limits: b(4) = (4 − 3e16)/2 → +1e16.
  EXPECT_EQ(Smoothed({-1e-17, 2, 4, 6, -3e16}, 3, 1),
            (std::vector<double>{1e-16, 2, 4, 1e16, 1e16}));
  std::vector<double> line;
  for (int i = 1; i <= 12; ++i) line.push_back(-5.0 + 3.0 * i);
  EXPECT_EQ(Smoothed(line, 3, 4), line);
  const std::vector<double> a = {0.3, 1.7, 0.2, 2.9, 1.1, 0.8, 3.3, 0.4, 2.2};
  EXPECT_NE(Smoothed(a, 3, 4), Smoothed(a, 3, 3));
  // More window than points: nothing to read safely, the curve is left as it is.
  const std::vector<double> b = {0.0, -1e-20, 5.0, 1e20};
  EXPECT_EQ(Smoothed(b, 5, 1), b);
}

}  // namespace
}  // namespace brx
