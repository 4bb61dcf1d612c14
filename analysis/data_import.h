#pragma once
// Reading a progress-curve data file.
//
//   line 1        [So]            (a negative [So] selects deactivation type 2)
//   line 2..      time, product   (two numbers separated by a comma, blanks, or both)
//   ...
//   end of data   an empty line, a line starting with "#", "'" or '"', or the end of the file;
//                 everything from there on is ignored (notes may follow)
//
// Anything after the values a line needs is ignored. Tables are sized from the file; row 0 of
// every table exists and is not used. Only a regular file is read, a line may hold at most 65536
// characters (TextFile), and a file of more than max_rows data rows is refused: every row adds
// some 3 ms to the fits, so a million rows would take the better part of an hour.

#include <optional>
#include <string>
#include <vector>

#include "base/table.h"

namespace brx {

// The data rows a file may hold unless the caller allows more.
inline constexpr int kDefaultMaxRows = 100000;

// One number as a data file writes it: decimal and exponent forms (2, 2., .5, +0.5, 1.25e-1,
// 1.25E-1, 1.25d-1), nothing before or after it. A number too small for a double is read as the
// nearest one (1e-400 as 0), one too large is refused. nullopt for anything else, NaN and
// infinities included.
std::optional<double> parse_number(std::string token);

// True when a line ends the data: within its first 100 characters, after leading blanks, it is
// empty or starts with "#", "'" or '"'.
bool ends_data(const std::string& line);

// flag := 1 when `name` names an existing file (a relative name is taken in the current folder);
// a name that cannot be looked up for another reason than its absence (no permission) counts as
// existing.
void file_name_exists(const std::string& name, int& flag);

// Reads a data file: P(1..K) the K leading values of line 1 (P(0..K) cleared first), t(1..n) the
// times and y(1..n, column) the product values of the n data rows. The tables are created with
// n usable rows. Throws Stop "EXECUTION L4275" when the file does not exist, Stop "EXCEEDED 5
// PARAMETERS!" when K is outside 1..5, and InputError (file, line number, line) when line 1 does
// not start with K numbers, a data row does not start with two numbers, the file is not a regular
// file or cannot be read (with the system's reason), a line is too long, the data hold more than
// max_rows rows (the message counts them), or memory runs out.
void data_import(const std::string& file, std::vector<double>& P, std::vector<double>& t, Table& y,
                 int K, int column, int& n, int max_rows = kDefaultMaxRows);

// Repairs equal neighbouring times t(1..n) in place (forward pass, backward pass, end pair), then
// multiplies the last time by 1.01 (which may overflow: the run checks). Times still equal after
// the repair throw Stop "Run Aborted!" with the error box "Time values in file must not be equal!
// Program terminated!".
void repair_tied_times(std::vector<double>& t, int n);

// Deactivation type from the sign of [So]: 2 for a negative [So], else 1; [So] becomes its
// magnitude. Returns the run's flagpexp (1 for type 2, else 0).
int deactivation_flag(double& so);

// Too few points for a meaningful comparison of the models.
inline bool too_few_points(int n) {
  return n <= 4;
}

}  // namespace brx
