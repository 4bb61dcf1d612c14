#pragma once
// The cross-check of one progress curve: did the enzyme lose activity during the reaction?

#include <limits>
#include <string>
#include <vector>

#include "crosscheck/enzyme_loss_model.h"

namespace brx::crosscheck {

enum class Verdict {
  kNone,          // no verdict: too few points, unusable values, or a failed fit (see text)
  kDeactivation,  // the loss of enzyme improves the fit at p < 0.05
  kNoEvidence,
};

// Everything the cross-check found, in the data file's own units. NaN marks a figure that does
// not exist (no fit, or an AICc with too few points); +∞ an open end of an interval.
struct CrossCheck {
  static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

  int n = 0;                  // points
  int deactivation_type = 1;  // from the sign of [So]; the model is first-order loss either way
  Verdict verdict = Verdict::kNone;
  EnzymeLossParams loss{kNaN, kNaN, kNaN, kNaN};       // Model with loss of enzyme (4 parameters)
  EnzymeLossParams classical{kNaN, kNaN, kNaN, kNaN};  // kd = 0 (3 parameters)
  double ssr1 = kNaN, ssr2 = kNaN;                     // their sums of squared residuals
  double F = kNaN, p = kNaN;                           // extra-sum-of-squares F test, F(1, n − 4)
  double aicc1 = kNaN, aicc2 = kNaN, weight1 = kNaN;   // AICc and the Akaike weight of the loss
  double kd_low = kNaN, kd_high = kNaN;                // 95 % profile-likelihood interval of kd
  double half_life = kNaN;                             // ln 2/kd, and the interval
  double half_life_low = kNaN, half_life_high = kNaN;  //   [ln 2/kd_high, ln 2/kd_low]
  std::string reason;  // why there is no verdict (empty when there is one)
  std::string text;    // the verdict in one sentence, or "no verdict: " and the reason
  std::string note;    // what one curve cannot tell, the deactivation type; may be empty
};

// The fewest points the cross-check judges: the loss model has four parameters, and the F test
// needs n − 4 >= 2 for its limit to be finite.
inline constexpr int kMinCrossCheckPoints = 6;

// Fits the closed-form models with and without first-order loss of enzyme to the points (t[i],
// y[i]) as recorded (times and products in any units; ties and zeros allowed; any order) with
// the substrate fixed at |so| (the sign of so is the deactivation type the file asks for), tests
// the loss by the extra sum of squares at the 5 % level and brackets kd by its profile. Never
// throws on bad data: the verdict is then kNone and `text` says why.
CrossCheck check_deactivation(const std::vector<double>& t, const std::vector<double>& y,
                              double so);

}  // namespace brx::crosscheck
