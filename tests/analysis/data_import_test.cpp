// Reading a data file: the lines of a text file, then [So] and the rows of the data.
#include "analysis/data_import.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "analysis/input_error.h"
#include "analysis/text_file.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

using test::TempDir;
using Lines = std::vector<std::string>;

Lines lines_of(const std::string& path, TextFile::LineEnds ends = TextFile::LineEnds::kLf) {
  auto in = TextFile::open(path, ends);
  Lines lines;
  for (std::string line; in->next(line);) lines.push_back(line);
  return lines;
}

// Lines end at LF or CR LF (or, when asked, a lone CR); only line 1's byte-order mark is dropped.
TEST(TextFile, SplitsLinesAtTheirEnds) {
  TempDir dir;
  const std::string bom = "\xEF\xBB\xBF";
  const auto lf = TextFile::LineEnds::kLf, cr = TextFile::LineEnds::kLfOrCr;
  EXPECT_EQ(lines_of(dir.write("t.txt", bom + "a\r\n" + bom + "b")), (Lines{"a", bom + "b"}));
  EXPECT_EQ(lines_of(dir.write("t.txt", "a\rb\n"), lf), (Lines{"a\rb"}));
  EXPECT_EQ(lines_of(dir.write("t.txt", "a\rb\r\nc\r\rd"), cr), (Lines{"a", "b", "c", "", "d"}));
}

struct Imported {
  std::vector<double> P, t;
  Table y;
  int n = -99;
};

Imported import(const std::string& path) {
  Imported r;
  data_import(path, r.P, r.t, r.y, 1, 1, r.n);
  return r;
}

// Commas, blanks, tabs, or both between the numbers, the usual number forms; the data end at a
// line that is no row.
TEST(DataImport, ReadsSoAndTheRowsUpToTheEndOfTheData) {
  TempDir dir;
  const std::string head = "4.5  mM substrate\n0.0, 0.0\n1,2e0\n2 30d-1\n\t3\t,\t+.4E1 notes";
  const std::string crlf =
      "\xEF\xBB\xBF"
      "4.5\r\n0, 0\r\n1,2\r\n2 3\r\n3 , 4\r\n\r\n5, 6\r\n";
  for (const std::string& text : {head, crlf, head + "\n\"note\"\n5, 6\n"}) {
    const auto r = import(dir.write("d.dat", text).string());
    EXPECT_EQ(r.P[1], 4.5) << text;
    EXPECT_EQ(r.t, (std::vector<double>{0, 0, 1, 2, 3})) << text;
    EXPECT_EQ(r.y(4, 1), 4.0) << text;
  }
}

// A bad file names itself, the line and its text (quoted); more rows than allowed are refused at
// once, the rows counted in the message.
TEST(DataImport, BadInputNamesTheFileTheLineAndItsText) {
  TempDir dir;
  std::string rows;
  for (int i = 1; i <= 100000; ++i) rows += std::to_string(i) + " 1\n";
  EXPECT_EQ(import(dir.write("most.dat", "4.5\n" + rows + "\nnotes\n1 2\n").string()).n, 100000);
  const struct {
    std::string text;
    int line;
    std::string message;
  } cases[] = {
      {"", 0, ""},
      {"So = 4.5\n1, 2\n", 1, "\"So = 4.5\""},
      {"4.5\n0, 0\n0.40\n1, 2\n", 3, "\"0.40\""},  // one number would swallow the next row
      {"4.5\n0, 0\n1, 1e999\n", 3, "\"1, 1e999\""},
      // A line of exactly the limit is read, one character more refused.
      {"4.5\n0, 0\n1, 2" + std::string(kMaxLineLength - 4, ' ') + "\n" + std::string(65537, '3'), 4,
       ":4: the line is longer than 65536 characters"},
      {"4.5\n" + rows + "100001 1\n", 0,
       ": holds 100001 data rows, more than the 100000 that are analysed at most"},
  };
  for (const auto& c : cases) {
    const auto path = dir.write("bad.dat", c.text).string();
    try {
      import(path);
      ADD_FAILURE() << "accepted: " << c.text.substr(0, 100);
    } catch (const InputError& e) {
      const std::string what = e.what();
      EXPECT_EQ(e.line(), c.line) << what;
      EXPECT_EQ(what.rfind(c.line > 0 ? path + ":" + std::to_string(c.line) + ": " : path, 0), 0u);
      EXPECT_NE(what.find(c.message), std::string::npos) << what.substr(0, 200);
    }
  }
}

// Numbers too small for a double are read as the nearest one, as a Fortran read takes them;
// numbers too large stay refused. A tie among the largest times is mended without overflowing.
TEST(DataImport, UnderflowingNumbersAndTiesAmongTheLargestTimes) {
  for (const auto& [text, value] : std::vector<std::pair<const char*, double>>{
           {"-1d-400", -0.0}, {"4.9e-324", 4.9e-324}, {"1.25d-1", 0.125}}) {
    const auto v = parse_number(text);
    EXPECT_TRUE(v && *v == value && std::signbit(*v) == std::signbit(value)) << text;
  }
  for (const char* text : {"1e999", "nan", "0x10"}) EXPECT_FALSE(parse_number(text)) << text;
  std::vector<double> t = {0, 1e308, 1e308, 1.5e308, 1.6e308};
  repair_tied_times(t, 4);
  EXPECT_EQ(t, (std::vector<double>{0, 1e308, 1.25e308, 1.5e308, 1.6e308 * 1.01}));
}

}  // namespace
}  // namespace brx
