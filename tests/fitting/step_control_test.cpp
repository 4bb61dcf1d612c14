#include "fitting/step_control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace brx {
namespace {

using Verdict = StepControl::Verdict;

// Error ratios chosen so that (tol/E)^(1/4) is exact: E = tol/16 doubles h (times 0.9·φ),
// E = 16·tol halves it.
constexpr double kTol = 1e-3;
constexpr double kGood = kTol / 16, kBad = 16 * kTol;

// A rejection right after an accepted step undoes that step too and makes the controller more
// cautious; a rejection after a rejection only retries. The step size follows every verdict,
// with the safety factor as it stood before the verdict.
TEST(StepControl, RejectionAfterAnAcceptedStepUndoesIt) {
  const struct {
    double error;
    Verdict verdict;
    double h_factor;  // new h / old h
    double safety;    // after the verdict
  } script[] = {
      {kBad, Verdict::kRetry, 0.45, 1.0},  // nothing accepted yet
      {kBad, Verdict::kRetry, 0.45, 1.0},
      {kGood, Verdict::kAccept, 1.8, 1.0},  // growth capped at 1.8, safety at 1
      {kBad, Verdict::kUndo, 0.45, 0.9},
      {kBad, Verdict::kRetry, 0.45 * 0.9, 0.9},  // the undone point is retried, not undone again
      {kGood, Verdict::kAccept, 1.8 * 0.9, 0.9 * 1.05},
      {kTol, Verdict::kAccept, 0.9 * 0.945, 0.945 * 1.05},  // E = tol is accepted
      {kBad, Verdict::kUndo, 0.45 * 0.99225, 0.99225 * 0.9},
  };
  StepControl control(kTol);
  double h = 0.1;
  for (const auto& row : script) {
    const double before = h;
    EXPECT_EQ(control.judge(row.error, h), row.verdict) << "E " << row.error;
    EXPECT_DOUBLE_EQ(h / before, row.h_factor) << "E " << row.error;
    EXPECT_DOUBLE_EQ(control.safety(), row.safety) << "E " << row.error;
  }
}

TEST(StepControl, ErrorRatioIsRelativeToTheStateAndFloored) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    std::vector<double> e, y, y0;
    double ratio;
  } table[] = {
      {{0, 1e-3}, {0, 1.0}, {0, 1.0}, 1e-3},                     // 2|e|/(|y| + |y0|)
      {{0, -1e-3}, {0, -0.5}, {0, 0.5}, 2e-3},                   // magnitudes only
      {{0, 1e-6}, {0, 1.0}, {0, 1.0}, kTol / 16},                // the floor
      {{0, 1e-15}, {0, 0.0}, {0, 0.0}, 2e-15 / (1e-10 * kTol)},  // a state at 0 stays finite
      {{0, nan, 2e-3}, {0, 1.0, 1.0}, {0, 1.0, 1.0}, 2e-3},      // NaN never raises E
      {{0, nan}, {0, 1.0}, {0, 1.0}, kTol / 16},
  };
  const StepControl control(kTol);
  for (const auto& row : table) {
    const int col = static_cast<int>(row.e.size()) - 1;
    // The guard 1e-10·tol in the denominator moves a ratio by 1e-13 relatively at most here.
    EXPECT_NEAR(control.error_ratio(row.e, row.y, row.y0, col), row.ratio, 1e-12 * row.ratio)
        << row.e[1];
  }
}

}  // namespace
}  // namespace brx
