#include "analysis/curve_set_table.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "analysis/input_error.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

using test::TempDir;
using Values = std::vector<double>;

// Two curves, A (type 1) and B (type 2, no reading at time 1), in every form a table may take.
TEST(CurveSetTable, ReadsEveryFormOfTheSameTable) {
  TempDir dir;
  const struct {
    const char* name;
    std::string text;
    char separator;
  } cases[] = {
      {"comma.csv", "Time,A,B\nSo,100,-50\nE0,0.5,1\n0,0,0.1\n1,2.5,\n2,4e0,3\n", ','},
      // A tab in row 1 wins over the comma and semicolon of a heading.
      {"tabs.tsv",
       "Time (min, read; 2)\tA\tB\nSo\t100\t-50\nE0\t0,5\t1\n0\t0\t0.1\n1\t2.5\t\n2\t4\t3\n", '\t'},
      // CR LF, a byte-order mark, quotes, spaces around cells, E0 before So under other names,
      // trailing separators, exponents with D.
      {"quoted.csv",
       "\xEF\xBB\xBF\"Time\", \"A\" ,B,,\r\n[E]0, 5d-1 ,\"1\",,\r\ns0,1e2,-5D1\r\n"
       "0,0,.1\r\n+1,2.5,,\r\n2.,4,3\r\n",
       ','},
      // Decimal commas; the data end at an empty row or a "#" row; notes may follow.
      {"notes.txt", "Time;A;B\nSo;100;-50\nE0;0,5;1\n0;0;0,1\n1;2,5;\n2;4;3\n\nnotes;x\n", ';'},
  };
  for (const auto& k : cases) {
    const CurveSetTable t = read_curve_set_table(dir.write(k.name, k.text).string());
    EXPECT_EQ(t.separator, k.separator) << k.name;
    ASSERT_EQ(t.curves.size(), 2u) << k.name;
    const TableCurve &a = t.curves[0], &b = t.curves[1];
    EXPECT_EQ(std::tie(a.name, a.column, a.so, a.e0, a.t, a.y),
              std::tuple("A", 2, 100.0, 0.5, Values{0, 1, 2}, Values{0, 2.5, 4}))
        << k.name;
    EXPECT_EQ(std::tie(b.name, b.column, b.so, b.e0, b.t, b.y),
              std::tuple("B", 3, -50.0, 1.0, Values{0, 2}, Values{0.1, 3}))
        << k.name;
    EXPECT_EQ(b.lines, (std::vector<int>{4, 6})) << k.name;  // lines named in messages
  }
  // Tied times are repaired per curve, on the points it has; the last time keeps its value.
  const CurveSetTable t = read_curve_set_table(
      dir.write("ties.txt", "t;A;B\nSo;1;1\nE0;1;2\n0;1;1\n1;1;\n1;1;1\n2;1;1\n3;1;1\n3;1;1\n")
          .string());
  EXPECT_EQ(t.curves[0].t_raw, (Values{0, 1, 1.5, 2, 2.5, 3}));
  EXPECT_EQ(t.curves[1].t_raw, (Values{0, 1, 2, 2.5, 3}));  // no tie at 1: B has one reading
}

// Each refusal names the file, the line (0: the whole file) and the column; a name from the file
// reaches the message cut short and escaped; more data rows than allowed are counted.
TEST(CurveSetTable, BadInputNamesTheFileTheLineAndTheColumn) {
  TempDir dir;
  const std::string head = "Time,A,B\nSo,100,100\nE0,1,2\n";
  std::string rows;
  for (int i = 0; i < 1001; ++i) rows += std::to_string(i) + ",1,1\n";
  const struct {
    std::string text;
    int line;
    std::string says;
  } cases[] = {
      {"", 1, "row 1 must name"},
      // A quoted name holds a comma, doubled quotes and a line end: the bad cell is on line 6.
      {"t,\"well \"\"A\"\", 1\",\"B\nsecond line\"\nSo,1,1\nE0,1,2\n0,0,0\n1,x,1\n", 6,
       "column 2 (well \"A\", 1): expected a product value"},
      {"Time,A,B\nE0,1,2\n0,1,2\n", 3, "expected the So row"},
      {"Time,A,B\nSo,100,0\nE0,1,2\n0,1,2\n", 2, "column 3 (B): [So] must not be 0"},
      {head, 0, "no data rows follow"},
      {head + "0,1,2\n2,3,4\n1,5,6\n", 6, "column 1: the times must not decrease"},
      {head + "0,1,2\n1,\"3,4\n", 5, "a quoted cell is not closed"},
      {head + "1,1,2\n1,3,4\n1,5,6\n", 0, "column 2 (A): its times are still equal"},
      {"Time,A\x1b[2J" + std::string(200, 'n') + "\nSo,x\n", 2,
       "column 2 (A\\x1b[2J" + std::string(75, 'n') + "\u2026): expected [So]"},
      {head + rows, 0, "holds 1001 data rows, more than the 1000 that are analysed at most"},
      {head + "0,\"" + std::string(40000, '1') + "\n" + std::string(40000, '2') + "\"\n", 4,
       "a quoted cell is longer than 65536 characters"},
  };
  for (const auto& k : cases) {
    const std::string path = dir.write("bad.csv", k.text).string();
    try {
      read_curve_set_table(path, 1000);
      ADD_FAILURE() << "read without an error: " << k.text.substr(0, 100);
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), path);
      EXPECT_EQ(e.line(), k.line) << k.says;
      EXPECT_NE(std::string(e.what()).find(k.says), std::string::npos) << e.what();
      EXPECT_EQ(std::string(e.what()).find('\x1b'), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace brx
