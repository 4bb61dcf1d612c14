#pragma once
// brevantix-kd-batch: the analysis of the desktop program's "Run Analysis" without a window, for
// scripts and for many files at once.
//
//   parse_batch_args  command line -> options, or a usage error
//   analyse_file      one file: run, report beside it, cross-check, its output line (text or
//                     JSON)
//   run_batch         every file, in parallel, output in input order; the exit status

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "cli/csv_summary.h"
#include "cli/run_pictures.h"
#include "crosscheck/deactivation_check.h"
#include "crosscheck/selwyn_fit.h"

namespace brx {

struct BatchOptions {
  bool json = false;  // one JSON object per line and file
  bool plot = false;  // also the plot picture beside each report (run7.bmp, run7.png)
  std::vector<std::string> plot_formats = kDefaultPlotFormats;  // the pictures' formats
  int jobs = 0;                    // files analysed at once; 0 = one per processor core
  int max_rows = kDefaultMaxRows;  // a file of more data rows is refused
  std::string csv;                 // the summary table's file, "-" for standard output, or none
  bool progress = false;           // a progress line on standard error (main: when a terminal)
  bool help = false;
  bool version = false;
  std::vector<std::string> files;
};

// Exit statuses of the command.
inline constexpr int kExitAllAnalysed = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;

// Reads the command line (argv[0] is the program). Returns the usage error when there is one.
std::optional<std::string> parse_batch_args(const std::vector<std::string>& args,
                                            BatchOptions& options);

// The --help text.
std::string batch_usage();

// One file's output: the line for standard output (without its line end) and the messages for
// standard error (complete lines). ok is false when the file could not be analysed or its report
// could not be written. File names and lines from files are shown printable (control characters
// and stray bytes as \xNN) in text, and as valid UTF-8 in JSON. When the file is not analysed or
// its report is not written, the JSON's "report" is null and the message says whether a report
// beside it is left from an earlier run.
struct FileOutcome {
  bool ok = false;
  std::string line;  // a curve-set table's several lines are joined by line ends
  std::string errors;
  std::vector<CsvRow> rows;  // its rows of the summary table
};

// Saves the plot picture of a finished run; returns what went wrong, or an empty text.
using PlotWriter = std::function<std::string(const RunSummary&, const globalsplot&)>;

// Saves a group's Selwyn picture beside the curve-set table `file`; returns what went wrong, or
// an empty text.
using SelwynWriter =
    std::function<std::string(const std::string& file, const crosscheck::SelwynFit& fit)>;

// `threads`: whether the run fits its two models at once (see brevantix_run).
FileOutcome analyse_file(const std::string& file, bool json, const PlotWriter& plot = {},
                         int max_rows = kDefaultMaxRows, ModelThreads threads = ModelThreads::kTwo);

// The verdict of a run in a few words ("significant deactivation likely", ...).
std::string verdict_words(const RunSummary& s);

// The one-line summary of a run and its JSON object (one line, no line end), each with the
// cross-check of the same points.
std::string text_line(const std::string& file, const RunSummary& s,
                      const crosscheck::CrossCheck& cc);
// A curve of a curve-set table (`curve` its name) also carries "set" (the table) and "curve".
std::string json_line(const std::string& file, const RunSummary& s,
                      const crosscheck::CrossCheck& cc, const std::string& curve = {});
// The line of a file, or of the curve `curve` of the table `file`, that was not analysed.
std::string curve_error_json(const std::string& file, const std::string& curve,
                             const std::string& message);

// Analyses every file and writes their lines to `out` in the order of the files, messages to
// `err`; with options.csv also the summary table, written whole at the end (to `out` instead of
// the lines when it is "-"). A file whose report would be another's, or another of the files, is
// refused (report_collisions). Returns the exit status: also 1 when `out` could not be written.
// A file that is_curve_set_table takes for a table is analysed curve by curve with the Selwyn
// fit of each group (curve_set_batch.h), its pictures by `selwyn`.
int run_batch(const BatchOptions& options, std::ostream& out, std::ostream& err,
              const PlotWriter& plot = {}, const SelwynWriter& selwyn = {});

}  // namespace brx
