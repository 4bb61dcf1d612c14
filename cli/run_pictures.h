#pragma once
// The pictures of a run that --plot saves beside its report, described for the picture module:
// the plot the desktop program's main window shows after that run, with both curves checked.
//
//   plot_of_run          the analysis plot of a finished run
//   picture_path         the picture's name beside the report (run7.out -> run7.bmp)
//   parse_plot_formats   --plot-format's list ("png,svg,pdf") -> format names, or what is wrong
//   picture_request      the plot and its files, one per format (run7.bmp and run7.png by default)

#include <optional>
#include <string>
#include <vector>

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

// The pictures --plot writes unless told otherwise: the BMP the desktop program's Save Screen
// writes, and a PNG of the same pixels.
inline const std::vector<std::string> kDefaultPlotFormats = {"bmp", "png"};

// Reads a comma-separated list of picture formats (kPictureFormats, in any letter case) into
// `formats`, lower case, each once, in the order given. Returns what is wrong with the list: an
// empty list or entry, or a format that is not written.
std::optional<std::string> parse_plot_formats(const std::string& list,
                                              std::vector<std::string>& formats);

// `plot` written beside the report of `s` in each of `formats`: run7.bmp, run7.png, run7.svg,
// run7.pdf.
PictureRequest picture_request(const RunSummary& s, const AnalysisPlot& plot,
                               const std::vector<std::string>& formats = kDefaultPlotFormats);

// The Selwyn picture `s` of the group at [So] `so` beside the table `file`, as a PNG always and
// also as SVG and PDF when `formats` holds them: plate-selwyn-100.png.
PictureRequest selwyn_picture_request(const std::string& file, double so, const SelwynPicture& s,
                                      const std::vector<std::string>& formats);

}  // namespace brx
