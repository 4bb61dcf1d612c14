#include "app/plot_view.h"

#include <algorithm>
#include <optional>

#include "app/text_fields.h"
#include "app/window_guard.h"
#include "plot/analysis_plot_drawing.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = toolkit;

constexpr const char* kCrossCheckLegend = "Cross-check curve";

// Copies the first n8 published values into the plot work arrays.
void fill_work_arrays(MainWindow& w) {
  const auto n = static_cast<int>(std::min(w.times.size(), w.model2.size()));
  const int rows =
      std::min({n, w.results.n8, w.results.x8.rows(), w.results.y8.rows(), w.results.z8.rows()});
  const bool two_columns =
      w.results.z8.cols() >= 2 && w.results.x8.cols() >= 1 && w.results.y8.cols() >= 1;
  for (int i = 0; two_columns && i < rows; ++i) {
    const auto k = static_cast<std::size_t>(i);
    w.times[k] = w.results.x8(i + 1, 1);
    w.measured[k] = w.results.y8(i + 1, 1);
    w.model1[k] = w.results.z8(i + 1, 1);
    w.model2[k] = w.results.z8(i + 1, 2);
  }
}

// The label fields as drawn, from the window's title and labels.
void write_label_fields(MainWindow& w) {
  w.results.label8[0] = field_text(w.labels[0], kLabelWidth);
  w.results.label8[1] = field_text(w.labels[1], kLabelWidth);
  w.results.title8 = field_text(w.title, kTitleWidth);
  w.gp.xytitlelbl = field_text(w.title, kLabelWidth);
  w.gp.xaxislbl = w.results.label8[0];
  w.gp.yaxislbl = w.results.label8[1];
}

void show_buttons(MainWindow& w, bool checked1, bool checked2, bool checked_cc, bool aborted) {
  after_redraw(w.states, checked1, checked2, w.viewer_open.load(), aborted || checked_cc);
  w.states.crosscheck_checked = checked_cc;
  const CommandStates shown = shown_states(w);
  tk::setbuttonvisible(w.ids.run_button, true);
  tk::setbuttonvisible(w.ids.results_button, true);
  tk::enablebutton(w.ids.run_button, shown.run_button);
  tk::enablebutton(w.ids.results_button, shown.results_button);
  tk::refreshall();
}

// The plot as the window shows it now: the last run's points and curves, the check boxes, and
// the title and labels as drawn. The label fields are written as the plot takes them.
AnalysisPlot plot_now(MainWindow& w, bool checked1, bool checked2, bool checked_cc) {
  AnalysisPlot a;
  a.show_model1 = checked1;
  a.show_model2 = checked2;
  a.show_crosscheck = checked_cc && !w.crosscheck_times.empty();
  a.abort_line = w.abort_line;
  if (shows_prompt(a)) return a;
  fill_work_arrays(w);
  write_label_fields(w);
  a.times = w.times;
  a.measured = w.measured;
  a.model1 = w.model1;
  a.model2 = w.model2;
  a.data_label = field_text(w.gp.model0lbl, kLabelWidth);
  a.model1_label = field_text(w.gp.model1lbl, kLabelWidth);
  a.model2_label = field_text(w.gp.model2lbl, kLabelWidth);
  a.title = trim_right(w.gp.xytitlelbl);
  a.x_label = trim_right(w.gp.xaxislbl);
  a.y_label = left_adjusted(w.gp.yaxislbl, kLabelWidth);
  if (a.show_crosscheck) {
    a.crosscheck_times = w.crosscheck_times;
    a.crosscheck_curve = w.crosscheck_curve;
    a.crosscheck_label = kCrossCheckLegend;
  }
  return a;
}

void draw(MainWindow& w) {
  const bool checked1 = tk::checkboxischecked(w.ids.model1_box) == 1;
  const bool checked2 = tk::checkboxischecked(w.ids.model2_box) == 1;
  const bool checked_cc = tk::checkboxischecked(w.ids.crosscheck_box) == 1;
  draw_analysis_plot(plot_now(w, checked1, checked2, checked_cc));
  show_buttons(w, checked1, checked2, checked_cc, !w.abort_line.empty());
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

AnalysisPlot plot_shown(MainWindow& w) {
  return plot_now(w, tk::checkboxischecked(w.ids.model1_box) == 1,
                  tk::checkboxischecked(w.ids.model2_box) == 1,
                  tk::checkboxischecked(w.ids.crosscheck_box) == 1);
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
