#pragma once
// The report written beside the data file: the data path with its last three characters replaced
// by "out" (run7.dat -> run7.out). Lines end with CR LF. One of three bodies:
//
//   kFull          the models, kd, the AICc values, F and its p-value, Welch's t, the conclusion
//   kTooFewPoints  "CURVE-FIT ANALYSIS ABORTED!" and the layout of an example data file
//   kAbortedFit    "CURVE-FIT ANALYSIS ABORTED!" and advice on the start values

#include <ctime>
#include <string>

#include "analysis/comparison.h"
#include "base/atomic_file.h"

namespace brx {

enum class ReportBody { kFull, kTooFewPoints, kAbortedFit };

struct ReportInput {
  ReportBody body = ReportBody::kFull;
  int flagpexp = 0;      // 1: deactivation type 2
  Comparison stats;      // figures and decisions; kd and its p-value included
  int ithr2 = 0;         // threshold status of Model 2's last regression pass
  double elapsed = 0;    // processor seconds of the run
  std::time_t when = 0;  // the date line's local time
};

// The report path for a data file: its last three characters become "out" (UTF-8 characters: a
// multi-byte one is cut whole). The cut never reaches into the folder part: a file name of fewer
// than three characters gives "out" in the same folder.
std::string report_path(const std::string& data_path);

// The date line's field: "Sun Dec  6 15:36:35 2026" and six blanks (30 characters).
std::string report_date(std::time_t when);

// The whole report as it goes into the file.
std::string report_text(const ReportInput& in);

// Replaces the report at `path` with `text` in one step (write_file_atomically): a reader never
// sees half a report; on failure nothing is left behind and the result says why.
FileWrite write_report(const std::string& path, const std::string& text);

}  // namespace brx
