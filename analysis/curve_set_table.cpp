#include "analysis/curve_set_table.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>
#include <optional>
#include <sstream>
#include <utility>

#include "analysis/data_import.h"
#include "analysis/input_error.h"
#include "analysis/text_file.h"
#include "base/stop.h"
#include "base/utf8_text.h"

namespace brx {
namespace {

// One cell of a record: its text (quotes removed), whether it was quoted, and the line it starts
// on.
struct Cell {
  std::string text;
  bool quoted = false;
  int line = 0;
};

struct Record {
  int line = 0;  // where it starts
  std::vector<Cell> cells;
  bool empty() const {
    return std::all_of(cells.begin(), cells.end(), [](const Cell& c) { return c.text.empty(); });
  }
};

// Opens a table for reading, lone CRs ending lines as LFs do.
TextFile open_table(const std::string& file) {
  auto in = TextFile::open(file, TextFile::LineEnds::kLfOrCr);
  if (!in) throw InputError(file, 0, "", "no such file");
  return std::move(*in);
}

// The separator of the table: the first of tab, semicolon and comma that row 1 holds outside
// quotes; 0 when it holds none. Row 1 is read from the start of the file, over as many lines as
// a quoted name spans (but no further than one line's length), and the file is rewound.
char detect_separator(TextFile& in) {
  bool quoted = false, tab = false, semicolon = false, comma = false;
  std::size_t seen = 0;
  for (std::string line; (seen == 0 || quoted) && seen <= kMaxLineLength && in.next(line);) {
    seen += line.size() + 1;
    for (const char ch : line) {
      if (ch == '"') quoted = !quoted;  // "" inside a quoted cell toggles twice
      if (quoted) continue;
      tab = tab || ch == '\t';
      semicolon = semicolon || ch == ';';
      comma = comma || ch == ',';
    }
  }
  in.rewind();
  return tab ? '\t' : semicolon ? ';' : comma ? ',' : 0;
}

bool is_space(char ch, char sep) {
  return ch == ' ' || (ch == '\t' && sep != '\t');
}

// Cuts the lines of a table into records of cells (RFC 4180 quoting), one record at a time: only
// the record being read is held. A quoted cell may run over several lines, up to
// kMaxLineLength characters. Spaces around a cell are dropped, spaces inside quotes kept.
class RecordReader {
 public:
  RecordReader(TextFile& in, char sep) : in_(in), sep_(sep) {}

  // The next record; false at the end of the file.
  bool next(Record& r) {
    if (!in_.next(line_)) return false;
    at_ = 0;
    r.line = in_.line_number();
    r.cells.clear();
    for (bool more = true; more;) {
      Cell c;
      skip_spaces();
      c.line = in_.line_number();
      if (at_ < line_.size() && line_[at_] == '"') {
        quoted_cell(c, r);
      } else {
        while (at_ < line_.size() && line_[at_] != sep_) c.text += line_[at_++];
        while (!c.text.empty() && is_space(c.text.back(), sep_)) c.text.pop_back();
      }
      r.cells.push_back(std::move(c));
      more = at_ < line_.size() && line_[at_] == sep_;
      ++at_;  // past the separator
    }
    return true;
  }

 private:
  void skip_spaces() {
    while (at_ < line_.size() && is_space(line_[at_], sep_)) ++at_;
  }

  void quoted_cell(Cell& c, const Record& r) {
    c.quoted = true;
    for (++at_;; ++at_) {
      if (at_ >= line_.size()) {  // the cell goes on on the next line
        if (!in_.next(line_)) {
          throw InputError(in_.path(), c.line, "", "a quoted cell is not closed");
        }
        at_ = 0;
        c.text += '\n';
      }
      if (c.text.size() > kMaxLineLength) {
        throw InputError(in_.path(), c.line, "",
                         "a quoted cell is longer than " + std::to_string(kMaxLineLength) +
                             " characters (is a closing quote missing?)");
      }
      if (at_ >= line_.size()) continue;
      if (line_[at_] == '"') {
        if (at_ + 1 < line_.size() && line_[at_ + 1] == '"') {
          c.text += '"';
          ++at_;
          continue;
        }
        ++at_;
        break;
      }
      c.text += line_[at_];
    }
    skip_spaces();
    if (at_ < line_.size() && line_[at_] != sep_) {
      throw InputError(in_.path(), in_.line_number(), c.text,
                       "column " + std::to_string(r.cells.size() + 1) +
                           ": text after the closing quote of a cell");
    }
  }

  TextFile& in_;
  char sep_;
  std::string line_;
  std::size_t at_ = 0;
};

// A cell's number: as a data file writes it, and with a decimal comma when the cells are
// separated by semicolons or tabs.
std::optional<double> cell_number(std::string text, char sep) {
  if (sep != ',' && std::count(text.begin(), text.end(), ',') == 1 &&
      text.find('.') == std::string::npos) {
    std::replace(text.begin(), text.end(), ',', '.');
  }
  return parse_number(text);
}

std::string lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

// Which of the two rows after the names a first cell announces.
enum class Row { kSo, kE0, kOther };

Row row_kind(const Cell& first) {
  std::string key = lower(first.text);
  key.erase(std::remove_if(key.begin(), key.end(), [](char ch) { return ch == '[' || ch == ']'; }),
            key.end());
  if (key == "so" || key == "s0") return Row::kSo;
  if (key == "e0" || key == "eo") return Row::kE0;
  return Row::kOther;
}

bool ends_table(const Record& r) {
  return r.empty() || (!r.cells.front().quoted && r.cells.front().text.rfind('#', 0) == 0);
}

class Reader {
 public:
  Reader(std::string file, char sep) : file_(std::move(file)), sep_(sep) {}

  [[noreturn]] void fail(const Cell& c, std::size_t col, const std::string& reason) const {
    std::string where = "column " + std::to_string(col + 1);
    if (col >= 1 && col - 1 < names_.size()) {
      where += " (" + excerpt(names_[col - 1], InputError::kQuotedCharacters) + ")";
    }
    throw InputError(file_, c.line, c.text, where + ": " + reason);
  }

  void names(const Record& r, CurveSetTable& out) {
    std::vector<Cell> cells = r.cells;
    while (cells.size() > 1 && cells.back().text.empty()) cells.pop_back();
    if (cells.size() < 2) {
      throw InputError(file_, r.line, cells.front().text,
                       "row 1 must name the time column and then each curve, separated by "
                       "commas, semicolons or tabs");
    }
    out.time_name = cells.front().text;
    for (std::size_t j = 1; j < cells.size(); ++j) {
      const std::string& name = cells[j].text;
      if (name.empty()) fail(cells[j], j, "the curve has no name");
      const auto same = std::find(names_.begin(), names_.end(), name);
      if (same != names_.end()) {
        fail(cells[j], j,
             "the name is also that of column " +
                 std::to_string(static_cast<std::size_t>(same - names_.begin()) + 2));
      }
      names_.push_back(name);
      TableCurve c;
      c.name = name;
      c.column = static_cast<int>(j) + 1;
      out.curves.push_back(std::move(c));
    }
  }

  // Cells beyond the named columns must be empty.
  void check_width(const Record& r) const {
    for (std::size_t j = names_.size() + 1; j < r.cells.size(); ++j) {
      if (!r.cells[j].text.empty()) fail(r.cells[j], j, "a value beyond the last named column");
    }
  }

  double number(const Cell& c, std::size_t col, const char* what) const {
    const auto v = cell_number(c.text, sep_);
    if (!v) fail(c, col, std::string("expected ") + what);
    return *v;
  }

  // The So or E0 row: one number for every curve.
  void constants(const Record& r, Row kind, CurveSetTable& out) const {
    check_width(r);
    const bool so = kind == Row::kSo;
    for (std::size_t j = 1; j <= names_.size(); ++j) {
      const Cell c = j < r.cells.size() ? r.cells[j] : Cell{"", false, r.line};
      const double v = number(
          c, j, so ? "[So], the initial substrate concentration" : "E0, the enzyme concentration");
      if (so && v == 0) fail(c, j, "[So] must not be 0");
      if (!so && !(v > 0)) fail(c, j, "E0 must be greater than 0");
      (so ? out.curves[j - 1].so : out.curves[j - 1].e0) = v;
    }
  }

  void data(const Record& r, CurveSetTable& out) {
    check_width(r);
    const Cell& time_cell = r.cells.front();
    if (time_cell.text.empty()) fail(time_cell, 0, "the row has no time");
    const double t = number(time_cell, 0, "a time");
    if (rows_ > 0 && t < last_time_) {
      fail(time_cell, 0, "the times must not decrease (this time is earlier than the one above)");
    }
    last_time_ = t;
    ++rows_;
    for (std::size_t j = 1; j < r.cells.size(); ++j) {
      const Cell& c = r.cells[j];
      if (c.text.empty()) continue;  // a missing point of this curve
      TableCurve& curve = out.curves[j - 1];
      curve.t.push_back(t);
      curve.y.push_back(number(c, j, "a product value"));
      curve.lines.push_back(r.line);
    }
  }

  int rows() const { return rows_; }

 private:
  std::string file_;
  char sep_;
  std::vector<std::string> names_;
  int rows_ = 0;
  double last_time_ = 0;
};

// The times of a curve with equal neighbours repaired as a run repairs them, the last time as
// written; nullopt when ties remain.
std::optional<std::vector<double>> repaired_times(const std::vector<double>& t) {
  std::vector<double> one_based(1, 0.0);
  one_based.insert(one_based.end(), t.begin(), t.end());
  try {
    repair_tied_times(one_based, static_cast<int>(t.size()));
  } catch (const Stop&) {
    return std::nullopt;
  }
  std::vector<double> out(one_based.begin() + 1, one_based.end());
  if (!out.empty()) out.back() = t.back();
  return out;
}

// The data rows still to come, up to the end of the table; only counted, never held.
long long rows_left(RecordReader& records) {
  long long rows = 0;
  for (Record r; records.next(r) && !ends_table(r);) ++rows;
  return rows;
}

CurveSetTable read_table(const std::string& file, int max_rows) {
  TextFile in = open_table(file);
  CurveSetTable out;
  out.file = file;
  std::string first;
  if (!in.next(first) || first.empty()) {
    throw InputError(file, 1, "", "row 1 must name the time column and then each curve");
  }
  if (first.rfind("\xFF\xFE", 0) == 0 || first.rfind("\xFE\xFF", 0) == 0) {
    throw InputError(file, 0, "", "is saved as UTF-16 text; save it as UTF-8 or plain text");
  }
  in.rewind();
  out.separator = detect_separator(in);
  if (out.separator == 0) {
    throw InputError(file, 1, first,
                     "row 1 must name the time column and then each curve, separated by "
                     "commas, semicolons or tabs");
  }
  RecordReader records(in, out.separator);
  Reader reader(file, out.separator);
  Record r;
  records.next(r);
  reader.names(r, out);

  bool have_so = false, have_e0 = false;
  bool more = records.next(r);
  for (; more && !(have_so && have_e0); more = records.next(r)) {
    const Row kind = row_kind(r.cells.front());
    if (ends_table(r) || kind == Row::kOther || (kind == Row::kSo ? have_so : have_e0)) {
      throw InputError(file, r.line, r.cells.front().text,
                       std::string("expected the ") + (have_so ? "E0" : "So") +
                           " row (its first cell " + (have_so ? "E0" : "So") + ", then " +
                           (have_so ? "each curve's enzyme concentration"
                                    : "each curve's initial substrate concentration") +
                           ")");
    }
    reader.constants(r, kind, out);
    (kind == Row::kSo ? have_so : have_e0) = true;
  }
  if (!(have_so && have_e0)) {
    throw InputError(file, 0, "",
                     std::string("the ") + (have_so ? "E0" : "So") + " row is missing");
  }
  for (; more && !ends_table(r); more = records.next(r)) {
    if (reader.rows() >= max_rows) {
      const long long rows = reader.rows() + 1 + rows_left(records);
      throw InputError(file, 0, "",
                       "holds " + std::to_string(rows) + " data rows, more than the " +
                           std::to_string(max_rows) + " that are analysed at most");
    }
    reader.data(r, out);
  }
  if (reader.rows() == 0) throw InputError(file, 0, "", "no data rows follow the So and E0 rows");

  for (TableCurve& c : out.curves) {
    const auto repaired = repaired_times(c.t);
    if (!repaired) {
      throw InputError(file, 0, "",
                       "column " + std::to_string(c.column) + " (" +
                           excerpt(c.name, InputError::kQuotedCharacters) +
                           "): its times are still equal after the repair of ties");
    }
    c.t_raw = *repaired;
  }
  return out;
}

}  // namespace

CurveSetTable read_curve_set_table(const std::string& file, int max_rows) {
  try {
    return read_table(file, max_rows);
  } catch (const std::bad_alloc&) {
    throw InputError(file, 0, "", "there is not enough memory to read it");
  }
}

void import_curve(const TableCurve& curve, std::vector<double>& P, std::vector<double>& t, Table& y,
                  int column, int& n) {
  n = static_cast<int>(curve.t.size());
  P.assign(2, 0.0);
  P[1] = curve.so;
  t.assign(1, 0.0);
  t.insert(t.end(), curve.t.begin(), curve.t.end());
  y = Table(n, std::max(column, y.cols()));
  for (int i = 1; i <= n; ++i) y(i, column) = curve.y[static_cast<std::size_t>(i - 1)];
}

bool is_curve_set_table(const std::string& file) {
  std::string ext = lower(std::filesystem::path(file).extension().string());
  if (ext == ".csv" || ext == ".tsv") return true;
  std::string line;
  try {
    auto in = TextFile::open(file);
    if (!in || !in->next(line)) return false;
  } catch (const InputError&) {
    return false;  // not a regular file, unreadable, or an overlong line 1: refused as a data file
  }
  std::istringstream first(line);
  std::string word;
  first >> word;
  // A data file's line 1 starts with [So]: a number, perhaps followed by a comma.
  if (!word.empty() && word.back() == ',') word.pop_back();
  if (word.find(',') != std::string::npos) word = word.substr(0, word.find(','));
  if (parse_number(word)) return false;
  return line.find_first_of("\t;,") != std::string::npos;
}

}  // namespace brx
