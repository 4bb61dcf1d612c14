#pragma once
// The plot in the upper part of the main window and the three "Graph Labels" commands.
//
//   dataset_changed   redraw the plot from the last run and the two check boxes
//   aborted_run_line  the plot's line for a run that gave no curves
//   title             "Plot Title": edit the title, redraw
//   ylabel            "Ordinate Y Label": edit the y axis label, redraw
//   xlabel            "Abscissa X Label": edit the x axis label, redraw

#include <string>

#include "analysis/brevantix_run.h"
#include "app/main_window.h"

namespace brx {

// Colours of the three series, (R, G, B).
struct SeriesColour {
  int r, g, b;
};
inline constexpr SeriesColour kDataColour{34, 139, 34};
inline constexpr SeriesColour kModel1Colour{0, 0, 255};
inline constexpr SeriesColour kModel2Colour{148, 0, 211};

inline constexpr const char* kPlotPrompt = "Select the model data to plot...";
inline constexpr int kTitleY = 25;
// The line about an aborted run is centred under the title, where no point or legend can be.
inline constexpr int kAbortLineY = 48;

// Redraws the plot square (0, 0)-(540, 540) of the main window: the prompt when no check box is
// checked, else the measured points and the checked curves with legend, labels and title; then
// updates the two buttons. After a run that gave no curves (w.abort_line) it shows the points,
// no curves whatever the check boxes say, and that line under the title. Any
// thread may call it; redraws run one at a time.
void dataset_changed(MainWindow& w);

// The line the plot shows after run `s` when the run gave no curves (too few points, nothing to
// normalise by, a failed fit), in the windows' single-byte text; empty when it gave curves.
std::string aborted_run_line(const RunSummary& s);

// The "Graph Labels" commands: each dialog offers the text as drawn now; Ok takes the new text
// (cut to 50 characters) and redraws, Cancel changes nothing.
void title(MainWindow& w);
void ylabel(MainWindow& w);
void xlabel(MainWindow& w);

}  // namespace brx
