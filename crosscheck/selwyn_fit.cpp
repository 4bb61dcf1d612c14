#include "crosscheck/selwyn_fit.h"

#include <algorithm>
#include <cmath>

#include "crosscheck/least_squares_fit.h"
#include "crosscheck/loss_fits.h"
#include "crosscheck/nested_test.h"
#include "crosscheck/verdict_text.h"

namespace brx::crosscheck {
namespace {

std::string count_of(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string joined(const std::vector<std::string>& words) {
  std::string s;
  for (const std::string& w : words) s += (s.empty() ? "" : ", ") + w;
  return s;
}

// The figures the cross-check's sentence reads, so that both say the same thing the same way.
CrossCheck as_cross_check(const SelwynFit& f) {
  CrossCheck c;
  c.n = f.n;
  c.verdict = f.verdict;
  c.p = f.p;
  c.loss.kd = f.kd;
  c.kd_low = f.kd_low;
  c.kd_high = f.kd_high;
  c.half_life = f.half_life;
  c.half_life_low = f.half_life_low;
  c.half_life_high = f.half_life_high;
  c.reason = f.reason;
  return c;
}

SelwynFit with_text(SelwynFit f) {
  f.text = count_of(f.curves, "curve", "curves") + " at " +
           count_of(f.concentrations, "enzyme concentration", "enzyme concentrations") + ": " +
           verdict_sentence(as_cross_check(f));
  if (f.doubtful) {
    f.text +=
        "; the global fit is doubtful: rates do not scale with enzyme concentration — check "
        "dilutions, or an inhibitor or activator in the enzyme stock (" +
        p_text(f.scaling_p) + ")";
  }
  return f;
}

SelwynFit without_verdict(SelwynFit f, const std::string& reason) {
  f.verdict = Verdict::kNone;
  f.reason = reason;
  return with_text(std::move(f));
}

// Why a curve cannot take part in any fit, or an empty text.
std::string unusable(const SetCurve& c, double so) {
  if (c.t.size() != c.y.size()) return "the times and products of " + c.name + " differ in number";
  for (std::size_t i = 0; i < c.t.size(); ++i) {
    if (!std::isfinite(c.t[i]) || !std::isfinite(c.y[i])) {
      return "a time or product of " + c.name + " is not a number";
    }
  }
  if (!(std::isfinite(c.e0) && c.e0 > 0)) {
    return "the enzyme concentration of " + c.name + " must be a positive number";
  }
  if (std::fabs(c.so) != so) return "the [So] of " + c.name + " differs from the group's";
  return {};
}

}  // namespace

std::vector<std::vector<std::size_t>> group_by_substrate(const std::vector<SetCurve>& set) {
  std::vector<std::vector<std::size_t>> groups;
  std::vector<double> keys;
  for (std::size_t i = 0; i < set.size(); ++i) {
    const double key = std::fabs(set[i].so);
    const auto at = std::find(keys.begin(), keys.end(), key);
    if (at == keys.end()) {
      keys.push_back(key);
      groups.push_back({i});
    } else {
      groups[static_cast<std::size_t>(at - keys.begin())].push_back(i);
    }
  }
  return groups;
}

SelwynFit fit_selwyn(const std::vector<SetCurve>& set, const std::vector<std::size_t>& group) {
  SelwynFit f;
  if (group.empty()) return without_verdict(f, "no curves");
  f.so = std::fabs(set[group.front()].so);
  if (!(std::isfinite(f.so) && f.so > 0)) {
    return without_verdict(f, "[So] must be a number other than 0");
  }

  // One curve that cannot be fitted leaves the whole group without a verdict.
  for (const std::size_t i : group) {
    if (const std::string why = unusable(set[i], f.so); !why.empty()) {
      std::vector<double> e0s;
      for (const std::size_t j : group) {
        if (std::find(e0s.begin(), e0s.end(), set[j].e0) == e0s.end()) e0s.push_back(set[j].e0);
      }
      f.curves = static_cast<int>(group.size());
      f.concentrations = static_cast<int>(e0s.size());
      return without_verdict(f, why);
    }
  }

  // The members: every curve with points enough for its own P0 and more.
  std::vector<std::string> left_out, type2;
  std::vector<double> e0s;
  for (const std::size_t i : group) {
    const SetCurve& c = set[i];
    const int n = static_cast<int>(c.t.size());
    if (n < kMinSelwynCurvePoints) {
      left_out.push_back(c.name + " (" + count_of(n, "point", "points") + ")");
      continue;
    }
    if (c.so < 0) type2.push_back(c.name);
    SelwynMember m;
    m.index = i;
    m.name = c.name;
    m.e0 = c.e0;
    m.n = n;
    f.members.push_back(m);
    f.n += n;
    if (std::find(e0s.begin(), e0s.end(), c.e0) == e0s.end()) e0s.push_back(c.e0);
  }
  f.curves = static_cast<int>(f.members.size());
  f.concentrations = static_cast<int>(e0s.size());
  if (!left_out.empty()) {
    f.note = "Left out, fewer than " + std::to_string(kMinSelwynCurvePoints) +
             " points: " + joined(left_out) + ".";
  }
  if (!type2.empty()) {
    f.note += (f.note.empty() ? "" : " ") + joined(type2) + (type2.size() == 1 ? " asks" : " ask") +
              " for deactivation type 2; the global fit uses first-order loss of enzyme for "
              "every curve.";
  }
  if (f.concentrations < 2) {
    return without_verdict(f, "a global fit needs curves at two or more enzyme concentrations");
  }
  const int k_loss = 3 + f.curves;
  if (f.n < k_loss + 2) {
    return without_verdict(f, "only " + std::to_string(f.n) + " points in all, at least " +
                                  std::to_string(k_loss + 2) + " needed");
  }

  // Fitted with concentrations relative to the largest, so that the rate coordinate stays of
  // the order of the substrate turned over per time span whatever unit [E]0 is given in.
  const double e0_max = *std::max_element(e0s.begin(), e0s.end());
  std::vector<ProgressCurve> curves;
  std::vector<std::string> names;
  std::vector<double> e0_given;
  for (const SelwynMember& m : f.members) {
    const SetCurve& c = set[m.index];
    curves.push_back({c.t, c.y, f.so, c.e0 / e0_max});
    names.push_back(c.name);
    e0_given.push_back(c.e0);
  }
  const LossFits fits = fit_loss_and_classical(curves);
  if (!fits.ok) return without_verdict(f, "the least-squares fit failed");

  const SharedParams loss = shared_params(fits.loss.point, fits.c);
  const SharedParams classical = shared_params(fits.classical.point, fits.c);
  f.km = loss.km;
  f.kcat = loss.kcat / e0_max;
  f.kd = loss.kd;
  f.classical_km = classical.km;
  f.classical_kcat = classical.kcat / e0_max;
  take_test_and_interval(fits, f.kd, f);
  for (std::size_t k = 0; k < f.members.size(); ++k) {
    f.members[k].p0 = loss.p0[k];
    f.members[k].vmax = loss.kcat * curves[k].e0;
  }

  // The scaling test: each curve its own rate, started from the shared fit, which it contains.
  FitPoint own_start = fits.loss.point;
  own_start.rates.assign(curves.size(), own_start.rate);
  const FitOutcome own = fit_from_start(curves, own_start, false);
  if (own.ok) {
    const double floor = rounding_floor(f.n, fits.c);
    const NestedComparison scaling = compare_nested(
        std::max(own.ssr, floor), std::max(fits.loss.ssr, floor), f.n, 2 + 2 * f.curves, k_loss);
    f.ssr_own = own.ssr;
    f.scaling_F = scaling.F;
    f.scaling_p = scaling.p;
    f.doubtful = f.scaling_p < kScalingLevel;
    for (std::size_t k = 0; k < f.members.size(); ++k) {
      f.members[k].vmax_own = kcat_of(own.point.sat, own.point.rates[k]) * curves[k].e0;
    }
  }

  f.plot = selwyn_plot(curves, names, e0_given, fits.loss.point, fits.classical.point, fits.c);
  if (std::isnan(f.p)) return without_verdict(f, "the figures of the F test do not exist");
  f.verdict = f.p < kLossTestLevel ? Verdict::kDeactivation : Verdict::kNoEvidence;
  return with_text(std::move(f));
}

std::vector<SelwynFit> fit_selwyn_groups(const std::vector<SetCurve>& set) {
  std::vector<SelwynFit> fits;
  for (const std::vector<std::size_t>& group : group_by_substrate(set)) {
    fits.push_back(fit_selwyn(set, group));
  }
  return fits;
}

}  // namespace brx::crosscheck
