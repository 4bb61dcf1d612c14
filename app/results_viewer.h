#pragma once
// The results viewer: a second window showing the report of the last run in a scrollable text
// box, with "Save Data" (the text as a .txt file) and "Exit".
//
//   main_multiline_box  open the viewer; returns when the user chooses Exit
//   multilinetextbox    the viewer's window and its own loop
//   readtext            load the report into the text box through the live file view
//   savetext            ask for a .txt name and write the text box's text there
//   writelines          write one text to a file, replacing what it held

#include <atomic>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "base/atomic_file.h"

namespace brx {

inline constexpr const char* kViewerTitle = "Brevantix Results";

// Pending actions of the viewer's loop.
inline constexpr int kViewerClose = 0;
inline constexpr int kViewerLoad = 1;
inline constexpr int kViewerSave = 2;

struct ResultsViewer {
  int window = -1;
  int menubar = -1, file_menu = -1, save_item = -1, separator = -1, exit_item = -1;
  int textbox = -1;
  std::atomic<int> pending{kViewerLoad};
  std::string report;  // the report file shown
};

// Opens the viewer for the main window `w`; returns after its Exit.
void main_multiline_box(MainWindow& w);
void multilinetextbox(MainWindow& w, const std::shared_ptr<ResultsViewer>& v);

// Loads the report into the text box (the report is created empty when it is missing).
void readtext(MainWindow& w, ResultsViewer& v);
// Saves the text box's text under a name the user confirms (".txt" proposed).
void savetext(MainWindow& w, ResultsViewer& v);
// Writes `text`, trailing blanks removed, and one line end to `file` through channel `unit`,
// replacing the file whole (write_file_atomically), so it is never left half written. The result
// says why when it cannot be written.
FileWrite writelines(int unit, const std::string& file, const std::string& text);

}  // namespace brx
