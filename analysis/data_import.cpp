#include "analysis/data_import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include "analysis/input_error.h"
#include "base/stop.h"

namespace brx {
namespace {

constexpr std::size_t kTestedWidth = 100;  // only this much of a line decides the end of data
constexpr int kMaxLeadingValues = 5;

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// The lines of a file with their line ends (LF or CR LF) removed and a UTF-8 byte-order mark
// dropped from the first; nullopt when the file cannot be opened.
std::optional<std::vector<std::string>> read_lines(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (in.bad()) return std::nullopt;
  if (!lines.empty() && lines[0].rfind("\xEF\xBB\xBF", 0) == 0) lines[0].erase(0, 3);
  return lines;
}

int rows_to_end_of_data(const std::vector<std::string>& lines) {
  const auto end = std::find_if(lines.begin(), lines.end(), ends_data);
  return static_cast<int>(end - lines.begin());
}

// Reads `count` numbers from the start of a free-format line: values are separated by a comma,
// by blanks (spaces or tabs), or by both. nullopt when the line does not start with that many.
std::optional<std::vector<double>> leading_numbers(const std::string& line, int count) {
  std::vector<double> values;
  std::size_t i = 0;
  while (i < line.size() && is_blank(line[i])) ++i;
  while (static_cast<int>(values.size()) < count) {
    std::size_t j = i;
    while (j < line.size() && !is_blank(line[j]) && line[j] != ',') ++j;
    const auto value = parse_number(line.substr(i, j - i));
    if (!value) return std::nullopt;
    values.push_back(*value);
    i = j;
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i < line.size() && line[i] == ',') {
      ++i;
      while (i < line.size() && is_blank(line[i])) ++i;
    }
  }
  return values;
}

}  // namespace

std::optional<double> parse_number(std::string token) {
  if (token.empty()) return std::nullopt;
  std::replace(token.begin(), token.end(), 'd', 'e');
  std::replace(token.begin(), token.end(), 'D', 'e');
  std::size_t start = token[0] == '+' ? 1 : 0;
  if (start == 1 && (token.size() == 1 || token[1] == '-' || token[1] == '+')) return std::nullopt;
  double value = 0.0;
  const char* first = token.data() + start;
  const char* last = token.data() + token.size();
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool ends_data(const std::string& line) {
  const std::string head = line.substr(0, kTestedWidth);
  const auto first = std::find_if_not(head.begin(), head.end(), is_blank);
  return first == head.end() || *first == '#' || *first == '\'' || *first == '"';
}

void count_file_rows(const std::string& file, int& rows) {
  const auto lines = read_lines(file);
  rows = lines ? rows_to_end_of_data(*lines) : 0;
}

void file_name_exists(const std::string& name, int& flag) {
  std::error_code ec;
  flag = std::filesystem::exists(name, ec) ? 1 : 0;
}

void data_import(const std::string& file, std::vector<double>& P, std::vector<double>& t, Table& y,
                 int K, int column, int& n) {
  if (K < 1 || K > kMaxLeadingValues) throw Stop("EXCEEDED 5 PARAMETERS!");
  int exists = 0;
  file_name_exists(file, exists);
  if (!exists) throw Stop("EXECUTION L4275", Stop::Notice::kStdout, "No data file was found!");

  // The file is read once; the row count and the values come from the same lines.
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) {
    throw InputError(file, 0, "", "is a folder, not a data file");
  }
  const auto lines = read_lines(file);
  if (!lines) throw InputError(file, 0, "", "cannot be opened for reading");
  const int rows = rows_to_end_of_data(*lines);

  if (lines->empty()) throw InputError(file, 0, "", "the file is empty; line 1 must hold [So]");
  if (rows == 0) {
    throw InputError(file, 1, (*lines)[0],
                     "line 1 must hold [So], the initial substrate concentration");
  }
  const auto leading = leading_numbers((*lines)[0], K);
  if (!leading) {
    throw InputError(file, 1, (*lines)[0],
                     K == 1 ? "line 1 must start with [So], the initial substrate concentration"
                            : "line 1 must start with " + std::to_string(K) + " numbers");
  }
  P.assign(static_cast<std::size_t>(K) + 1, 0.0);
  std::copy(leading->begin(), leading->end(), P.begin() + 1);

  n = rows - 1;
  t.assign(static_cast<std::size_t>(n) + 1, 0.0);
  y = Table(n, std::max(column, y.cols()));
  for (int i = 1; i <= n; ++i) {
    const std::string& line = (*lines)[static_cast<std::size_t>(i)];
    const auto pair = leading_numbers(line, 2);
    if (!pair) {
      throw InputError(file, i + 1, line, "expected a time and a product value");
    }
    t[static_cast<std::size_t>(i)] = (*pair)[0];
    y(i, column) = (*pair)[1];
  }
}

void repair_tied_times(std::vector<double>& t, int n) {
  auto at = [&t](int i) -> double& { return t[static_cast<std::size_t>(i)]; };
  // A tie inside the series moves the second time halfway to its successor; a tie at the end
  // moves the first time halfway back to its predecessor.
  for (int i = 1; i <= n - 2; ++i) {
    if (at(i) == at(i + 1)) at(i + 1) = (at(i + 1) + at(i + 2)) / 2.0;
  }
  for (int i = n; i >= 3; --i) {
    if (at(i) == at(i - 1)) at(i - 1) = (at(i - 1) + at(i - 2)) / 2.0;
  }
  if (n >= 3 && at(n - 2) == at(n - 1)) at(n - 1) = (at(n - 1) + at(n)) / 2.0;
  // The last time always grows by 1 %, whether or not a tie was found.
  if (n >= 1) at(n) *= 1.01;
  for (int i = 1; i <= n - 1; ++i) {
    if (at(i) == at(i + 1)) {
      throw Stop("Run Aborted!", Stop::Notice::kErrorBox,
                 "Time values in file must not be equal! Program terminated!");
    }
  }
}

int deactivation_flag(double& so) {
  if (so < 0) {
    so = std::fabs(so);
    return 1;
  }
  return 0;
}

}  // namespace brx
