#pragma once
// Choosing the data file: the open dialog, the shared path fields, the working directory and
// the main window's title.

#include <string>

#include "app/main_window.h"

namespace brx {

inline constexpr const char* kCancelledDataFile = "Brevantix.dat";

// Shows the open dialog in the working directory, listing "*.dat" files. On a pick: `chosen` 1,
// `datafile`, gp.cfilenamedata and gp.cfilenamepath the chosen path (its case kept: upper-casing
// a Linux path names another file), gp.cfilename its bare name, gp.cpath the chosen file's
// folder with a trailing "/" (also the new working directory), and the window title the bare
// name. On Cancel: `chosen` 0, `datafile` "Brevantix.dat", gp.cpath the folder the dialog
// started in, the program's title back; the earlier pick's file fields stay.
void openfile(MainWindow& w, std::string& datafile, int& chosen);

}  // namespace brx
