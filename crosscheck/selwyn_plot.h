#pragma once
// What a Selwyn plot of curves at several enzyme concentrations shows, as plain series: the
// product formed against [E]0·t. Substrate depletion runs in [E]0·t, so the curves of a stable
// enzyme fall on one line; a loss of enzyme runs in t alone and fans them out, the lowest
// concentration (the longest reaction for a given [E]0·t) lowest.

#include <string>
#include <vector>

#include "crosscheck/least_squares_fit.h"
#include "crosscheck/progress_curve.h"

namespace brx::crosscheck {

struct SelwynSeries {
  std::string name;  // the curve's name ("" for the line of a stable enzyme)
  double e0 = 0;     // its enzyme concentration as given
  std::vector<double> x, y;
};

struct SelwynPlot {
  // One series per curve: x = [E]0·t, y = product − the curve's fitted P0 (the product formed,
  // so that offsets of the readings do not part the curves).
  std::vector<SelwynSeries> points;
  // One series per curve: the global fit with loss of enzyme, the same coordinates, sampled
  // evenly over the curve's times.
  std::vector<SelwynSeries> curves;
  // The global fit without loss (kd = 0): one line for every curve, from 0 to the largest [E]0·t.
  SelwynSeries stable;
};

// Points drawn per fitted curve: enough for a smooth line at any plot size.
inline constexpr int kSelwynSamples = 201;

// The plot of `curves` (fitted with relative enzyme concentrations e0/e0_max; `names` and
// `e0` as given, one per curve) from the global fits with loss (`loss`) and without (`classical`)
// in fit coordinates of reference concentration c.
SelwynPlot selwyn_plot(const std::vector<ProgressCurve>& curves,
                       const std::vector<std::string>& names, const std::vector<double>& e0,
                       const FitPoint& loss, const FitPoint& classical, double c,
                       int samples = kSelwynSamples);

}  // namespace brx::crosscheck
