#include "analysis/data_import.h"

#include <locale.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "analysis/input_error.h"
#include "analysis/text_file.h"
#include "base/stop.h"

namespace brx {
namespace {

constexpr std::size_t kTestedWidth = 100;  // only this much of a line decides the end of data
constexpr int kMaxLeadingValues = 5;

bool is_blank(char c) {
  return c == ' ' || c == '\t';
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

// The C locale, made once and never changed: a data file's numbers read the same whatever locale
// the program runs in.
locale_t c_numeric_locale() {
  static const locale_t c = ::newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

// The data rows still to come, up to the end of the data; only counted, never held.
int rows_left(TextFile& in) {
  int rows = 0;
  for (std::string line; in.next(line) && !ends_data(line);) ++rows;
  return rows;
}

// The mean of two neighbouring times. Written (a + b) / 2, as the repair is; halved first only
// where the sum would overflow, which gives the same double wherever the sum does not.
double mean_of(double a, double b) {
  const double mean = (a + b) / 2.0;
  return std::isfinite(mean) ? mean : a / 2.0 + b / 2.0;
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
  if (ptr != last) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // Too small for a double is read as the nearest one, 0 or a denormal, as a Fortran read
    // does; too large is refused. The C locale's strtod tells the two apart (the program's own
    // locale may write numbers with a decimal comma).
    const std::string digits(first, last);
    char* end = nullptr;
    value = ::strtod_l(digits.c_str(), &end, c_numeric_locale());
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
  }
  if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool ends_data(const std::string& line) {
  const std::string head = line.substr(0, kTestedWidth);
  const auto first = std::find_if_not(head.begin(), head.end(), is_blank);
  return first == head.end() || *first == '#' || *first == '\'' || *first == '"';
}

void file_name_exists(const std::string& name, int& flag) {
  // Only a name that is known not to be there counts as missing: a file that cannot be looked at
  // (a folder without search permission) is not reported as absent.
  struct stat s {};
  flag = ::stat(name.c_str(), &s) == 0 || (errno != ENOENT && errno != ENOTDIR) ? 1 : 0;
}

void data_import(const std::string& file, std::vector<double>& P, std::vector<double>& t, Table& y,
                 int K, int column, int& n, int max_rows) {
  if (K < 1 || K > kMaxLeadingValues) throw Stop("EXCEEDED 5 PARAMETERS!");
  auto in = TextFile::open(file);
  if (!in) throw Stop("EXECUTION L4275", Stop::Notice::kStdout, "No data file was found!");

  // One pass: the values are read as the rows are counted, and nothing after the end of the data
  // is read at all.
  try {
    std::string line;
    if (!in->next(line)) throw InputError(file, 0, "", "the file is empty; line 1 must hold [So]");
    if (ends_data(line)) {
      throw InputError(file, 1, line, "line 1 must hold [So], the initial substrate concentration");
    }
    const auto leading = leading_numbers(line, K);
    if (!leading) {
      throw InputError(file, 1, line,
                       K == 1 ? "line 1 must start with [So], the initial substrate concentration"
                              : "line 1 must start with " + std::to_string(K) + " numbers");
    }
    std::vector<double> times, products;
    while (in->next(line) && !ends_data(line)) {
      if (static_cast<int>(times.size()) >= max_rows) {
        const long long rows = static_cast<long long>(times.size()) + 1 + rows_left(*in);
        throw InputError(file, 0, "",
                         "holds " + std::to_string(rows) + " data rows, more than the " +
                             std::to_string(max_rows) + " that are analysed at most");
      }
      const auto pair = leading_numbers(line, 2);
      if (!pair)
        throw InputError(file, in->line_number(), line, "expected a time and a product value");
      times.push_back((*pair)[0]);
      products.push_back((*pair)[1]);
    }
    P.assign(static_cast<std::size_t>(K) + 1, 0.0);
    std::copy(leading->begin(), leading->end(), P.begin() + 1);
    n = static_cast<int>(times.size());
    t.assign(static_cast<std::size_t>(n) + 1, 0.0);
    std::copy(times.begin(), times.end(), t.begin() + 1);
    y = Table(n, std::max(column, y.cols()));
    for (int i = 1; i <= n; ++i) y(i, column) = products[static_cast<std::size_t>(i - 1)];
  } catch (const std::bad_alloc&) {
    throw InputError(file, 0, "", "there is not enough memory to read it");
  }
}

void repair_tied_times(std::vector<double>& t, int n) {
  auto at = [&t](int i) -> double& { return t[static_cast<std::size_t>(i)]; };
  // A tie inside the series moves the second time halfway to its successor; a tie at the end
  // moves the first time halfway back to its predecessor.
  for (int i = 1; i <= n - 2; ++i) {
    if (at(i) == at(i + 1)) at(i + 1) = mean_of(at(i + 1), at(i + 2));
  }
  for (int i = n; i >= 3; --i) {
    if (at(i) == at(i - 1)) at(i - 1) = mean_of(at(i - 1), at(i - 2));
  }
  if (n >= 3 && at(n - 2) == at(n - 1)) at(n - 1) = mean_of(at(n - 1), at(n));
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
