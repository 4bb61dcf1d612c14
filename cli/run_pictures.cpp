#include "cli/run_pictures.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "cli/curve_set_batch.h"

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

std::optional<std::string> parse_plot_formats(const std::string& list,
                                              std::vector<std::string>& formats) {
  std::vector<std::string> read;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    std::string name = list.substr(start, comma - start);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name.empty()) return "empty picture format in '" + list + "' (bmp, png, svg or pdf)";
    if (std::find(std::begin(kPictureFormats), std::end(kPictureFormats), name) ==
        std::end(kPictureFormats)) {
      return "unknown picture format '" + name + "' (bmp, png, svg or pdf)";
    }
    if (std::find(read.begin(), read.end(), name) == read.end()) read.push_back(name);
    if (comma == list.size()) break;
    start = comma + 1;
  }
  formats = std::move(read);
  return std::nullopt;
}

PictureRequest picture_request(const RunSummary& s, const AnalysisPlot& plot,
                               const std::vector<std::string>& formats) {
  PictureRequest r;
  r.analysis = &plot;
  for (const std::string& f : formats) r.files.push_back({picture_path(s.report_path, f), f});
  return r;
}

PictureRequest selwyn_picture_request(const std::string& file, double so, const SelwynPicture& s,
                                      const std::vector<std::string>& formats) {
  PictureRequest r;
  r.selwyn = &s;
  r.files.push_back({selwyn_picture_path(file, so, "png"), "png"});
  for (const char* vector_format : {"svg", "pdf"}) {
    if (std::find(formats.begin(), formats.end(), vector_format) != formats.end()) {
      r.files.push_back({selwyn_picture_path(file, so, vector_format), vector_format});
    }
  }
  return r;
}

}  // namespace brx
