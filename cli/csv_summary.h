#pragma once
// The summary table of a batch (--csv): one row per data file, per curve of a curve-set table and
// per group of such curves fitted together, as RFC 4180 CSV that a spreadsheet opens as it is.
//
//   CsvRow            one row: the cells of the columns it has, by column name
//   csv_columns       the header, in order
//   csv_text          the header and the rows as CSV text (CR LF line ends, quoted cells)
//   csv_run_row       a file or curve that was analysed: the run's figures and the cross-check's
//   csv_error_row     a file or curve that was not, and why
//   csv_group_row     a group's global fit

#include <map>
#include <string>
#include <vector>

#include "analysis/brevantix_run.h"
#include "crosscheck/deactivation_check.h"
#include "crosscheck/selwyn_fit.h"

namespace brx {

// Cells by column name (csv_columns); a column a row does not have is empty. Numbers carry all
// their digits, as the JSON lines do; a figure that does not exist is an empty cell.
using CsvRow = std::map<std::string, std::string>;

const std::vector<std::string>& csv_columns();

// The header line and one line per row. Text is kept as it is but made valid UTF-8; a cell
// holding a comma, a quote, a line end or a leading or trailing blank is quoted, its quotes
// doubled.
std::string csv_text(const std::vector<CsvRow>& rows);

// kind "file" for a data file (`curve` empty), "curve" for a curve of the table `file`.
CsvRow csv_run_row(const std::string& file, const std::string& curve, const RunSummary& s,
                   const std::string& verdict, const crosscheck::CrossCheck& cc);
CsvRow csv_error_row(const std::string& file, const std::string& curve, const std::string& error);
CsvRow csv_group_row(const std::string& file, const crosscheck::SelwynFit& fit);

}  // namespace brx
