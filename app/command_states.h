#pragma once
// Which commands of the main window may be used in each state of the program, as plain values:
// the main loop and the callbacks move between the states below and then show the result.
//
//   No data file       start; Run with no file chosen (a cancelled Open changes nothing)
//   File chosen        a data file, or a curve of a curve-set table, was picked
//   Results available  a run ended with both curves
//   Aborted results    a run ended without curves (too few points, nothing to fit, failed fit)
//   Viewer open        "Display Results" until the viewer's Exit
//   Running            while the analysis runs, on top of the state before it
//
// "Description", "Example Data" and "About" are usable in every state. "Cross-check" and its
// curve's box need a run that gave a cross-check, "Selwyn Plot" a curve-set table
// (with_run_extras).

namespace brx {

struct CommandStates {
  // "File" menu
  bool file_menu = true;
  bool open_data_file = true;
  bool run_analysis = false;
  bool crosscheck = false;
  bool selwyn_plot = false;
  bool save_screen = false;
  bool print_screen = false;
  bool description = true;
  bool example_data = true;
  bool about = true;
  bool quit = true;
  // "Graph Labels" menu
  bool graph_labels = false;
  bool plot_title = false;
  bool ordinate_label = false;
  bool abscissa_label = false;
  // check boxes and buttons
  bool model1_box = false;
  bool model2_box = false;
  bool model1_checked = false;
  bool model2_checked = false;
  bool crosscheck_box = false;
  bool crosscheck_checked = false;
  bool run_button = false;
  bool results_button = false;

  bool operator==(const CommandStates&) const = default;
};

// The state the program starts in.
CommandStates start_states();

// Open cancelled, or Run before any file was chosen.
void enter_no_data_file(CommandStates& s);
// A data file was picked: it may be run; earlier results are no longer shown. Save Screen, Print
// Screen and Graph Labels keep their state.
void enter_file_chosen(CommandStates& s);
// A run ended: everything is usable and both curves are shown.
void enter_results(CommandStates& s);
// A run ended without curves to show: as enter_results, but both check boxes stay unchecked and
// greyed; the report says why.
void enter_aborted_results(CommandStates& s);
// What the last run and the chosen file add: "Cross-check" after a run that gave a cross-check
// (`crosscheck`), its curve's box when that found a curve to draw and the run's curves are shown
// (`crosscheck_curve`), "Selwyn Plot" while a curve-set table is chosen (`table`).
void with_run_extras(CommandStates& s, bool crosscheck, bool crosscheck_curve, bool table);
// While the analysis runs a second run cannot be asked for.
void enter_running(CommandStates& s);
// The results viewer opened: Quit and both buttons wait until it closes.
void enter_viewer_open(CommandStates& s);
// The results viewer closed.
void enter_viewer_closed(CommandStates& s);

// After a redraw of the plot with the given check marks: without a curve to show there are no
// results to display, unless the plot shows an aborted run or the cross-check's curve
// (`aborted_shown`), whose report is worth reading; with either, both buttons are usable again,
// unless the viewer is open.
void after_redraw(CommandStates& s, bool model1_checked, bool model2_checked, bool viewer_open,
                  bool aborted_shown = false);

}  // namespace brx
