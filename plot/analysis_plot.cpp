#include "plot/analysis_plot.h"

#include <span>

namespace brx {
namespace {

void add_series(PlotHandle* h, int index, std::span<const double> x, std::span<const double> y,
                const std::string& label, int type, SeriesColour c) {
  add_dataset(h, x, y);
  set_serieslabel(h, index, label);
  set_seriestype(h, index, type);
  set_seriescolor(h, index, c.r, c.g, c.b);
}

}  // namespace

PlotHandle* build_analysis_plot(const AnalysisPlot& a) {
  PlotHandle* h = initialize_plot();
  if (h == nullptr) return nullptr;
  set_xlinear(h);
  set_ylinear(h);
  set_xscale(h, 0.0, kXMax);
  set_yscale(h, 0.0, kYMax);
  // An aborted run shows no curves: nothing was fitted, or too few points to trust the fit.
  const bool aborted = !a.abort_line.empty();
  add_series(h, 0, a.times, a.measured, a.data_label, kSeriesBigDots, kDataColour);
  int index = 1;
  if (a.show_model1 && !aborted) {
    add_series(h, index++, a.times, a.model1, a.model1_label, kSeriesLine, kModel1Colour);
  }
  if (a.show_model2 && !aborted) {
    add_series(h, index++, a.times, a.model2, a.model2_label, kSeriesLine, kModel2Colour);
  }
  if (a.show_crosscheck && !aborted && !a.crosscheck_times.empty()) {
    add_series(h, index, a.crosscheck_times, a.crosscheck_curve, a.crosscheck_label,
               kSeriesDashedLine, kCrossCheckColour);
  }
  set_xlabel(h, a.x_label);
  set_ylabel(h, a.y_label);
  return h;
}

std::string aborted_run_line(const std::string& reason) {
  if (reason.empty()) return {};
  // '\x97' is the dash in the windows' single-byte code page.
  return "Curve-fit aborted: " + reason + " \x97 see Display Results";
}

}  // namespace brx
