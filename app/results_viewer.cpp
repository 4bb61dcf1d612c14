#include "app/results_viewer.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "analysis/brevantix_run.h"
#include "analysis/report.h"
#include "app/file_channels.h"
#include "app/file_selection.h"
#include "app/live_file_view.h"
#include "app/text_fields.h"
#include "app/window_guard.h"
#include "app/window_look.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = toolkit;

constexpr int kStartIdleMs = 10;
// The report is laid out in columns: a fixed-pitch face, at the height of the interface's text.
constexpr int kFixedPitchFont = 6;
constexpr int kReportTextSize = 15;

// Moves the working directory to the data file's folder. The report and the proposed .txt name
// are absolute, so a folder that cannot be entered (removed, or its permissions changed since it
// was chosen) costs only that move: the error box says why, and the viewer goes on.
void change_to_data_folder(const MainWindow& w, const ResultsViewer& v) {
  std::string folder;
  {
    std::lock_guard lock(window_mutex());
    folder = w.gp.cpath;
  }
  if (!folder.empty()) enter_data_folder(folder, v.window);
}

// Exit: wakes the viewer's loop to end it and hands control back to the main window, whose loop
// then finds its pending action 5 and makes Quit usable again. The viewer's loop closes the
// viewer's window itself.
void handle_viewer_quit(MainWindow& w, ResultsViewer& v) {
  v.pending = kViewerClose;
  tk::stopidle(v.window);
  {
    std::lock_guard lock(window_mutex());
    w.windows.child_windows[256] = w.windows.idactiveplotwin;
  }
  closeallplotchilds(w.windows);
  w.viewer_open = false;
  tk::stopidle(w.ids.window);
}

void handle_save(ResultsViewer& v) {
  v.pending = kViewerSave;
  tk::stopidle(v.window);
}

bool open_viewer_window(MainWindow& w, const std::shared_ptr<ResultsViewer>& shared) {
  ResultsViewer& v = *shared;
  std::lock_guard lock(window_mutex());
  tk::setapplicationdpiaware();
  v.window = tk::initwindow(kMainWidth, kMainHeight, kViewerTitle, tk::kDefaultPosition,
                            tk::kDefaultPosition, tk::kKeepOption, 0);
  if (v.window < 0) return false;
  w.windows.idactivetextwin = v.window;
  tk::useansitext();
  tk::setwindowsystemclosecallback(closeflag_cancel);
  tk::setwindowtitle(kViewerTitle);

  v.menubar = tk::addmenu("", -1);
  v.file_menu = tk::addmenu("&File", v.menubar);
  v.save_item = tk::addmenuitem("&Save Data", v.file_menu, [shared] { handle_save(*shared); });
  v.separator = tk::addmenuseparator(v.file_menu);
  v.exit_item =
      tk::addmenuitem("E&xit", v.file_menu, [&w, shared] { handle_viewer_quit(w, *shared); });
  tk::setmenuitemshortcut(v.save_item, "Ctrl+S");
  tk::enablemenu(v.file_menu, true);
  tk::enablemenuitem(v.separator, true);
  tk::enablemenuitem(v.save_item, true);
  tk::enablemenuitem(v.exit_item, true);

  tk::setcolor(kBlack);
  tk::setbkcolor(kWhite);
  tk::clearviewport();
  tk::setmatchthemetextstyle();
  v.textbox = tk::createmultilinetextbox(5, 5, 540, 640, false);
  tk::enabletextbox(v.textbox, true);
  // The report is read, not edited; it loads at the end while the view stays at its top.
  tk::settextboxreadonly(v.textbox, true);
  tk::settextboxfont(v.textbox, kFixedPitchFont, kReportTextSize);
  // A curve of a table has a report of its own beside the table.
  const std::string data = trim_right(w.gp.cfilenamepath);
  v.report = w.curve_name.empty() ? report_path(data) : curve_report_path(data, w.curve_name);
  v.pending = kViewerLoad;
  return true;
}

// Closes the report's channel if it is still open.
void close_report(const ResultsViewer& v) {
  if (const int unit = unit_of_file(v.report); unit != 0) close_unit(unit);
}

}  // namespace

void main_multiline_box(MainWindow& w) {
  // Shared with the viewer's callbacks, which may still be starting when the viewer ends.
  auto v = std::make_shared<ResultsViewer>();
  multilinetextbox(w, v);
}

void multilinetextbox(MainWindow& w, const std::shared_ptr<ResultsViewer>& shared) {
  ResultsViewer& v = *shared;
  if (!open_viewer_window(w, shared)) {
    w.viewer_open = false;
    w.pending = kActionViewerOpened;
    tk::stopidle(w.ids.window);
    return;
  }
  // The waits name the viewer's window: the main loop and the main window's commands make the
  // main window current on other threads meanwhile.
  while (v.pending.load() != kViewerClose) {
    if (!tk::isvalidwindow(v.window)) break;
    tk::startidle(kStartIdleMs, v.window);
    with_window(v.window, [] {
      tk::clearviewport();
      tk::refreshall();
    });
    // Each action is done once: a second wake-up without a new action must not load the report
    // into the text box a second time.
    int action = v.pending.load();
    switch (action) {
      case kViewerLoad:
        close_report(v);
        readtext(w, v);
        break;
      case kViewerSave:
        savetext(w, v);
        close_report(v);
        break;
      case kViewerClose:
        break;
      default:
        break;
    }
    if (action == kViewerClose) break;
    v.pending.compare_exchange_strong(action, kActionNone);
    if (!tk::isvalidwindow(v.window)) break;
    tk::loop(v.window);
  }
  // Close the viewer with the main window current, so there is always a current window.
  std::lock_guard lock(window_mutex());
  if (tk::isvalidwindow(w.ids.window)) tk::setcurrentwindow(w.ids.window);
  tk::closewindow(v.window);
  w.windows.idactivetextwin = -1;
}

void readtext(MainWindow& w, ResultsViewer& v) {
  change_to_data_folder(w, v);
  const int unit = std::abs(nuunit());
  if (unit == 0 || !connect_unit(unit, v.report, UnitPosition::kAppend)) return;
  with_window(v.window, [&] { assignunit(v.textbox, unit); });
  // The view loads the file, looks once more after the channel is closed, and ends.
  close_unit(unit);
  with_window(v.window, [&] { tk::enablemenuitem(v.save_item, true); });
}

// The dialogs and the text box are the viewer's, whichever window is current meanwhile.
void savetext(MainWindow& w, ResultsViewer& v) {
  change_to_data_folder(w, v);
  std::string name = text_file_name(v.report);
  if (tk::dlgsavefile(name, "*.txt", "*.txt", "Save Data", v.window) != 1) return;
  std::string text;
  with_window(v.window, [&] {
    const int length = tk::gettextboxlength(v.textbox);
    if (length < 0) return;
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int got = tk::gettextboxcontents(v.textbox, buffer.data(), length + 1);
    text.assign(buffer.data(), static_cast<std::size_t>(std::max(0, got)));
  });
  const int unit = std::abs(nuunit());
  if (const FileWrite written = writelines(unit, name, text); !written) {
    const std::string message =
        "The text could not be saved as\r\n" + utf8_to_cp1252(name) + "\r\n" + written.reason();
    tk::dlgmessage(kErrorBox, message.c_str(), v.window);
  }
}

FileWrite writelines(int unit, const std::string& file, const std::string& text) {
  connect_unit(unit, file, UnitPosition::kReplace);
  const FileWrite written = write_file_atomically(file, trim_right(text) + "\r\n");
  close_unit(unit);
  return written;
}

}  // namespace brx
