#include "app/plot_output.h"

#include <algorithm>
#include <cctype>

#include "app/plot_view.h"
#include "app/text_fields.h"
#include "app/window_guard.h"
#include "app/window_look.h"
#include "plot/analysis_plot_drawing.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = toolkit;

// The main window's picture as it shows now: its size (Save Screen's region) and its plot.
struct WindowPicture {
  int width = 0;
  int height = 0;
  AnalysisPlot plot;
};

bool picture_now(MainWindow& w, WindowPicture& p) {
  return with_window(w.ids.window, [&] {
    const tk::ViewSettings v = tk::getviewsettings();
    p.width = std::clamp(v.right, 1, kMainWidth);
    p.height = std::clamp(v.bottom, 1, kMainHeight);
    p.plot = plot_shown(w);
  });
}

}  // namespace

std::string plot_file_format(std::string& name) {
  const std::size_t slash = name.rfind('/');
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    name += ".png";
    return "png";
  }
  std::string extension = name.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == "png" || extension == "svg" || extension == "pdf" ? extension : "";
}

void print_plot(MainWindow& w) {
  WindowPicture p;
  if (!picture_now(w, p)) return;
  // The page's heading is the main window's title.
  const int printed = tk::printvector(
      nullptr, p.width, p.height, [&p] { draw_analysis_picture(p.plot); }, w.ids.window);
  report_output_failure(w, printed, "The screen could not be printed:");
}

void saveplot(MainWindow& w) {
  std::string name;
  if (tk::dlgsavefile(name, "Plot pictures", "*.png;*.svg;*.pdf", "Save Plot As", w.ids.window) !=
      1)
    return;
  const std::string format = plot_file_format(name);
  if (format.empty()) {
    const std::string box = "The plot could not be saved:\r\n" + utf8_to_cp1252(name) +
                            "\r\nChoose a name ending in .png, .svg or .pdf.";
    tk::dlgmessage(kErrorBox, box.c_str(), w.ids.window);
    return;
  }
  int saved = 0;
  if (format == "png") {
    // The window's own pixels, as Save Screen takes them.
    with_window(w.ids.window, [&] {
      const tk::ViewSettings v = tk::getviewsettings();
      saved =
          tk::writeimagefileas(name.c_str(), "png", 0, 0, v.right, v.bottom, false, w.ids.window);
    });
  } else {
    WindowPicture p;
    if (!picture_now(w, p)) return;
    saved = tk::writevectorfile(name.c_str(), format.c_str(), p.width, p.height,
                                [&p] { draw_analysis_picture(p.plot); });
  }
  report_output_failure(w, saved, "The plot could not be saved:");
}

}  // namespace brx
