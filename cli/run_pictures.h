#pragma once
// The pictures of a run that --plot saves beside its report, described for the picture module:
// the plot the desktop program's main window shows after that run, with both curves checked.
//
//   plot_of_run      the analysis plot of a finished run
//   picture_path     the picture's name beside the report (run7.out -> run7.bmp)
//   picture_request  the plot and its files, run7.bmp and run7.png

#include <string>

#include "analysis/brevantix_run.h"
#include "analysis/globalsplot.h"
#include "cli/picture_module.h"
#include "plot/analysis_plot.h"

namespace brx {

// The main window's plot after run `s`, its legend labels from `gp` and the plot's first title
// and labels: the points with both curves, or for a run that gave no curves its points and the
// line saying why.
AnalysisPlot plot_of_run(const RunSummary& s, const globalsplot& gp);

// The report's name with its last three characters ("out") replaced by `extension`.
std::string picture_path(const std::string& report_path, const std::string& extension);

// `plot` written beside the report of `s`: the BMP the desktop program's Save Screen writes, and
// a PNG of the same pixels.
PictureRequest picture_request(const RunSummary& s, const AnalysisPlot& plot);

}  // namespace brx
