#include "app/plot_view.h"

#include <algorithm>
#include <optional>
#include <span>

#include "app/text_fields.h"
#include "app/window_guard.h"
#include "app/window_look.h"
#include "plot/embed_plot.h"
#include "plot/plot_api.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = toolkit;

constexpr int kPromptColour = tk::creatergb(128, 0, 0);
constexpr int kTitleColour = tk::creatergb(0, 0, 128);
constexpr int kPromptX = 190;
constexpr int kPromptY = 300;
constexpr double kXMax = 1.1;  // fixed ranges: the data are normalised to 1
constexpr double kYMax = 1.2;

// Copies the first n8 published values into the plot work arrays.
void fill_work_arrays(MainWindow& w) {
  const auto n = static_cast<int>(std::min(w.times.size(), w.model2.size()));
  const int rows = std::min({n, w.nr.n8, w.nr.x8.rows(), w.nr.y8.rows(), w.nr.z8.rows()});
  const bool two_columns = w.nr.z8.cols() >= 2 && w.nr.x8.cols() >= 1 && w.nr.y8.cols() >= 1;
  for (int i = 0; two_columns && i < rows; ++i) {
    const auto k = static_cast<std::size_t>(i);
    w.times[k] = w.nr.x8(i + 1, 1);
    w.measured[k] = w.nr.y8(i + 1, 1);
    w.model1[k] = w.nr.z8(i + 1, 1);
    w.model2[k] = w.nr.z8(i + 1, 2);
  }
}

// The label fields as drawn, from the window's title and labels.
void write_label_fields(MainWindow& w) {
  w.nr.label8[0] = field_text(w.labels[0], kLabelWidth);
  w.nr.label8[1] = field_text(w.labels[1], kLabelWidth);
  w.nr.title8 = field_text(w.title, kTitleWidth);
  w.gp.xytitlelbl = field_text(w.title, kLabelWidth);
  w.gp.xaxislbl = w.nr.label8[0];
  w.gp.yaxislbl = w.nr.label8[1];
}

void add_series(PlotHandle* h, int index, std::span<const double> x, std::span<const double> y,
                const std::string& label, int type, SeriesColour c) {
  add_dataset(h, x, y);
  set_serieslabel(h, index, field_text(label, kLabelWidth));
  set_seriestype(h, index, type);
  set_seriescolor(h, index, c.r, c.g, c.b);
}

void show_buttons(MainWindow& w, bool checked1, bool checked2, bool aborted) {
  after_redraw(w.states, checked1, checked2, w.viewer_open.load(), aborted);
  const CommandStates shown = shown_states(w);
  tk::setbuttonvisible(w.ids.run_button, true);
  tk::setbuttonvisible(w.ids.results_button, true);
  tk::enablebutton(w.ids.run_button, shown.run_button);
  tk::enablebutton(w.ids.results_button, shown.results_button);
  tk::refreshall();
}

void draw(MainWindow& w) {
  const MainIds& ids = w.ids;
  tk::setbkcolor(kWhite);
  tk::setviewport(0, 0, kPlotSize, kPlotSize, 1);
  tk::clearviewport();
  const bool checked1 = tk::checkboxischecked(ids.model1_box) == 1;
  const bool checked2 = tk::checkboxischecked(ids.model2_box) == 1;
  const bool aborted = !w.abort_line.empty();
  if (!checked1 && !checked2 && !aborted) {
    tk::setcolor(kPromptColour);
    tk::setbkcolor(kWhite);
    tk::setmatchthemetextstyle();
    tk::outtextxy(kPromptX, kPromptY, kPlotPrompt);
    show_buttons(w, checked1, checked2, aborted);
    return;
  }

  PlotHandle* h = initialize_plot();
  if (h == nullptr) return;
  set_xlinear(h);
  set_ylinear(h);
  set_xscale(h, 0.0, kXMax);
  set_yscale(h, 0.0, kYMax);
  fill_work_arrays(w);
  write_label_fields(w);

  // Model 2 takes index 1 when Model 1 is hidden. An aborted run shows no curves: nothing was
  // fitted, or too few points to trust the fit.
  add_series(h, 0, w.times, w.measured, w.gp.model0lbl, kSeriesBigDots, kDataColour);
  int index = 1;
  if (checked1 && !aborted)
    add_series(h, index++, w.times, w.model1, w.gp.model1lbl, kSeriesLine, kModel1Colour);
  if (checked2 && !aborted)
    add_series(h, index++, w.times, w.model2, w.gp.model2lbl, kSeriesLine, kModel2Colour);
  set_xlabel(h, trim_right(w.gp.xaxislbl));
  set_ylabel(h, left_adjusted(w.gp.yaxislbl, kLabelWidth));
  embed_plot(h, ids.window, 0, 0, kPlotSize, kPlotSize);

  // The title, centred on a point left of the middle by half its length in characters.
  const std::string heading = trim_right(w.gp.xytitlelbl);
  tk::setcolor(kTitleColour);
  tk::setbkcolor(kWhite);
  tk::settextjustify(1, 1);
  tk::setmatchthemetextstyle();
  tk::outtextxy((kPlotSize - static_cast<int>(heading.size())) / 2, kTitleY, heading.c_str());
  if (aborted) {
    tk::setcolor(kPromptColour);
    tk::outtextxy(kPlotSize / 2, kAbortLineY, w.abort_line.c_str());
  }
  tk::setcolor(kBlack);
  tk::setbkcolor(kWhite);
  tk::setmatchthemetextstyle();
  tk::settextjustify(0, 1);
  destroy_plot(h);
  show_buttons(w, checked1, checked2, aborted);
}

// Asks for a new text in the label dialog (not under the window lock: it waits for the user);
// nothing when the user cancels.
std::optional<std::string> ask_label(const MainWindow& w, std::string text, const char* caption,
                                     const char* prompt) {
  if (tk::dlgrequesttext(text, caption, prompt, static_cast<int>(kLabelWidth), w.ids.window) != 1) {
    return {};
  }
  return field_text(text, kLabelWidth);
}

// Edits the title (`axis` -1) or an axis label (0 x, 1 y): the dialog offers the text as drawn,
// and the answer goes to the shell record's field and the main window's text before the redraw.
void edit_label(MainWindow& w, int axis, const char* caption, const char* prompt) {
  std::string start;
  {
    std::lock_guard lock(window_mutex());
    start = axis < 0 ? field_text(w.title, kLabelWidth) : w.labels[static_cast<std::size_t>(axis)];
  }
  const std::optional<std::string> text = ask_label(w, start, caption, prompt);
  if (!text) return;
  {
    std::lock_guard lock(window_mutex());
    if (axis < 0) {
      w.gp.xytitlelbl = *text;
      w.title = *text;
    } else {
      (axis == 0 ? w.gp.xaxislbl : w.gp.yaxislbl) = *text;
      w.labels[static_cast<std::size_t>(axis)] = *text;
    }
  }
  dataset_changed(w);
}

}  // namespace

void dataset_changed(MainWindow& w) {
  with_window(w.ids.window, [&] { draw(w); });
}

std::string aborted_run_line(const RunSummary& s) {
  // '\x97' is the dash in the windows' single-byte code page.
  switch (s.body) {
    case ReportBody::kFull:
      return {};
    case ReportBody::kTooFewPoints:
      return "Curve-fit aborted: too few data points \x97 see Display Results";
    case ReportBody::kAbortedFit:
      break;
  }
  return s.fitted ? "Curve-fit aborted: the fit failed \x97 see Display Results"
                  : "Curve-fit aborted: no positive time or product \x97 see Display Results";
}

void title(MainWindow& w) {
  edit_label(w, -1, "Plot Label", "Title of Plot");
}

void ylabel(MainWindow& w) {
  edit_label(w, 1, "Ordinate Label", "Y Axis Label");
}

void xlabel(MainWindow& w) {
  edit_label(w, 0, "Abscissa Label", "X Axis Label");
}

}  // namespace brx
