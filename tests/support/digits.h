#pragma once
// Comparisons of computed values with worked values that were printed to a number of digits.

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>

namespace brx::test {

// True when `actual` rounds to `expected` at `significant` significant digits; the tolerance is
// half a unit of the last printed digit, which is what a printed worked value promises.
inline ::testing::AssertionResult AgreesToDigits(double actual, double expected, int significant) {
  if (expected == 0.0) {
    const double tolerance = 0.5 * std::pow(10.0, -significant);
    if (std::fabs(actual) < tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not 0 to " << significant << " digits";
  }
  const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(expected))) - significant + 1);
  if (std::fabs(actual - expected) <= 0.5 * unit * (1 + 1e-9)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << std::setprecision(17) << actual << " differs from " << expected << " at " << significant
         << " significant digits";
}

// True when `actual` agrees with `expected` to `places` decimal places (half a unit of the last).
inline ::testing::AssertionResult AgreesToPlaces(double actual, double expected, int places) {
  const double unit = std::pow(10.0, -places);
  if (std::fabs(actual - expected) <= 0.5 * unit * (1 + 1e-9)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::setprecision(17) << actual << " differs from "
                                       << expected << " at " << places << " decimal places";
}

}  // namespace brx::test
