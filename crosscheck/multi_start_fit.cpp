#include "crosscheck/multi_start_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace brx::crosscheck {
namespace {

constexpr double kKmFactors[] = {0.1, 0.5, 2.0};
// The initial rate is the slope of the earliest quarter of the points (at least three).
constexpr std::size_t kMinEarlyPoints = 3;

struct Line {
  double slope = 0;
  double intercept = 0;  // at t = 0
};

// Least-squares line through the earliest points of the curve.
Line early_line(const ProgressCurve& c) {
  std::vector<std::size_t> order(c.t.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(),
            [&c](std::size_t a, std::size_t b) { return c.t[a] < c.t[b]; });
  const std::size_t k = std::min(order.size(), std::max(kMinEarlyPoints, order.size() / 4));
  if (k == 0) return {};
  double mt = 0, my = 0;
  for (std::size_t j = 0; j < k; ++j) {
    mt += c.t[order[j]];
    my += c.y[order[j]];
  }
  mt /= static_cast<double>(k);
  my /= static_cast<double>(k);
  double stt = 0, sty = 0;
  for (std::size_t j = 0; j < k; ++j) {
    const double dt = c.t[order[j]] - mt;
    stt += dt * dt;
    sty += dt * (c.y[order[j]] - my);
  }
  const double slope = stt > 0 ? sty / stt : 0;
  return {slope, my - slope * mt};
}

}  // namespace

FitOutcome best_of_starts(const std::vector<ProgressCurve>& curves,
                          const std::vector<FitPoint>& starts, bool hold_kd) {
  FitOutcome best;
  for (const FitPoint& start : starts) {
    FitOutcome f = fit_from_start(curves, start, hold_kd, Precision::kScreening);
    if (f.ok && (!best.ok || f.ssr < best.ssr)) best = std::move(f);
  }
  if (!best.ok) return best;
  FitOutcome polished = fit_from_start(curves, best.point, hold_kd);
  return polished.ok && polished.ssr <= best.ssr ? polished : best;
}

std::vector<FitPoint> curve_starts(const ProgressCurve& curve, const std::vector<double>& kds,
                                   double c) {
  const Line line = early_line(curve);
  double tmax = 0, ymin = 0, ymax = 0;
  for (std::size_t i = 0; i < curve.t.size(); ++i) {
    tmax = std::max(tmax, std::fabs(curve.t[i]));
    ymin = i == 0 ? curve.y[i] : std::min(ymin, curve.y[i]);
    ymax = i == 0 ? curve.y[i] : std::max(ymax, curve.y[i]);
  }
  // A curve whose early points do not rise (noise on a slow start) starts from its mean rate.
  double rate = line.slope;
  if (!(rate > 0) && tmax > 0) rate = (ymax - ymin) / tmax;
  if (!(rate > 0)) rate = curve.s0 / (tmax > 0 ? tmax : 1);

  std::vector<FitPoint> starts;
  for (const double factor : kKmFactors) {
    const double km = factor * curve.s0;
    // At t = 0 the rate is Vmax·S0/(Km + S0).
    const double kcat = rate * (km + curve.s0) / curve.s0 / curve.e0;
    for (const double kd : kds) starts.push_back(fit_point({km, kcat, kd, {line.intercept}}, c));
  }
  return starts;
}

std::vector<FitPoint> set_starts(const std::vector<ProgressCurve>& curves,
                                 const std::vector<double>& kds, double c) {
  if (curves.size() == 1) return curve_starts(curves.front(), kds, c);
  std::vector<std::vector<FitPoint>> each;
  for (const ProgressCurve& curve : curves) each.push_back(curve_starts(curve, kds, c));
  std::vector<FitPoint> starts;
  for (std::size_t j = 0; !each.empty() && j < each.front().size(); ++j) {
    // Every curve's start j has the same Km and kd; only the rate and P0 differ. A curve that
    // did not run as the others (a slow start, a wrong dilution) moves the median least.
    FitPoint q = each.front()[j];
    std::vector<double> rates;
    q.p0.clear();
    for (const std::vector<FitPoint>& s : each) {
      rates.push_back(s[j].rate);
      q.p0.push_back(s[j].p0.front());
    }
    std::sort(rates.begin(), rates.end());
    const std::size_t h = rates.size() / 2;
    q.rate = rates.size() % 2 == 1 ? rates[h] : (rates[h - 1] + rates[h]) / 2;
    starts.push_back(std::move(q));
  }
  return starts;
}

}  // namespace brx::crosscheck
