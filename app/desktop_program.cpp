#include "app/desktop_program.h"

#include <array>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "analysis/globalsplot.h"
#include "app/file_channels.h"
#include "app/live_file_view.h"
#include "app/main_window.h"
#include "app/window_guard.h"
#include "base/program_folder.h"
#include "base/version.h"
#include "toolkit/toolkit.h"

namespace brx {

void report_stop(const Stop& stop, int window, std::ostream& out, std::ostream& err) {
  switch (stop.notice()) {
    case Stop::Notice::kErrorBox:
      toolkit::dlgmessage(3, stop.message().c_str(), window);
      break;
    case Stop::Notice::kStdout:
      out << "\n" << stop.message() << "\n\n" << std::flush;
      break;
    case Stop::Notice::kNone:
      break;
  }
  err << "STOP " << stop.text() << "\n" << std::flush;
}

int desktop_main(MainWindow& w) {
  const std::array<std::string, 2> labels = {kInitialXLabel, kInitialYLabel};
  int status = 0;
  try {
    plot_embeded(w, labels, kInitialTitle);
  } catch (const Stop& stop) {
    report_stop(stop, w.ids.window, std::cout, std::cerr);
    status = 1;
  } catch (const std::exception& e) {
    const std::string text =
        std::string("Brevantix-kd stopped after an unexpected error:\r\n") + e.what();
    toolkit::dlgmessage(3, text.c_str(), w.ids.window);
    std::cerr << "brevantix-kd: " << e.what() << "\n";
    status = 1;
  }
  // Views still loading end once their channels are closed.
  close_all_units();
  join_live_views();
  // After a stop the main window is still open (it owned the error box). It refuses the title
  // bar's close request, and a window that refuses to close would keep the event loop from
  // ending, so it is closed here.
  {
    std::lock_guard lock(window_mutex());
    toolkit::closewindow(toolkit::kAllWindows);
  }
  return status;
}

namespace {

constexpr const char* kUsage =
    "Usage: brevantix-kd\n"
    "\n"
    "Opens the Brevantix-kd main window: choose a progress-curve data file with\n"
    "File > Open Data File, analyse it with Run Analysis, and read the report with\n"
    "Display Results. The program needs a display; to analyse files without one,\n"
    "use brevantix-kd-batch.\n"
    "\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n";

// The program's icon as it lies beside the program: <prefix>/bin and <prefix>/share/icons when
// installed, build/app and build/share/icons in the build tree.
std::vector<std::string> icon_files() {
  const std::filesystem::path icons =
      std::filesystem::path(executable_folder()) / ".." / "share" / "icons" / "hicolor";
  const std::string id = BRX_APP_ID;
  std::vector<std::string> files;
  for (const char* place : {"scalable/apps/", "256x256/apps/", "48x48/apps/"}) {
    const std::string extension = place[0] == 's' ? ".svg" : ".png";
    files.push_back((icons / (place + id + extension)).lexically_normal().string());
  }
  return files;
}

// Whether the windowing layer can find a screen: an X11 or Wayland display, or a platform the
// user chose (such as the off-screen one).
bool display_available() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

int run_desktop_program(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (a == "--version") {
      std::cout << "brevantix-kd " << kVersion << "\n";
      return 0;
    }
  }
  if (!display_available()) {
    std::cerr << "brevantix-kd: no display to open the window on (DISPLAY is not set).\n"
                 "Start it in a desktop session or under xvfb-run, or analyse the files with "
                 "brevantix-kd-batch.\n";
    return 1;
  }
  // The records outlive every callback thread: the toolkit joins them before it returns.
  globalsplot gp;
  MainWindow w(gp);
  // The desktop shell then shows the program's menu entry and icon for its windows.
  toolkit::setapplicationidentity(BRX_APP_ID, icon_files());
  return toolkit::run_toolkit_program(argc, argv, [&w] { return desktop_main(w); });
}

}  // namespace brx
