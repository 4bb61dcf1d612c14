#include "app/main_window.h"

#include <algorithm>

#include "analysis/brevantix_run.h"
#include "analysis/input_error.h"
#include "app/crosscheck_view.h"
#include "app/file_selection.h"
#include "app/info_screens.h"
#include "app/plot_output.h"
#include "app/plot_view.h"
#include "app/results_viewer.h"
#include "app/selwyn_window.h"
#include "app/text_fields.h"
#include "app/window_guard.h"
#include "app/window_look.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = toolkit;

constexpr int kStartIdleMs = 3;
constexpr int kMainSlot = 256;  // child_windows slot of the main window
// The message of the analysis's stops for a data file that is not there.
constexpr const char* kNoDataFileMessage = "No data file was found!";

void show_states(MainWindow& w, bool set_checks) {
  apply_states(w.ids, shown_states(w), set_checks);
}

void set_state(MainWindow& w, void (*enter)(CommandStates&), bool set_checks) {
  with_window(w.ids.window, [&] {
    enter(w.states);
    show_states(w, set_checks);
    tk::refreshall();
  });
}

// Wakes the main loop, which waits on the main window's wake-up whatever window is current.
void wake_main_loop(const MainWindow& w) {
  tk::stopidle(w.ids.window);
}

// While the results viewer is open the main loop must stay asleep (the viewer's Exit wakes it
// with its own action), so Open and Run are refused with a word of explanation.
bool refused_while_viewer_open(MainWindow& w) {
  if (!w.viewer_open.load()) return false;
  tk::dlgmessage(kInformationBox,
                 "The results window is open.\r\nClose it with File > Exit before opening a "
                 "data file or running the analysis.",
                 w.ids.window);
  return true;
}

void release_work_arrays(MainWindow& w) {
  w.times.clear();
  w.measured.clear();
  w.model1.clear();
  w.model2.clear();
}

// Shows or ends the signs of a running analysis: the busy cursor and greyed run commands.
void show_running(MainWindow& w, bool running) {
  w.running = running;
  with_window(w.ids.window, [&] {
    tk::setbusycursor(running);
    show_states(w, false);
  });
}

// Signs of a running analysis for as long as it lives, however the run ends.
class RunningAnalysis {
 public:
  explicit RunningAnalysis(MainWindow& w) : w_(w) { show_running(w_, true); }
  ~RunningAnalysis() { show_running(w_, false); }
  RunningAnalysis(const RunningAnalysis&) = delete;
  RunningAnalysis& operator=(const RunningAnalysis&) = delete;

 private:
  MainWindow& w_;
};

// The stops that only mean the data file is not there (any more): named in an error box, after
// which the program goes on.
bool data_file_missing(const Stop& stop) {
  return stop.message() == kNoDataFileMessage;
}

// The curve named `name` of a table; null when it holds none of that name.
const TableCurve* curve_named(const CurveSetTable& table, const std::string& name) {
  for (const TableCurve& c : table.curves) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

// Analyses the chosen curve of a curve-set table, read anew so that a mended table is taken as a
// mended data file is; the table as read is kept for the Selwyn plot.
RunSummary analyse_table_curve(MainWindow& w, const std::string& name, globalsplot& gp_run) {
  auto table = std::make_shared<const CurveSetTable>(read_curve_set_table(w.datafile));
  const TableCurve* curve = curve_named(*table, name);
  if (curve == nullptr) {
    throw InputError(w.datafile, 1, {}, "the table no longer holds a curve named \"" + name + "\"");
  }
  RunSummary out = w.analyse_curve(*table, *curve, gp_run);
  std::lock_guard lock(window_mutex());
  w.table = std::move(table);
  return out;
}

// Runs the analysis on copies of the two records, and the cross-check on the run's points;
// returns the text of the error box when the file is missing or cannot be read, else an empty
// text. Other stops leave through here.
std::string run_analysis(MainWindow& w, globalsplot& gp_run, RunSummary& out,
                         crosscheck::CrossCheck& check) {
  const RunningAnalysis running(w);
  std::string curve;
  {
    std::lock_guard lock(window_mutex());
    curve = w.curve_name;
  }
  try {
    out = curve.empty() ? w.analyse(w.datafile, gp_run) : analyse_table_curve(w, curve, gp_run);
  } catch (const InputError& e) {
    // File names and lines are UTF-8 here; the window takes single-byte text.
    return "The data file cannot be analysed:\r\n" + utf8_to_cp1252(e.what());
  } catch (const Stop& stop) {
    if (!data_file_missing(stop)) throw;
    return std::string(kNoDataFileMessage) + "\r\n" + utf8_to_cp1252(w.datafile);
  }
  check = crosscheck::check_deactivation(out.t_raw, out.y_raw, out.so_raw);
  return {};
}

// Pending action 1: the analysis of the chosen file, on the program thread. The run works on a
// copy of the shell record and a summary of its own, so that a redraw from a check box meanwhile
// reads the last run's tables whole; the results are taken over at once when it ends. A file that
// is missing or cannot be read changes nothing but gets an error box: the file stays chosen, so the
// user can mend it and run again, and the last results stay on screen.
void perform_run(MainWindow& w) {
  if (w.file_chosen.load() == 0) {
    with_window(w.ids.window, [&] { w.abort_line.clear(); });
    set_state(w, enter_no_data_file, true);
    return;
  }
  globalsplot gp_run;
  {
    std::lock_guard lock(window_mutex());
    gp_run = w.gp;
  }
  RunSummary summary;
  crosscheck::CrossCheck check;
  const std::string failure = run_analysis(w, gp_run, summary, check);
  if (!failure.empty()) {
    tk::dlgmessage(kErrorBox, failure.c_str(), w.ids.window);
    return;
  }
  if (!summary.report_written) {
    // The analysis stands; only its report is missing.
    const std::string box = "The report could not be written:\r\n" +
                            utf8_to_cp1252(summary.report_path) + "\r\n" + summary.report_error;
    tk::dlgmessage(kErrorBox, box.c_str(), w.ids.window);
  }
  const std::string abort_line = aborted_run_line(missing_curves_reason(summary));
  std::vector<double> cc_times, cc_curve;
  crosscheck_points(summary, check, cc_times, cc_curve);
  with_window(w.ids.window, [&] {
    w.crosscheck = std::move(check);
    w.crosscheck_times = std::move(cc_times);
    w.crosscheck_curve = std::move(cc_curve);
    w.results = std::move(summary);
    w.gp.model0lbl = gp_run.model0lbl;
    w.gp.model1lbl = gp_run.model1lbl;
    w.gp.model2lbl = gp_run.model2lbl;
    w.gp.titlelbl = gp_run.titlelbl;
    w.abort_line = abort_line;
    const auto n = static_cast<std::size_t>(std::max(0, w.results.n8));
    release_work_arrays(w);
    w.times.assign(n, 0.0);
    w.measured.assign(n, 0.0);
    w.model1.assign(n, 0.0);
    w.model2.assign(n, 0.0);
  });
  dataset_changed(w);
  with_window(w.ids.window, [&] {
    (abort_line.empty() ? enter_results : enter_aborted_results)(w.states);
    with_run_extras(w.states, true, !w.crosscheck_times.empty(), w.table != nullptr);
    show_states(w, true);
    tk::refreshall();
  });
}

// Pending action 4: the file dialog, on the program thread. Cancel leaves everything as it was.
void choose_file(MainWindow& w) {
  int chosen = 0;
  openfile(w, w.datafile, chosen);
  if (chosen != 1) return;
  w.file_chosen = 1;
  with_window(w.ids.window, [&] {
    w.abort_line.clear();
    enter_file_chosen(w.states);
    with_run_extras(w.states, false, false, w.table != nullptr);
    show_states(w, true);
    tk::refreshall();
  });
}

// The waits name the main window: the results viewer's loop and the live view make their own
// window current on other threads meanwhile.
void main_loop(MainWindow& w) {
  const int main = w.ids.window;
  while (w.pending.load() != kActionQuit) {
    if (!tk::isvalidwindow(main)) break;
    tk::startidle(kStartIdleMs, main);
    with_window(main, [] {
      tk::clearviewport();
      tk::setbkcolor(kWhite);
      tk::refreshall();
    });
    int action = w.pending.load();
    switch (action) {
      case kActionQuit:
        return;
      case kActionRun:
        perform_run(w);
        break;
      case kActionChooseFile:
        choose_file(w);
        break;
      case kActionViewerOpened:
        set_state(w, enter_viewer_closed, false);
        break;
      default:
        // Unless a command stored a new action meanwhile.
        w.pending.compare_exchange_strong(action, kActionNone);
        break;
    }
    // An action is not consumed: a later wake-up without a new one performs it again.
    if (w.pending.load() == kActionQuit) break;
    dataset_changed(w);
    ++w.idle_passes;
    if (!tk::isvalidwindow(main)) break;
    tk::loop(main);
  }
}

}  // namespace

CommandStates shown_states(const MainWindow& w) {
  CommandStates s = w.states;
  if (w.viewer_open.load()) enter_viewer_open(s);
  if (w.running.load()) enter_running(s);
  return s;
}

void apply_states(const MainIds& ids, const CommandStates& s, bool set_checks) {
  tk::enablemenu(ids.file_menu, s.file_menu);
  tk::enablemenuitem(ids.open, s.open_data_file);
  tk::enablemenuitem(ids.run, s.run_analysis);
  tk::enablemenuitem(ids.crosscheck, s.crosscheck);
  tk::enablemenuitem(ids.selwyn, s.selwyn_plot);
  tk::enablemenuitem(ids.save_screen, s.save_screen);
  tk::enablemenuitem(ids.save_plot, s.save_screen);  // the same picture in other formats
  tk::enablemenuitem(ids.print_screen, s.print_screen);
  tk::enablemenuitem(ids.description, s.description);
  tk::enablemenuitem(ids.example_data, s.example_data);
  tk::enablemenuitem(ids.about, s.about);
  tk::enablemenuitem(ids.quit, s.quit);
  tk::enablemenu(ids.graph_menu, s.graph_labels);
  tk::enablemenuitem(ids.plot_title, s.plot_title);
  tk::enablemenuitem(ids.ordinate, s.ordinate_label);
  tk::enablemenuitem(ids.abscissa, s.abscissa_label);
  if (set_checks) {
    tk::checkboxsetchecked(ids.model1_box, s.model1_checked);
    tk::checkboxsetchecked(ids.model2_box, s.model2_checked);
    tk::checkboxsetchecked(ids.crosscheck_box, s.crosscheck_checked);
  }
  tk::enablebutton(ids.model1_box, s.model1_box);
  tk::enablebutton(ids.model2_box, s.model2_box);
  tk::enablebutton(ids.crosscheck_box, s.crosscheck_box);
  tk::enablebutton(ids.run_button, s.run_button);
  tk::enablebutton(ids.results_button, s.results_button);
}

bool build_main_window(MainWindow& w, const std::array<std::string, 2>& labels,
                       const std::string& title_text) {
  std::lock_guard lock(window_mutex());
  tk::setapplicationdpiaware();
  const int win = tk::initwindow(kMainWidth, kMainHeight, "Brevantix-kd", tk::kDefaultPosition,
                                 tk::kDefaultPosition, tk::kKeepOption, 0);
  if (win < 0) return false;
  tk::useansitext();
  tk::setwindowsystemclosecallback(closeflag_cancel);
  tk::setwindowtitle(kProgramTitle);

  MainIds& ids = w.ids;
  ids.window = win;
  w.windows.idactiveplotwin = win;
  std::fill(w.windows.child_windows.begin() + 1, w.windows.child_windows.end(), -1);
  w.windows.child_windows[kMainSlot] = win;

  // "&" marks each name's access key (Alt+F, then O, ...); it is not shown.
  ids.menubar = tk::addmenu("", -1);
  ids.file_menu = tk::addmenu("&File", ids.menubar);
  ids.graph_menu = tk::addmenu("&Graph Labels", ids.menubar);
  ids.open = tk::addmenuitem("&Open Data File", ids.file_menu, [&w] { handle_open(w); });
  ids.run = tk::addmenuitem("&Run Analysis", ids.file_menu, [&w] { handle_run(w); });
  ids.crosscheck = tk::addmenuitem("Cross-&check", ids.file_menu, [&w] { show_crosscheck(w); });
  ids.selwyn = tk::addmenuitem("Sel&wyn Plot", ids.file_menu, [&w] { show_selwyn_plot(w); });
  tk::addmenuseparator(ids.file_menu);
  ids.save_screen = tk::addmenuitem("&Save Screen", ids.file_menu, [&w] { savescreen(w); });
  ids.save_plot = tk::addmenuitem("Save P&lot As\x85", ids.file_menu, [&w] { saveplot(w); });
  ids.print_screen = tk::addmenuitem("&Print Screen", ids.file_menu, [&w] { printscreen(w); });
  tk::addmenuseparator(ids.file_menu);
  ids.description = tk::addmenuitem("&Description", ids.file_menu, [] { info(); });
  ids.example_data = tk::addmenuitem("&Example Data", ids.file_menu, [] { example(); });
  ids.about = tk::addmenuitem("&About", ids.file_menu, [] { aboutit(); });
  tk::addmenuseparator(ids.file_menu);
  ids.quit = tk::addmenuitem("&Quit", ids.file_menu, [&w] { handle_quit(w); });
  ids.plot_title = tk::addmenuitem("Plot &Title", ids.graph_menu, [&w] { title(w); });
  ids.ordinate = tk::addmenuitem("&Ordinate Y Label", ids.graph_menu, [&w] { ylabel(w); });
  ids.abscissa = tk::addmenuitem("&Abscissa X Label", ids.graph_menu, [&w] { xlabel(w); });
  tk::setmenuitemshortcut(ids.open, "Ctrl+O");
  tk::setmenuitemshortcut(ids.run, "Ctrl+R");
  tk::setmenuitemshortcut(ids.print_screen, "Ctrl+P");
  tk::setmenuitemshortcut(ids.quit, "Ctrl+Q");

  w.states = start_states();
  apply_states(ids, w.states, false);

  tk::setcolor(kBlack);
  tk::setbkcolor(kWhite);
  tk::clearviewport();
  tk::setmatchthemetextstyle();
  tk::setbkcolor(kWhite);

  // Alt with the marked character clicks a control, as with the menus.
  ids.model1_box =
      tk::createcheckbox(90, 540, 200, 20, "Model &1 Curve-fit Data", [&w] { dataset_changed(w); });
  ids.model2_box = tk::createcheckbox(300, 540, 200, 20, "Model &2 Curve-fit Data",
                                      [&w] { dataset_changed(w); });
  ids.run_button = tk::createbutton(90, 575, 155, 35, "Run &Curve-fit", [&w] { handle_run(w); });
  ids.crosscheck_box = tk::createcheckbox(90, 620, 250, 20, "Cross-chec&k Curve (dashed)",
                                          [&w] { dataset_changed(w); });
  ids.results_button =
      tk::createbutton(300, 575, 155, 35, "&Display Results", [&w] { handle_textbox(w); });

  tk::setbuttonvisible(ids.run_button, true);
  tk::setbuttonvisible(ids.results_button, true);
  tk::enablebutton(ids.run_button, false);
  tk::enablebutton(ids.results_button, false);
  tk::refreshall();
  apply_states(ids, w.states, true);

  // The label fields, as the run and the plot read them.
  w.title = field_text(title_text, kTitleWidth);
  w.labels = {field_text(labels[0], kLabelWidth), field_text(labels[1], kLabelWidth)};
  w.gp.titlelbl = w.gp.xytitlelbl = field_text(title_text, kLabelWidth);
  w.results.title8 = w.title;
  w.gp.xaxislbl = w.results.label8[0] = w.labels[0];
  w.gp.yaxislbl = w.results.label8[1] = w.labels[1];
  return true;
}

void plot_embeded(MainWindow& w, const std::array<std::string, 2>& labels,
                  const std::string& title_text) {
  if (!build_main_window(w, labels, title_text)) return;
  dataset_changed(w);
  w.pending = kActionNone;
  w.started = true;
  // A Stop from the run leaves from here with the window still open, so that its error box has
  // an owner; the program's entry closes everything.
  main_loop(w);
  std::lock_guard lock(window_mutex());
  tk::closewindow(w.ids.window);
  release_work_arrays(w);
}

void closeallplotchilds(ShellWindows& windows) {
  std::lock_guard lock(window_mutex());
  for (int slot = 1; slot < kMainSlot; ++slot) {
    int& child = windows.child_windows[static_cast<std::size_t>(slot)];
    if (child < 0) continue;
    tk::closewindow(child);
    child = -1;
  }
  const int main = windows.child_windows[kMainSlot];
  if (tk::isvalidwindow(main)) {
    tk::setcurrentwindow(main);
    tk::refreshall();
  }
}

void handle_open(MainWindow& w) {
  if (refused_while_viewer_open(w)) return;
  w.pending = kActionChooseFile;
  wake_main_loop(w);
}

void handle_run(MainWindow& w) {
  if (refused_while_viewer_open(w)) return;
  w.pending = kActionRun;
  wake_main_loop(w);
}

// The main loop closes the window itself once it has left its loop: closing it from here could
// leave no current window while the loop is about to wait on it.
void handle_quit(MainWindow& w) {
  w.pending = kActionQuit;
  closeallplotchilds(w.windows);
  wake_main_loop(w);
}

void handle_textbox(MainWindow& w) {
  if (w.viewer_open.exchange(true)) return;  // a second click while the first opens it
  w.pending = kActionViewerOpened;
  with_window(w.ids.window, [&] {
    enter_viewer_open(w.states);
    show_states(w, false);
  });
  main_multiline_box(w);
}

// Tells the user why a picture of the window was not saved or printed; a cancelled dialog is
// no failure.
void report_output_failure(MainWindow& w, int done, const char* what) {
  const std::string reason = tk::lastfileerror();
  if (done == 1 || reason.empty()) return;
  const std::string box = std::string(what) + "\r\n" + utf8_to_cp1252(reason);
  tk::dlgmessage(kErrorBox, box.c_str(), w.ids.window);
}

// Save Screen and Print Screen read the main window's viewport and then save or print that
// window, whichever is current by the time the user has answered the dialog.
void savescreen(MainWindow& w) {
  tk::ViewSettings v{};
  if (!with_window(w.ids.window, [&] { v = tk::getviewsettings(); })) return;
  const int saved = tk::writeimagefile(nullptr, 0, 0, v.right, v.bottom, false, w.ids.window);
  report_output_failure(w, saved, "The screen could not be saved:");
}

// The window's picture is drawn anew on the printer's page, sharp at its resolution, instead of
// its pixels being stretched to the page.
void printscreen(MainWindow& w) {
  print_plot(w);
}

int closeflag_cancel() {
  return 0;
}

}  // namespace brx
