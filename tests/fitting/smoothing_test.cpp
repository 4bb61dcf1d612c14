#include "fitting/smoothing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brx {
namespace {

// Smooths a copy of values (given from index 1) and returns it from index 1 again.
std::vector<double> Smoothed(std::vector<double> values, int window, int passes, int endfix = 1) {
  values.insert(values.begin(), -99.0);  // index 0 must survive untouched
  bestsmooth(values.data(), static_cast<int>(values.size()) - 1, window, passes, endfix);
  EXPECT_EQ(values[0], -99.0);
  values.erase(values.begin());
  return values;
}

TEST(Bestsmooth, SpikeWithWindowThree) {
  // The ends keep their zeros, raised to the band; point 4 is the mean of its two neighbours.
  EXPECT_EQ(Smoothed({0, 0, 3, 0, 0}, 3, 1), (std::vector<double>{1e-16, 1, 1, 1.5, 1e-16}));
}

TEST(Bestsmooth, BandReplacesTinyAndHugeValuesByPositiveOnes) {
  // b(4) = (4 - 3e16)/2 = -1.5e16 and b(5) = -3e16 both become +1e16.
  EXPECT_EQ(Smoothed({-1e-17, 2, 4, 6, -3e16}, 3, 1),
            (std::vector<double>{1e-16, 2, 4, 1e16, 1e16}));
}

TEST(Bestsmooth, ConstantCurveIsUnchanged) {
  for (int window = 2; window <= 5; ++window) {
    for (int passes = 1; passes <= 4; ++passes) {
      EXPECT_EQ(Smoothed(std::vector<double>(9, 0.375), window, passes),
                std::vector<double>(9, 0.375))
          << "window " << window << ", passes " << passes;
    }
  }
}

TEST(Bestsmooth, WindowThreeReproducesStraightLines) {
  std::vector<double> line;
  for (int i = 1; i <= 12; ++i) line.push_back(-5.0 + 3.0 * i);
  for (int passes = 1; passes <= 4; ++passes) EXPECT_EQ(Smoothed(line, 3, passes), line);
}

TEST(Bestsmooth, InteriorIsTheCentredMean) {
  const std::vector<double> a = {0.3, 1.7, 0.2, 2.9, 1.1, 0.8, 3.3, 0.4, 2.2};
  const std::vector<double> b = Smoothed(a, 3, 1);
  for (std::size_t i = 1; i + 2 < a.size(); ++i) {
    EXPECT_NEAR(b[i], (a[i - 1] + a[i] + a[i + 1]) / 3, 1e-15) << "point " << i + 1;
  }
  // Window 5: the first two points from the left are a(1) and the mean of a(1..3), the third is
  // the first full window; mirrored at the right, except point n - 1.
  const std::vector<double> c = Smoothed(a, 5, 1);
  EXPECT_EQ(c[0], a[0]);
  EXPECT_NEAR(c[1], (a[0] + a[1] + a[2]) / 3, 1e-15);
  EXPECT_NEAR(c[2], (a[0] + a[1] + a[2] + a[3] + a[4]) / 5, 1e-15);
  EXPECT_NEAR(c[4], (a[2] + a[3] + a[4] + a[5] + a[6]) / 5, 1e-15);
  EXPECT_NEAR(c[6], (a[4] + a[5] + a[6] + a[7] + a[8]) / 5, 1e-15);
  EXPECT_EQ(c[7], (a[6] + a[8]) / 2);
  EXPECT_EQ(c[8], a[8]);
}

TEST(Bestsmooth, WithoutEndTreatmentTheUnreachedEndsAreZeroRaisedToTheBand) {
  const std::vector<double> b = Smoothed({3, 6, 9, 12, 15}, 3, 1, 0);
  EXPECT_EQ(b, (std::vector<double>{1e-16, 6, 9, 12, 1e-16}));
}

TEST(Bestsmooth, PassesAreClampedIntoOneToFour) {
  const std::vector<double> a = {0.3, 1.7, 0.2, 2.9, 1.1, 0.8, 3.3, 0.4, 2.2};
  EXPECT_EQ(Smoothed(a, 3, 0), Smoothed(a, 3, 1));
  EXPECT_EQ(Smoothed(a, 3, 9), Smoothed(a, 3, 4));
  EXPECT_NE(Smoothed(a, 3, 4), Smoothed(a, 3, 3));
}

TEST(Bestsmooth, LeavesCurveAloneWhenNoWindowApplies) {
  const std::vector<double> a = {0.0, -1e-20, 5.0, 1e20};
  EXPECT_EQ(Smoothed(a, 1, 4), a);  // window 1: not even the band
  EXPECT_EQ(Smoothed(a, 0, 4), a);
  EXPECT_EQ(Smoothed(a, 5, 1), a);  // more window than points
  EXPECT_EQ(Smoothed({1.0, 2.0}, 2, 1), (std::vector<double>{1.0, 2.0}));  // fewer than 3
}

}  // namespace
}  // namespace brx
