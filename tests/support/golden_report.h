#pragma once
// Expected reports kept as text files: the lines are stored with LF ends (readable in any editor)
// and the date and elapsed-time lines, which differ from run to run, are masked on both sides.

#include <filesystem>
#include <regex>
#include <string>

#include "tests/support/temp_dir.h"

namespace brx::test {

// An expected report: the golden file's lines with the report's CR LF ends.
inline std::string golden_report(const std::filesystem::path& file) {
  return std::regex_replace(TempDir::read(file), std::regex("\n"), "\r\n");
}

// A report with its date and elapsed-time lines replaced by "(masked)".
inline std::string masked_report(const std::string& report) {
  const std::string dated = std::regex_replace(report, std::regex("\r\n The date is [^\r]*\r\n"),
                                               "\r\n The date is (masked)\r\n");
  return std::regex_replace(dated, std::regex("\r\n Elapsed time=[^\r]*\r\n"),
                            "\r\n Elapsed time= (masked)\r\n");
}

}  // namespace brx::test
