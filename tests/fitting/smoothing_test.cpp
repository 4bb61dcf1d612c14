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

TEST(Bestsmooth, WorkedCurves) {
  // The ends keep their zeros, raised to the band; point 4 is the mean of its two neighbours.
  EXPECT_EQ(Smoothed({0, 0, 3, 0, 0}, 3, 1), (std::vector<double>{1e-16, 1, 1, 1.5, 1e-16}));
  // Tiny and huge values become positive band limits: b(4) = (4 − 3e16)/2 → +1e16.
  EXPECT_EQ(Smoothed({-1e-17, 2, 4, 6, -3e16}, 3, 1),
            (std::vector<double>{1e-16, 2, 4, 1e16, 1e16}));
  // Window 5: points 2 and 3 are means of points 1..3 and 1..5, mirrored at the right end
  // except for point n − 1, the mean of its two neighbours.
  EXPECT_EQ(Smoothed({1, 4, 7, 1, 2, 5, 11}, 5, 1),
            (std::vector<double>{1, 4, 3, 3.8, 5.2, 6.5, 11}));
}

TEST(Bestsmooth, ConstantsAndLinesSurviveEveryPass) {
  std::vector<double> line;
  for (int i = 1; i <= 12; ++i) line.push_back(-5.0 + 3.0 * i);
  for (int passes = 1; passes <= 4; ++passes) {
    EXPECT_EQ(Smoothed(line, 3, passes), line);
    for (int window = 2; window <= 5; ++window) {
      EXPECT_EQ(Smoothed(std::vector<double>(9, 0.375), window, passes),
                std::vector<double>(9, 0.375));
    }
  }
}

TEST(Bestsmooth, PassesAreClampedAndDegenerateWindowsLeaveTheCurve) {
  const std::vector<double> a = {0.3, 1.7, 0.2, 2.9, 1.1, 0.8, 3.3, 0.4, 2.2};
  EXPECT_EQ(Smoothed(a, 3, 0), Smoothed(a, 3, 1));
  EXPECT_EQ(Smoothed(a, 3, 9), Smoothed(a, 3, 4));
  EXPECT_NE(Smoothed(a, 3, 4), Smoothed(a, 3, 3));
  const std::vector<double> b = {0.0, -1e-20, 5.0, 1e20};
  EXPECT_EQ(Smoothed(b, 1, 4), b);  // window 1: not even the band
  EXPECT_EQ(Smoothed(b, 5, 1), b);  // more window than points: nothing to read safely
}

}  // namespace
}  // namespace brx
