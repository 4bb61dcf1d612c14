#pragma once
// A curve-set table in the batch: every curve analysed as a data file is (its report
// plate-A1.out beside the table) and cross-checked, then each group of curves sharing [So] fitted
// together (the Selwyn fit), with a Selwyn picture per group when pictures are asked for.
//
//   analyse_table        one table: a line per curve, then a line per group
//   selwyn_json_line     a group's JSON line (in batch.cpp, beside the JSON writer)
//   selwyn_text_line     a group's one-line summary
//   selwyn_picture_of    a group's Selwyn plot in the plot's plain values
//   selwyn_picture_path  its picture beside the table (plate.csv -> plate-selwyn-100.png)

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "crosscheck/selwyn_fit.h"
#include "plot/selwyn_picture.h"

namespace brx {

// The table `file` analysed curve by curve on up to `jobs` threads, then group by group. Its
// outcome holds one output line per curve and per group (joined by line ends), the summary
// table's rows in the same order and every message; ok only when every curve's report (and
// picture) was written. A table that cannot be read is one error line. Curves whose reports
// would be the same file are refused after the first.
FileOutcome analyse_table(const std::string& file, bool json, int max_rows, std::size_t jobs,
                          const PlotWriter& plot = {}, const SelwynWriter& selwyn = {});

std::string selwyn_json_line(const std::string& file, const std::vector<crosscheck::SetCurve>& set,
                             const std::vector<std::size_t>& group,
                             const crosscheck::SelwynFit& fit);
std::string selwyn_text_line(const std::string& file, const crosscheck::SelwynFit& fit);

// The title names [So] and the verdict; the legend each curve and its [E]0 (in the pictures'
// single-byte text: characters beyond ASCII become "?").
SelwynPicture selwyn_picture_of(const crosscheck::SelwynFit& fit);

std::string selwyn_picture_path(const std::string& file, double so, const std::string& extension);

}  // namespace brx
