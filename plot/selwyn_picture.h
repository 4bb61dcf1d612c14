#pragma once
// The Selwyn plot of a group of curves at one [So] and several enzyme concentrations, in plain
// values: the product formed against [E]0·t, one colour per curve, the global fit's curves as
// lines of the same colour and the fit without loss of enzyme as one grey line. Laid out by the
// plot engine (build_selwyn_plot) and drawn with its title by draw_selwyn_picture
// (selwyn_plot_drawing.h, library brx_plot_toolkit).
//
//   SelwynPicture       the series and the texts
//   selwyn_colour       the colour of the k-th curve
//   build_selwyn_plot   the plot engine set up for it
//
//   +---------------------------------------------+  (0, 0)
//   |     title: the group's [So] and verdict     |  y = kTitleY
//   |   legend: one row per curve, then the       |
//   |   line without loss                         |
//   |   points, fitted curves, stable line        |  the plot (0, 0)-(width, height)
//   +---------------------------------------------+

#include <string>
#include <vector>

#include "plot/analysis_plot.h"
#include "plot/plot_api.h"

namespace brx {

// The picture's size in pixels.
inline constexpr int kSelwynWidth = 640;
inline constexpr int kSelwynHeight = 540;

inline constexpr const char* kSelwynXLabel = "[E]0\xB7t";  // '\xB7' is the single-byte middle dot
inline constexpr const char* kSelwynYLabel = "product formed";
inline constexpr SeriesColour kSelwynStableColour{128, 128, 128};

struct SelwynSeries2D {
  std::vector<double> x, y;
};

struct SelwynPicture {
  std::string title;  // drawn above the plot, e.g. "[So] = 100: deactivation detected (p = ...)"
  // Per curve, in the same order: its legend name (the curve and its [E]0), its points and the
  // global fit's curve.
  std::vector<std::string> names;
  std::vector<SelwynSeries2D> points, curves;
  // The fit without loss of enzyme, one line for every curve; empty when there is none.
  SelwynSeries2D stable;
  std::string stable_name = "fit without loss of enzyme";
};

// The colour of curve k: eight colours apart from each other and from the grey of the stable
// line, repeated after eight.
SeriesColour selwyn_colour(int k);

// Series 0..n-1 the points of the n curves (big dots, named), series n the stable line (grey,
// named) when there is one, then the fitted curves (lines, unnamed, so that each curve has one
// legend row). Both axes start at 0 (lower when a value lies below it) and end 5 % above the
// largest value. The caller destroys it; null when memory runs out.
PlotHandle* build_selwyn_plot(const SelwynPicture& s);

}  // namespace brx
