#pragma once
// The plot leaving the program as lines and text: "Print Screen" and "Save Plot As...". Both draw
// the main window's picture anew, as the plot view draws it, instead of copying its pixels.
//
//   print_plot        "Print Screen": the picture drawn at the printer's resolution
//   saveplot          "Save Plot As...": PNG, SVG or PDF by the name's extension
//   plot_file_format  the format a chosen name asks for

#include <string>

#include "app/main_window.h"

namespace brx {

// Prints the main window's picture (from (0, 0) to its viewport's right and bottom edges, as Save
// Screen saves it) after the print dialog, drawn on the printer's page; a failure is named in an
// error box.
void print_plot(MainWindow& w);

// Asks for a file name and saves the main window's picture there: a PNG of its pixels, or an SVG
// image or a one-page PDF document drawn as lines and text. A name without an extension gets
// ".png"; a failure, or an extension of another kind, is named in an error box.
void saveplot(MainWindow& w);

// "png", "svg" or "pdf" for a name ending in that extension (in any letter case); a name whose
// file name has no "." gets ".png" appended; "" for any other extension.
std::string plot_file_format(std::string& name);

}  // namespace brx
