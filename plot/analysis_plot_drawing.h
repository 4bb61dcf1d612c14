#pragma once
// The analysis plot drawn with the toolkit (library brx_plot_toolkit), into whatever the toolkit
// draws into on the calling thread: the current window, or the thread's own picture
// (toolkit::beginpicture).
//
//   draw_analysis_plot     the plot square: the prompt, or the plot with its title
//   draw_analysis_picture  the whole drawing area of the main window after a run

#include "plot/analysis_plot.h"

namespace brx {

// Draws the square (0, 0)-(540, 540): cleared to white, then the prompt when shows_prompt(a),
// else the plot, the title above it and the abort line under the title. Leaves black on white,
// the interface font and left, vertically centred text; the viewport is reset to the whole
// drawing area after a plot and stays on the square after the prompt.
void draw_analysis_plot(const AnalysisPlot& a);

// A fresh white drawing area of the main window's size with the plot in it, as the main window
// shows it after a run: the picture its "Save Screen" saves. Call it on a new picture or window.
void draw_analysis_picture(const AnalysisPlot& a);

}  // namespace brx
