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
// the window's title stay. A pick in a folder that cannot be entered is named with the reason
// in an error box and is not taken: nothing changes, as on Cancel.
void openfile(MainWindow& w, std::string& datafile, int& chosen);

// Moves the working directory to `folder`. When it cannot be entered, an error box modal to
// `window` names the folder and the reason, and the result is false.
bool enter_data_folder(const std::string& folder, int window);

}  // namespace brx
