// How the cross-check fares on curves whose answer is known: Michaelis–Menten with first-order
// loss of enzyme, Km = 20, [So] = 100, Vmax = 2 per min, 20 or 50 evenly spaced points over
// 60 min, Gaussian noise of 0.5 % of [So], many seeds. For each kd·tmax it prints the share of
// curves flagged at p < 0.05, the share whose 95 % interval holds the true kd, the median
// |kd/kd_true − 1| and the curves left without a verdict, then checks the figures the cross-check
// is meant to reach:
//
//   kd·tmax = 1: at least 90 % flagged          kd = 0: at most 5 % flagged
//   interval coverage over all curves >= 90 %   kd·tmax >= 2: median |kd/kd_true − 1| <= 0.12
//
// Usage: crosscheck_coverage_study [SEEDS]   (default 200 seeds per case); exit status 1 when a
// figure is missed.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "crosscheck/deactivation_check.h"
#include "tests/crosscheck/synthetic_curves.h"

namespace {

struct Tally {
  int curves = 0, flagged = 0, covered = 0, no_verdict = 0;
  std::vector<double> errors;  // |kd/kd_true − 1|
  double median_error() {
    if (errors.empty()) return std::nan("");
    std::sort(errors.begin(), errors.end());
    return errors[errors.size() / 2];
  }
};

double share(int part, int whole) {
  return whole > 0 ? 100.0 * part / whole : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int seeds = argc > 1 ? std::atoi(argv[1]) : 200;
  const double vmax = argc > 2 ? std::atof(argv[2]) : brx::test::LossCurve{}.vmax;
  if (seeds < 1 || !(vmax > 0)) {
    std::fprintf(stderr, "usage: crosscheck_coverage_study [SEEDS [VMAX]]\n");
    return 2;
  }
  const double kd_tmaxes[] = {0, 0.5, 1, 2, 4};
  bool ok = true;
  Tally all;
  std::printf("points  kd*tmax  flagged%%  covered%%  median|kd/kd_true-1|  no verdict\n");
  for (const int points : {20, 50}) {
    Tally high;  // kd·tmax >= 2
    for (const double kd_tmax : kd_tmaxes) {
      Tally t;
      brx::test::LossCurve shape;
      shape.points = points;
      shape.vmax = vmax;
      shape.kd = kd_tmax / shape.tmax;
      shape.noise = 0.005 * shape.s0;
      for (int seed = 1; seed <= seeds; ++seed) {
        const auto c = brx::test::loss_curve(shape, static_cast<std::uint64_t>(seed));
        const auto r = brx::crosscheck::check_deactivation(c.t, c.y, c.s0);
        ++t.curves;
        if (r.verdict == brx::crosscheck::Verdict::kNone) {
          ++t.no_verdict;
          continue;
        }
        t.flagged += r.verdict == brx::crosscheck::Verdict::kDeactivation;
        t.covered += r.kd_low <= shape.kd && shape.kd <= r.kd_high;
        if (shape.kd > 0) t.errors.push_back(std::fabs(r.loss.kd / shape.kd - 1));
      }
      std::printf("%6d  %7.1f  %8.1f  %8.1f  %20.3f  %10d\n", points, kd_tmax,
                  share(t.flagged, t.curves), share(t.covered, t.curves), t.median_error(),
                  t.no_verdict);
      all.curves += t.curves;
      all.covered += t.covered;
      if (kd_tmax >= 2) high.errors.insert(high.errors.end(), t.errors.begin(), t.errors.end());
      if (kd_tmax == 1 && share(t.flagged, t.curves) < 90) ok = false;
      if (kd_tmax == 0 && share(t.flagged, t.curves) > 5) ok = false;
    }
    const double median = high.median_error();
    std::printf("%6d  kd*tmax >= 2: median |kd/kd_true - 1| = %.3f\n", points, median);
    if (!(median <= 0.12)) ok = false;
  }
  const double coverage = share(all.covered, all.curves);
  std::printf("interval coverage over all %d curves: %.1f %%\n", all.curves, coverage);
  if (coverage < 90) ok = false;
  std::printf("%s\n", ok ? "every figure reached" : "a figure was missed");
  return ok ? 0 : 1;
}
