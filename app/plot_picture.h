#pragma once
// The plot picture without a display: what the main window shows after a run with both curves
// checked, saved as the desktop program's "Save Screen" saves it (a BMP of the window's drawing)
// and as a PNG. The batch command uses it for --plot.
//
//   run_with_plot_pictures  run a program with the toolkit started headless
//   save_plot_picture       draw a run's plot in a hidden main window and save it
//   write_plot_pictures     both pictures of a run beside its report (the batch's --plot)
//   picture_path            the picture's name beside the report (run7.out -> run7.bmp)
//   png_from_bmp            a 24-bit BMP file's picture as PNG file bytes

#include <functional>
#include <string>

#include "analysis/brevantix_run.h"
#include "analysis/globalsplot.h"

namespace brx {

// Runs `program` as the toolkit's program thread with an off-screen display, so pictures can be
// drawn on machines without one; returns its status.
int run_with_plot_pictures(int argc, char** argv, const std::function<int()>& program);

// Draws the plot of the run published in `s` and `gp` (tables, legend labels) as the main
// window would after that run and writes it to `bmp_path` and, unless empty, `png_path`. A run
// that gave no curves is drawn with its `abort_line` (aborted_run_line) instead of them.
// Needs a running toolkit; any thread may call it (pictures are drawn one at a time). Returns an
// empty text, or what went wrong.
std::string save_plot_picture(const RunSummary& s, const globalsplot& gp,
                              const std::string& bmp_path, const std::string& png_path,
                              const std::string& abort_line = {});

// Saves the pictures of run `s` beside its report: run7.out -> run7.bmp and run7.png. Returns
// an empty text, or what went wrong.
std::string write_plot_pictures(const RunSummary& s, const globalsplot& gp);

// The report's name with its last three characters ("out") replaced by `extension`.
std::string picture_path(const std::string& report_path, const std::string& extension);

// The PNG file of the picture in a 24-bit uncompressed BMP file; empty when `bmp` is not one.
std::string png_from_bmp(const std::string& bmp);

}  // namespace brx
