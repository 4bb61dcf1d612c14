#pragma once
// Choosing the data file: the open dialog, the shared path fields, the working directory and
// the main window's title.

#include <string>

#include "app/main_window.h"

namespace brx {

// The files the open dialog lists besides "*.dat": data files and curve-set tables.
inline constexpr const char* kOpenPatterns = "*.dat;*.csv;*.tsv;*.txt";

// Shows the open dialog in the working directory, listing "*.dat" files (and, as a second
// filter, curve-set tables too). On a pick: `chosen` 1, `datafile`, gp.cfilenamedata and
// gp.cfilenamepath the chosen path (its case kept: upper-casing a Linux path names another file),
// gp.cfilename its bare name, gp.cpath the chosen file's folder with a trailing "/" (also the new
// working directory), and the window title the bare name. A curve-set table (is_curve_set_table)
// is read at once and the user picks the curve to analyse from a list: w.table and w.curve_name
// then hold them (null and empty for a data file) and the title names the curve too. On Cancel:
// `chosen` 0 and nothing else changes: the file chosen before, its fields and the window's title
// stay. A pick in a folder that cannot be entered, a table that cannot be read (the error box
// names the file, line and column) and a cancelled choice of curve are not taken either.
void openfile(MainWindow& w, std::string& datafile, int& chosen);

// Moves the working directory to `folder`. When it cannot be entered, an error box modal to
// `window` names the folder and the reason, and the result is false.
bool enter_data_folder(const std::string& folder, int window);

}  // namespace brx
