#pragma once
// One whole analysis of one data file, and what it found.

#include <array>
#include <iostream>
#include <string>
#include <vector>

#include "analysis/comparison.h"
#include "analysis/curve_set_table.h"
#include "analysis/data_import.h"
#include "analysis/globalsplot.h"
#include "analysis/report.h"
#include "base/table.h"

namespace brx {

// One model's fitted parameters and the statuses of its last regression pass. Parameters are on
// the normalised scale: p[1] Km, p[2] Vmax, p[3] [Po], p[4] kd (0 for Model 2), p[5] [So].
struct ModelFit {
  std::array<double, 6> p{};
  double ssr = 0;  // residual sum of squares, unit weights
  double se = 0;   // residual standard error
  int ierr = 0;    // regression error status (0 fitted, 6 failed)
  int ithr = 0;    // threshold status (3: iteration limit used up)
};

// What one run found: its figures, what became of its report, and the tables it publishes for
// the plot.
struct RunSummary {
  std::string data_path;    // full path of the data file
  std::string report_path;  // full path of the report
  bool report_written = false;
  std::string report_error;  // why the report could not be written (the system's words)
  ReportBody body = ReportBody::kFull;
  bool fitted = false;  // false when the data could not be fitted at all (see body)
  int n = 0;            // data points
  int flagpexp = 0;     // 1: deactivation type 2
  double tmax = 1;      // the divisors of the normalisation, in the file's own units: the
  double ymax = 1;      //   largest time (after the 1 % stretch) and the largest product
  ModelFit model1, model2;
  Comparison stats;        // AICc, F, p-values, Welch; kd and its p-value
  double cpu_seconds = 0;  // processor time of the fits and statistics, summed over both
                           // threads when the models were fitted at once
  // The points as imported, in the file's own units, for analyses that fit them as recorded:
  // tied times repaired, nothing else (no 1 % stretch of the last time, no normalisation, no
  // replacement of values <= 0). Element 0 is the first point.
  std::vector<double> t_raw, y_raw;
  double so_raw = 0;  // [So] of line 1, with its sign

  // Published for the plot: the normalised data and both fitted curves, rows 1..n8 of
  //
  //   x8(i, j)  normalised times          column j = 1 Model 1, j = 2 Model 2 (the times and
  //   y8(i, j)  normalised observations     observations are the same in both columns)
  //   z8(i, j)  the fitted curve
  //
  // and the plot's title and axis labels as the run leaves them (the title, no labels).
  int n8 = 0;
  Table x8, y8, z8;
  std::string title8;                 // 100 characters at most
  std::array<std::string, 2> label8;  // 50 characters at most
};

// Why run `s` gave no curves to plot, in a few words ("too few data points", "the fit failed",
// "no positive time or product"); empty when it gave them.
std::string missing_curves_reason(const RunSummary& s);

// How the two models are fitted: at once, Model 2 on a thread of its own while Model 1 runs on
// the caller's, or one after the other on the caller's thread. The figures are the same to the
// last bit; one thread suits callers that already keep every processor busy (the batch command
// analysing as many files at once as there are cores).
enum class ModelThreads { kTwo, kOne };

// Analyses one data file: imports and repairs it, normalises times and products to their largest
// values, fits Model 1 (deactivation) and Model 2 (classical), each by a simplex estimate and two
// regression passes, compares them, writes the report beside the data file and publishes the
// normalised data and both curves in the summary (n8, x8, y8, z8, title8, label8) and the legend
// labels in gp. Each run fits in a fit context (nrtype) of its own; with ModelThreads::kTwo Model
// 2 is fitted on a second thread in a copy of it. A relative path is taken in
// gp.cpath when that is set, else in the current folder; the working directory is never changed.
// The three lines about a masked [Po] go to `notes`. A file of more than max_rows data rows is
// refused. Throws InputError, and Stop ("EXECUTION L4275", "Run Aborted!", or one from the fitting
// engine) before any report is written; "EXECUTION L1286", a data file gone by the end of the
// run, comes after its report.
RunSummary brevantix_run(const std::string& data_file, globalsplot& gp,
                         std::ostream& notes = std::cout, int max_rows = kDefaultMaxRows,
                         ModelThreads threads = ModelThreads::kTwo);

// The longest part of a curve's name that goes into its report's name, in bytes.
inline constexpr std::size_t kCurveNameBytes = 64;

// The report of the curve named `curve_name` of the table `table_file`: beside the table, named
// for the table without its extension, a hyphen and the curve's name with every character but
// letters, digits, "-", "_", "." and "+" replaced by "_", cut after 64 bytes (plate.csv, curve
// "A1" -> plate-A1.out; curve "E0 = 0.5 µM" -> plate-E0___0.5__M.out).
std::string curve_report_path(const std::string& table_file, const std::string& curve_name);

// Analyses one curve of a curve-set table as brevantix_run analyses a data file, and writes its
// report to curve_report_path(table.file, curve.name). The summary's data_path is the table's;
// a message about a time names the table's line of that point.
RunSummary brevantix_run_curve(const CurveSetTable& table, const TableCurve& curve, globalsplot& gp,
                               std::ostream& notes = std::cout,
                               ModelThreads threads = ModelThreads::kTwo);

}  // namespace brx
