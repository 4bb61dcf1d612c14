#pragma once
// The desktop program's main window and its command flow.
//
//   plot_embeded        the whole interactive use: window, menus, controls, main loop
//   build_main_window   the window with its menus and controls, in the start state
//   closeallplotchilds  close the child plot windows, make the main window current
//   handle_open, handle_run, handle_quit, handle_textbox, savescreen, printscreen,
//   closeflag_cancel    the commands (they only record what the main loop is to do); the
//                       plot's own output, Print Screen's page and Save Plot As, is in
//                       plot_output.h
//
// Threads: the main loop runs on the program thread and does the long work (file dialog,
// analysis run); menu commands, buttons and check boxes run on threads of their own and only
// store a pending action and wake the loop.

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/brevantix_run.h"
#include "analysis/globalsplot.h"
#include "app/command_states.h"
#include "base/stop.h"  // plot_embeded lets a Stop of the analysis through
#include "crosscheck/deactivation_check.h"
#include "plot/analysis_plot.h"

namespace brx {

// Pending actions of the main loop.
inline constexpr int kActionQuit = 0;
inline constexpr int kActionRun = 1;
inline constexpr int kActionChooseFile = 4;
inline constexpr int kActionViewerOpened = 5;
inline constexpr int kActionNone = -1;

// Sizes and texts of the main window; the plot square (0, 0)-(540, 540) is the analysis plot's.
inline constexpr int kMainWidth = kWindowWidth;
inline constexpr int kMainHeight = kWindowHeight;
inline constexpr const char* kProgramTitle = "Brevantix-kd Progress Curve Modeling Software";
inline constexpr std::size_t kTitleWidth = 100;
inline constexpr std::size_t kLabelWidth = 50;

// Toolkit identifiers of the main window's menus, items and controls.
struct MainIds {
  int window = -1;
  int menubar = -1, file_menu = -1, graph_menu = -1;
  int open = -1, run = -1, crosscheck = -1, selwyn = -1;
  int save_screen = -1, save_plot = -1, print_screen = -1;
  int description = -1, example_data = -1, about = -1, quit = -1;
  int plot_title = -1, ordinate = -1, abscissa = -1;
  int model1_box = -1, model2_box = -1, crosscheck_box = -1, run_button = -1, results_button = -1;
};

// The shell's window identifiers.
struct ShellWindows {
  std::array<int, 257> child_windows{};  // 1..255 child plot windows (-1 free), 256 main window
  int idactiveplotwin = -1;              // main window
  int idactivetextwin = -1;              // results viewer
};

// Everything the main window's loop and its callbacks share. Fields marked (lock) are read and
// written under window_mutex(); the atomics are the values one thread writes for another.
struct MainWindow {
  explicit MainWindow(globalsplot& gp_) : gp(gp_) {}

  globalsplot& gp;       // (lock) the program's shell record
  RunSummary results;    // (lock) the last run: its published tables and labels
  ShellWindows windows;  // (lock)
  MainIds ids;           // written once before the loop starts

  std::atomic<int> pending{kActionNone};
  std::atomic<int> file_chosen{0};
  std::atomic<bool> viewer_open{false};
  std::atomic<bool> running{false};  // an analysis runs
  std::atomic<bool> started{false};  // the window and its controls exist
  std::atomic<int> idle_passes{0};   // times the loop has gone to sleep (for observers)

  // The analysis Run performs; tests hold it back to see the program while it runs.
  std::function<RunSummary(const std::string&, globalsplot&)> analyse =
      [](const std::string& file, globalsplot& gp_run) { return brevantix_run(file, gp_run); };
  // The same for one curve of a curve-set table.
  std::function<RunSummary(const CurveSetTable&, const TableCurve&, globalsplot&)> analyse_curve =
      [](const CurveSetTable& set, const TableCurve& curve, globalsplot& gp_run) {
        return brevantix_run_curve(set, curve, gp_run);
      };

  // (lock) The curve-set table chosen, as last read, and the name of the curve Run analyses;
  // null and empty for a data file.
  std::shared_ptr<const CurveSetTable> table;
  std::string curve_name;
  // (lock) The cross-check of the last run's points, computed with the run; none before one.
  std::optional<crosscheck::CrossCheck> crosscheck;
  // (lock) Its curve with loss of enzyme normalised as the plot's points (empty without one).
  std::vector<double> crosscheck_times, crosscheck_curve;
  // The cross-check and Selwyn plot windows while they are open (-1 when not).
  std::atomic<int> crosscheck_window{-1};
  std::atomic<int> selwyn_window{-1};

  std::string datafile;                 // the data file handed to the run (main loop only)
  std::string title;                    // (lock) plot title, 100 characters at most
  std::array<std::string, 2> labels;    // (lock) x and y axis labels, 50 characters at most
  std::vector<double> times, measured;  // (lock) plot work arrays, n8 values each
  std::vector<double> model1, model2;
  // (lock) The plot's line saying why the last run gave no curves; empty when it gave them.
  std::string abort_line;
  CommandStates states;  // (lock) what is usable now
};

// Runs the program's window until the user quits; `labels` (x, y) and `title` are the texts of
// the empty plot. A Stop from the analysis leaves through this function; a data file that is
// missing or cannot be read is reported in an error box and the program goes on as it was.
void plot_embeded(MainWindow& w, const std::array<std::string, 2>& labels,
                  const std::string& title);

// Creates the main window with its menus and controls in the start state and fills the label
// fields; returns false when the window cannot be created.
bool build_main_window(MainWindow& w, const std::array<std::string, 2>& labels,
                       const std::string& title);

// Shows `s` on the menus and controls; the check marks too when `set_checks`. Call with the main
// window current, under window_mutex().
void apply_states(const MainIds& ids, const CommandStates& s, bool set_checks);

// What the window shows as usable: w.states less what an open results viewer or a running
// analysis keeps greyed. Call under window_mutex().
CommandStates shown_states(const MainWindow& w);

void closeallplotchilds(ShellWindows& windows);

void handle_open(MainWindow& w);
void handle_run(MainWindow& w);
void handle_quit(MainWindow& w);
void handle_textbox(MainWindow& w);
void savescreen(MainWindow& w);
void printscreen(MainWindow& w);
// Names in an error box, after `what`, why the last picture output of this thread failed; nothing
// when it was done (`done` 1) or its dialog cancelled.
void report_output_failure(MainWindow& w, int done, const char* what);
// Refuses the close button of the title bar: the program ends through "Quit".
int closeflag_cancel();

}  // namespace brx
