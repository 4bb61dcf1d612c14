#pragma once
// The analysis plot: what the main window shows after a run, and what the batch command saves
// with --plot. It is described in plain values (AnalysisPlot), laid out by the plot engine
// (build_analysis_plot) and drawn through the toolkit painter by draw_analysis_plot
// (analysis_plot_drawing.h, library brx_plot_toolkit).
//
//   AnalysisPlot          the plot's points, curves, texts and which curves show
//   shows_prompt          nothing to plot yet: the prompt instead
//   build_analysis_plot   the plot engine set up for it: ranges, series, colours, labels
//   aborted_run_line      the line under the title after a run that gave no curves
//
//   +---------------------------------------------+  (0, 0)
//   |            title (centred, y = 25)          |
//   |   abort line, when the run gave no curves   |  y = 48
//   |   legend                                    |
//   |   points, Model 1 curve, Model 2 curve,     |  the plot square (0, 0)-(540, 540)
//   |   the cross-check's curve (dashed)          |
//   |   x in [0, 1.1], y in [0, 1.2]              |
//   +---------------------------------------------+  (540, 540); the window is 550 x 650

#include <string>
#include <vector>

#include "plot/plot_api.h"

namespace brx {

// The main window's drawing area (whose picture Save Screen saves) and the plot square in it.
inline constexpr int kWindowWidth = 550;
inline constexpr int kWindowHeight = 650;
inline constexpr int kPlotSize = 540;

// The texts of the plot before the user changes them.
inline constexpr const char* kInitialTitle = "Normalized Progress Curves";
inline constexpr const char* kInitialXLabel = "Normalized Time";
inline constexpr const char* kInitialYLabel = "Normalized Product";

// Colours, (R, G, B).
struct SeriesColour {
  int r, g, b;
};
inline constexpr SeriesColour kDataColour{34, 139, 34};
inline constexpr SeriesColour kModel1Colour{0, 0, 255};
inline constexpr SeriesColour kModel2Colour{148, 0, 211};
inline constexpr SeriesColour kCrossCheckColour{255, 140, 0};  // the cross-check's dashed curve
inline constexpr SeriesColour kPromptColour{128, 0, 0};        // the prompt and the abort line
inline constexpr SeriesColour kTitleColour{0, 0, 128};

// The fixed ranges: the data are normalised to 1.
inline constexpr double kXMax = 1.1;
inline constexpr double kYMax = 1.2;

inline constexpr const char* kPlotPrompt = "Select the model data to plot...";
inline constexpr int kPromptX = 190;
inline constexpr int kPromptY = 300;
inline constexpr int kTitleY = 25;
// The line about an aborted run is centred under the title, where no point or legend can be.
inline constexpr int kAbortLineY = 48;

struct AnalysisPlot {
  // The normalised points and both fitted curves at the same times.
  std::vector<double> times, measured, model1, model2;
  // Legend texts, as shown.
  std::string data_label, model1_label, model2_label;
  bool show_model1 = false;  // the check boxes
  bool show_model2 = false;
  std::string title;    // as drawn above the plot
  std::string x_label;  // as drawn
  std::string y_label;
  // After a run that gave no curves: the line saying why (aborted_run_line). The points are
  // shown and the curves are not, whatever show_model1 and show_model2 say.
  std::string abort_line;
  // The cross-check's curve with loss of enzyme, normalised as the points are and sampled densely
  // over their times; drawn dashed, and only when asked for.
  std::vector<double> crosscheck_times, crosscheck_curve;
  std::string crosscheck_label;
  bool show_crosscheck = false;
};

// No curve asked for and no run to explain: the plot shows only the prompt.
inline bool shows_prompt(const AnalysisPlot& a) {
  return !a.show_model1 && !a.show_model2 && !a.show_crosscheck && a.abort_line.empty();
}

// A plot with the fixed ranges, the points (big green dots, series 0), the curves asked for
// (lines; Model 2 takes series 1 when Model 1 is hidden; the cross-check's dashed, after them) and
// the axis labels. The caller
// destroys it (destroy_plot); null when memory runs out.
PlotHandle* build_analysis_plot(const AnalysisPlot& a);

// The line for a run that gave no curves, for the reason given in a few words ("too few data
// points"), in the windows' single-byte text; empty for an empty reason.
std::string aborted_run_line(const std::string& reason);

}  // namespace brx
