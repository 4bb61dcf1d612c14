#pragma once
// The plot in the upper part of the main window and the three "Graph Labels" commands. The plot
// itself, its series, colours, ranges and texts, is the analysis plot of plot/analysis_plot.h.
//
//   dataset_changed   redraw the plot from the last run and the check boxes
//   plot_shown        the plot as the window shows it now
//   title             "Plot Title": edit the title, redraw
//   ylabel            "Ordinate Y Label": edit the y axis label, redraw
//   xlabel            "Abscissa X Label": edit the x axis label, redraw

#include "app/main_window.h"

namespace brx {

// Redraws the plot square (0, 0)-(540, 540) of the main window: the prompt when no check box is
// checked, else the measured points and the checked curves (the cross-check's dashed) with
// legend, labels and title; then updates the two buttons. After a run that gave no curves
// (w.abort_line) it shows the points, no curves whatever the check boxes say, and that line under
// the title. Any thread may call it; redraws run one at a time.
void dataset_changed(MainWindow& w);

// The plot as the window shows it now: the last run's points and curves as the check boxes
// select them, and the title and labels as drawn. Call with the main window current, under
// window_mutex().
AnalysisPlot plot_shown(MainWindow& w);

// The "Graph Labels" commands: each dialog offers the text as drawn now; Ok takes the new text
// (cut to 50 characters) and redraws, Cancel changes nothing.
void title(MainWindow& w);
void ylabel(MainWindow& w);
void xlabel(MainWindow& w);

}  // namespace brx
