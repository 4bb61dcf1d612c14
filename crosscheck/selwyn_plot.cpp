#include "crosscheck/selwyn_plot.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

#include "crosscheck/enzyme_loss_model.h"

namespace brx::crosscheck {
namespace {

// The product formed at `samples` evenly spaced times from `from` to `to` (times scaled by
// `x_per_t` on the x axis), under the model of one curve.
SelwynSeries sampled(const EnzymeLossCurve& model, double p0, double from, double to,
                     double x_per_t, int samples) {
  SelwynSeries s;
  for (int i = 0; i < samples; ++i) {
    const double t = samples > 1 ? from + (to - from) * i / (samples - 1) : to;
    s.x.push_back(x_per_t * t);
    s.y.push_back(model.at(t).p - p0);
  }
  return s;
}

}  // namespace

SelwynPlot selwyn_plot(const std::vector<ProgressCurve>& curves,
                       const std::vector<std::string>& names, const std::vector<double>& e0,
                       const FitPoint& loss, const FitPoint& classical, double c, int samples) {
  assert(names.size() == curves.size() && e0.size() == curves.size());
  assert(loss.p0.size() == curves.size());
  SelwynPlot plot;
  double x_max = 0, e0_max = 0;
  for (std::size_t k = 0; k < curves.size(); ++k) {
    const ProgressCurve& curve = curves[k];
    const double p0 = loss.p0[k];
    SelwynSeries points{names[k], e0[k], {}, {}};
    double t_min = 0, t_max = 0;
    for (std::size_t i = 0; i < curve.t.size(); ++i) {
      points.x.push_back(e0[k] * curve.t[i]);
      points.y.push_back(curve.y[i] - p0);
      t_min = std::min(t_min, curve.t[i]);
      t_max = std::max(t_max, curve.t[i]);
    }
    plot.points.push_back(std::move(points));
    const EnzymeLossCurve model(curve.s0, c, curve.e0, {loss.sat, loss.rate, p0, loss.kd});
    SelwynSeries line = sampled(model, p0, t_min, t_max, e0[k], samples);
    line.name = names[k];
    line.e0 = e0[k];
    plot.curves.push_back(std::move(line));
    x_max = std::max(x_max, e0[k] * t_max);
    e0_max = std::max(e0_max, e0[k]);
  }
  // Without loss τ = t, and the substrate used depends on (relative e0)·t = x/e0_max alone: the
  // model of a curve at relative concentration 1/e0_max, read at t = x.
  if (e0_max > 0 && !curves.empty()) {
    const EnzymeLossCurve stable(curves.front().s0, c, 1 / e0_max,
                                 {classical.sat, classical.rate, 0, 0});
    plot.stable = sampled(stable, 0, 0, x_max, 1, samples);
  }
  return plot;
}

}  // namespace brx::crosscheck
