#pragma once
// The plot in the upper part of the main window and the three "Graph Labels" commands.
//
//   dataset_changed   redraw the plot from the last run and the two check boxes
//   title             "Plot Title": edit the title, redraw
//   ylabel            "Ordinate Y Label": edit the y axis label, redraw
//   xlabel            "Abscissa X Label": edit the x axis label, redraw

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

// Redraws the plot square (0, 0)-(540, 540) of the main window: the prompt when no check box is
// checked, else the measured points and the checked curves with legend, labels and title; then
// updates the two buttons. Any thread may call it; redraws run one at a time.
void dataset_changed(MainWindow& w);

void title(MainWindow& w);
void ylabel(MainWindow& w);
void xlabel(MainWindow& w);

}  // namespace brx
