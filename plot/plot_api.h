#pragma once
// The flat plot API: build a plot through a handle, draw it once, destroy it.
//
//   initialize_plot   new plot: margins 0/20/60/60, both grids, y axis at the x minimum
//   set_xlinear       x axis linear (set_ylinear: y axis)
//   set_xscale        fix the x range, no autoscaling (set_yscale: y range)
//   add_dataset       append a series of (x, y) points: line, colour by index, "plot <i>"
//   set_serieslabel   legend name of a series
//   set_seriestype    0 lines, 1 big dots, 4 dashed lines; other numbers leave it as it is
//   set_seriescolor   colour of a series
//   set_xlabel        x axis label (set_ylabel: y axis label)
//   embed_plot        draw into a window rectangle (plot/embed_plot.h, library brx_plot_toolkit)
//   destroy_plot      free the plot and null the caller's handle
//
// The handle is a `PlotHandle*` owned by the caller from initialize_plot to destroy_plot. Every
// operation does nothing when given a null handle, and the series operations do nothing for an
// index that names no series. Texts lose their trailing blanks (they come from blank-padded
// fields); numbers are kept as single-precision floats.

#include <memory>
#include <span>
#include <string_view>

#include "plot/plot_engine.h"

namespace brx {

struct PlotHandle {
  int window = -1;  // toolkit window the plot is drawn into; -1 when not drawing
  std::unique_ptr<PlotEngine> plot;
};

// Series types of set_seriestype.
inline constexpr int kSeriesLine = 0;
inline constexpr int kSeriesBigDots = 1;
inline constexpr int kSeriesDashedLine = 4;

// A new plot; null when memory runs out.
PlotHandle* initialize_plot();
void set_xlinear(PlotHandle* h);
void set_ylinear(PlotHandle* h);
void set_xscale(PlotHandle* h, double min, double max);
void set_yscale(PlotHandle* h, double min, double max);
// Appends the series (x[k], y[k]) for k below the shorter length; the plot keeps its own copy.
void add_dataset(PlotHandle* h, std::span<const double> x, std::span<const double> y);
void set_serieslabel(PlotHandle* h, int index, std::string_view text);
void set_seriestype(PlotHandle* h, int index, int type);
// Components outside 0..255 are clamped into it.
void set_seriescolor(PlotHandle* h, int index, int r, int g, int b);
void set_xlabel(PlotHandle* h, std::string_view text);
void set_ylabel(PlotHandle* h, std::string_view text);
// Frees the plot and everything in it; `h` becomes null.
void destroy_plot(PlotHandle*& h);

// `text` without its trailing blanks.
std::string_view TrimTrailingBlanks(std::string_view text);

}  // namespace brx
