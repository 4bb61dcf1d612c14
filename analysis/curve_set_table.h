#pragma once
// Reading a curve-set table: one reaction recorded in several wells or cuvettes, one column per
// curve, as plate readers export them.
//
//   Time ; A1    ; A2    ; B1        row 1: the time column's name, then the curves' names
//   So   ; 100   ; 100   ; -50       [So] of each curve (a negative one: deactivation type 2)
//   E0   ; 0,5   ; 1     ; 1         enzyme concentration of each curve, any unit, > 0
//   0    ; 0,02  ; 0,01  ; 0,00      data rows: the time, then each curve's product; an empty
//   3    ; 1,31  ;       ; 2,96        cell is a missing point of that curve only
//   ...
//                                     an empty row (or one of empty cells, or a "#" row) ends the
//   notes may follow                  data; everything from there on is ignored
//
// The separator is a comma, a semicolon or a tab, whichever row 1 holds (a tab before a semicolon
// before a comma); the file's name does not matter. Numbers are written as in a data file
// (parse_number), and with a semicolon or a tab between cells also with a decimal comma (0,5).
// Cells may be quoted ("A1", "say ""hi"""), and a quoted cell may hold separators and line ends.
// The So and E0 rows follow row 1, in either order; their first cells may also read S0, [So],
// Eo or [E]0, in any case. Lines end with LF, CR LF or CR; a UTF-8 byte-order mark is skipped.
// The limits of a data file hold here too: a regular file, lines (and quoted cells) of at most
// 65536 characters, at most max_rows data rows.

#include <string>
#include <vector>

#include "analysis/data_import.h"
#include "base/table.h"

namespace brx {

// One curve of a table, as written.
struct TableCurve {
  std::string name;
  int column = 0;  // its column in the file; the time column is column 1
  double so = 0;   // [So] with its sign: a negative one asks for deactivation type 2
  double e0 = 0;   // enzyme concentration, > 0
  // Its points in row order, missing cells left out: the times and products as written, and the
  // line of the file each comes from.
  std::vector<double> t, y;
  std::vector<int> lines;
  // The times as the analyses fit the points as recorded: equal neighbours repaired as a run
  // repairs a data file's (repair_tied_times), the last time not stretched.
  std::vector<double> t_raw;
};

struct CurveSetTable {
  std::string file;
  char separator = ',';
  std::string time_name;  // the first cell of row 1
  std::vector<TableCurve> curves;
};

// Reads a curve-set table. Throws InputError naming the file, the line and, for a cell, its
// column and text when the file cannot be read, row 1 does not name the curves (an empty name, a
// name given twice), the So or E0 row is missing or holds a cell that is not a number (an [So]
// of 0, an E0 of 0 or less), a data row has no time, a time earlier than the one above it or a
// cell that is not a number, a cell lies beyond the named columns, no data row follows, or a
// curve's times stay equal after the repair of ties; also when the file is not a regular file or
// cannot be read, a line or quoted cell is too long, the data hold more than max_rows rows, or
// memory runs out.
CurveSetTable read_curve_set_table(const std::string& file, int max_rows = kDefaultMaxRows);

// A curve laid out as data_import lays out a data file, so that a run can take it in place of
// one: P(1) = [So] with its sign (P(0) = 0), t(1..n) the times and y(1..n, column) the products,
// as written; row 0 unused.
void import_curve(const TableCurve& curve, std::vector<double>& P, std::vector<double>& t, Table& y,
                  int column, int& n);

// True when `file` is to be read as a curve-set table rather than as a data file: its name ends
// in .csv or .tsv (in any case), or its first line does not start with a number (a data file's
// starts with [So]) but holds a tab, a semicolon or a comma. False for a file that cannot be read.
bool is_curve_set_table(const std::string& file);

}  // namespace brx
