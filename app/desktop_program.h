#pragma once
// The desktop program's entry: the window toolkit on the main thread, the program on its own
// thread, and how a stop of the analysis ends the process.
//
//   run_desktop_program  the whole program; returns the exit status
//   desktop_main         the program thread's part (plot_embeded and the stop handling)
//   report_stop          tell the user about a stop of the analysis

#include <iosfwd>

#include "app/main_window.h"
#include "base/stop.h"

namespace brx {

// Status 0 after Quit; 1 after a stop of the analysis or an unexpected error.
int run_desktop_program(int argc, char** argv);

// Runs the main window `w` until Quit or a stop; call it on the toolkit's program thread, with
// `w` living until the toolkit has ended every callback.
int desktop_main(MainWindow& w);

// The error box (when the stop asks for one, modal to `window`) or the message on `out` (with an
// empty line before and after it), then "STOP <text>" on `err`.
void report_stop(const Stop& stop, int window, std::ostream& out, std::ostream& err);

}  // namespace brx
