#pragma once
// The global (Selwyn) fit: curves of one reaction recorded at several enzyme concentrations,
// fitted together. Substrate depletion scales with [E]0·t while a loss of enzyme runs in t alone,
// so the shared fit separates kd from Km where one curve cannot.

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "crosscheck/deactivation_check.h"
#include "crosscheck/selwyn_plot.h"

namespace brx::crosscheck {

// One curve of a set, as recorded (times and products in the file's units; ties repaired).
struct SetCurve {
  std::string name;
  std::vector<double> t, y;
  double so = 0;  // [So] with its sign: a negative one asks for deactivation type 2
  double e0 = 0;  // enzyme concentration, any unit, > 0
};

// One curve of a global fit.
struct SelwynMember {
  static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

  std::size_t index = 0;  // its place in the set
  std::string name;
  double e0 = 0;
  int n = 0;               // points
  double p0 = kNaN;        // fitted product at t = 0 (global fit with loss)
  double vmax = kNaN;      // kcat·[E]0 of the global fit
  double vmax_own = kNaN;  // the curve's own Vmax in the fit that lets each curve have one
};

// Everything the global fit of one group found, in the file's units (kcat per unit of [E]0 as
// given). NaN marks a figure that does not exist, +∞ an open end of an interval.
struct SelwynFit {
  static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

  double so = kNaN;        // |[So]| shared by the group
  int curves = 0;          // curves fitted (members)
  int concentrations = 0;  // distinct [E]0 among them
  int n = 0;               // points over all members
  Verdict verdict = Verdict::kNone;
  bool doubtful = false;  // the rates do not scale with [E]0 (scaling_p < 0.01)
  // Shared Km, kcat and kd with loss of enzyme (k = 3 + curves), and Km, kcat without (kd = 0).
  double km = kNaN, kcat = kNaN, kd = kNaN;
  double classical_km = kNaN, classical_kcat = kNaN;
  double ssr1 = kNaN, ssr2 = kNaN;                     // sums of squared residuals
  double F = kNaN, p = kNaN;                           // extra-sum-of-squares F, F(1, n − k)
  double aicc1 = kNaN, aicc2 = kNaN, weight1 = kNaN;   // AICc and the Akaike weight of the loss
  double kd_low = kNaN, kd_high = kNaN;                // 95 % profile-likelihood interval of kd
  double half_life = kNaN;                             // ln 2/kd, and the interval
  double half_life_low = kNaN, half_life_high = kNaN;  //   [ln 2/kd_high, ln 2/kd_low]
  // Do the rates scale with [E]0? The fit with one Vmax per curve (and shared Km, kd) against
  // Vmax = kcat·[E]0: extra-sum-of-squares F from F(curves − 1, n − 2 − 2·curves).
  double ssr_own = kNaN, scaling_F = kNaN, scaling_p = kNaN;
  std::vector<SelwynMember> members;
  std::string reason;  // why there is no verdict (empty when there is one)
  std::string text;    // the verdict in one sentence, naming the curves and concentrations
  std::string note;    // curves left out, deactivation type 2; may be empty
  SelwynPlot plot;     // the Selwyn plot's series (empty without a fit)
};

// Below this p-value of the scaling test the global fit is doubtful.
inline constexpr double kScalingLevel = 0.01;
// The fewest points a curve needs to join a global fit (its own P0 takes one).
inline constexpr int kMinSelwynCurvePoints = 3;

// The curves of a set grouped by |[So]|, each group the indices of its curves in set order; the
// groups in the order their first curves appear.
std::vector<std::vector<std::size_t>> group_by_substrate(const std::vector<SetCurve>& set);

// The global fit of the curves `group` of `set` (which share |[So]|): the closed-form model with
// first-order loss of enzyme, shared Km, kcat and kd and one P0 per curve, against kd = 0 by the
// extra sum of squares at the 5 % level, kd bracketed by its profile, and the scaling test.
// Needs curves at two or more enzyme concentrations; never throws on bad data (the verdict is
// then kNone and `text` says why).
SelwynFit fit_selwyn(const std::vector<SetCurve>& set, const std::vector<std::size_t>& group);

// fit_selwyn for every group of group_by_substrate(set).
std::vector<SelwynFit> fit_selwyn_groups(const std::vector<SetCurve>& set);

}  // namespace brx::crosscheck
