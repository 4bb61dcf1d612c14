#pragma once
// Choosing the data file: the open dialog, the shared path fields, the working directory and
// the main window's title.

#include <string>

#include "app/main_window.h"

namespace brx {

// Shows the open dialog in the working directory, listing "*.dat" files. On a pick: `chosen` 1,
// `datafile`, gp.cfilenamedata and gp.cfilenamepath the chosen path (its case kept: upper-casing
// a Linux path names another file), gp.cfilename its bare name, gp.cpath the chosen file's
// folder with a trailing "/" (also the new working directory), and the window title the bare
// name. On Cancel: `chosen` 0 and nothing else changes: the file chosen before, its fields and
// the window's title stay.
void openfile(MainWindow& w, std::string& datafile, int& chosen);

}  // namespace brx
