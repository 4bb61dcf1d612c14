#include "plot/selwyn_picture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace brx {
namespace {

constexpr SeriesColour kPalette[] = {
    {0, 0, 255},   {220, 20, 60}, {34, 139, 34}, {255, 140, 0},
    {148, 0, 211}, {0, 139, 139}, {139, 69, 19}, {255, 0, 255},
};

void add_series(PlotHandle* h, int index, const SelwynSeries2D& s, const std::string& name,
                int type, SeriesColour c) {
  add_dataset(h, s.x, s.y);
  set_serieslabel(h, index, name);
  set_seriestype(h, index, type);
  set_seriescolor(h, index, c.r, c.g, c.b);
}

// The range [lo, hi] of the finite values of v, widened by what is already in them.
void widen(const std::vector<double>& v, double& lo, double& hi) {
  for (double a : v) {
    if (!std::isfinite(a)) continue;
    lo = std::min(lo, a);
    hi = std::max(hi, a);
  }
}

// From lo (0 unless a value lies below it) to 5 % above hi; a range of nothing becomes [0, 1].
void set_range(PlotHandle* h, bool x_axis, double lo, double hi) {
  constexpr double kHeadroom = 0.05;
  if (!(hi > lo)) hi = lo + 1;
  const double span = hi - lo;
  lo = lo < 0 ? lo - kHeadroom * span : 0;
  hi += kHeadroom * span;
  x_axis ? set_xscale(h, lo, hi) : set_yscale(h, lo, hi);
}

}  // namespace

SeriesColour selwyn_colour(int k) {
  constexpr int n = static_cast<int>(std::size(kPalette));
  return kPalette[((k % n) + n) % n];
}

PlotHandle* build_selwyn_plot(const SelwynPicture& s) {
  PlotHandle* h = initialize_plot();
  if (h == nullptr) return nullptr;
  set_xlinear(h);
  set_ylinear(h);
  double x_lo = 0, x_hi = 0, y_lo = 0, y_hi = 0;
  const auto widen_both = [&](const SelwynSeries2D& a) {
    widen(a.x, x_lo, x_hi);
    widen(a.y, y_lo, y_hi);
  };
  int index = 0;
  for (std::size_t k = 0; k < s.points.size(); ++k) {
    const std::string& name = k < s.names.size() ? s.names[k] : std::string();
    add_series(h, index++, s.points[k], name, kSeriesBigDots, selwyn_colour(static_cast<int>(k)));
    widen_both(s.points[k]);
  }
  if (!s.stable.x.empty()) {
    add_series(h, index++, s.stable, s.stable_name, kSeriesLine, kSelwynStableColour);
    widen_both(s.stable);
  }
  for (std::size_t k = 0; k < s.curves.size(); ++k) {
    add_series(h, index++, s.curves[k], "", kSeriesLine, selwyn_colour(static_cast<int>(k)));
    widen_both(s.curves[k]);
  }
  set_range(h, true, x_lo, x_hi);
  set_range(h, false, y_lo, y_hi);
  set_xlabel(h, kSelwynXLabel);
  set_ylabel(h, kSelwynYLabel);
  return h;
}

}  // namespace brx
