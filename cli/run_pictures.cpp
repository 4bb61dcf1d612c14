#include "cli/run_pictures.h"

#include <algorithm>

namespace brx {
namespace {

constexpr std::size_t kLabelWidth = 50;  // legend texts, as the main window cuts them

std::string label(const std::string& text) {
  std::string s = text.substr(0, std::min(kLabelWidth, text.size()));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

}  // namespace

AnalysisPlot plot_of_run(const RunSummary& s, const globalsplot& gp) {
  AnalysisPlot a;
  const int n = s.x8.cols() >= 1 && s.y8.cols() >= 1 && s.z8.cols() >= 2
                    ? std::min({s.n8, s.x8.rows(), s.y8.rows(), s.z8.rows()})
                    : 0;
  for (int i = 1; i <= n; ++i) {
    a.times.push_back(s.x8(i, 1));
    a.measured.push_back(s.y8(i, 1));
    a.model1.push_back(s.z8(i, 1));
    a.model2.push_back(s.z8(i, 2));
  }
  a.data_label = label(gp.model0lbl);
  a.model1_label = label(gp.model1lbl);
  a.model2_label = label(gp.model2lbl);
  a.title = kInitialTitle;
  a.x_label = kInitialXLabel;
  a.y_label = kInitialYLabel;
  a.abort_line = aborted_run_line(missing_curves_reason(s));
  // The check boxes as the window leaves them after such a run: an aborted one unchecks them.
  a.show_model1 = a.show_model2 = a.abort_line.empty();
  return a;
}

std::string picture_path(const std::string& report_path, const std::string& extension) {
  const std::size_t keep = report_path.size() >= 3 ? report_path.size() - 3 : 0;
  return report_path.substr(0, keep) + extension;
}

PictureRequest picture_request(const RunSummary& s, const AnalysisPlot& plot) {
  PictureRequest r;
  r.analysis = &plot;
  r.files = {{picture_path(s.report_path, "bmp"), "bmp"},
             {picture_path(s.report_path, "png"), "png"}};
  return r;
}

}  // namespace brx
