#include "app/command_states.h"

namespace brx {
namespace {

void set_results_commands(CommandStates& s, bool enabled) {
  s.save_screen = s.print_screen = enabled;
  s.graph_labels = s.plot_title = s.ordinate_label = s.abscissa_label = enabled;
}

void uncheck_and_disable_boxes(CommandStates& s) {
  s.model1_checked = s.model2_checked = s.crosscheck_checked = false;
  s.model1_box = s.model2_box = s.crosscheck_box = false;
}

}  // namespace

CommandStates start_states() {
  CommandStates s;
  enter_no_data_file(s);
  return s;
}

void enter_no_data_file(CommandStates& s) {
  s.file_menu = s.open_data_file = true;
  s.run_analysis = s.crosscheck = s.selwyn_plot = false;
  set_results_commands(s, false);
  uncheck_and_disable_boxes(s);
  s.run_button = s.results_button = false;
}

void enter_file_chosen(CommandStates& s) {
  uncheck_and_disable_boxes(s);
  s.run_button = true;
  s.results_button = false;
  s.crosscheck = false;
  s.open_data_file = s.run_analysis = true;
}

void enter_results(CommandStates& s) {
  s.model1_checked = s.model2_checked = true;
  s.model1_box = s.model2_box = true;
  s.run_button = s.results_button = true;
  s.open_data_file = s.run_analysis = true;
  set_results_commands(s, true);
}

void enter_aborted_results(CommandStates& s) {
  enter_results(s);
  uncheck_and_disable_boxes(s);
}

void with_run_extras(CommandStates& s, bool crosscheck, bool crosscheck_curve, bool table) {
  s.crosscheck = crosscheck;
  s.crosscheck_box = crosscheck && crosscheck_curve && s.model1_box;
  if (!s.crosscheck_box) s.crosscheck_checked = false;
  s.selwyn_plot = table;
}

void enter_running(CommandStates& s) {
  s.run_analysis = s.run_button = false;
}

void enter_viewer_open(CommandStates& s) {
  s.quit = false;
  s.run_button = s.results_button = false;
}

void enter_viewer_closed(CommandStates& s) {
  s.quit = true;
}

void after_redraw(CommandStates& s, bool model1_checked, bool model2_checked, bool viewer_open,
                  bool aborted_shown) {
  s.model1_checked = model1_checked;
  s.model2_checked = model2_checked;
  if (!model1_checked && !model2_checked && !aborted_shown) {
    s.results_button = false;
  } else if (!viewer_open) {
    s.run_button = s.results_button = true;
  }
}

}  // namespace brx
