#include "analysis/curve_set_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <tuple>
#include <vector>

#include "analysis/data_import.h"
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
      {"semicolon.csv", "Time;A;B\nSo;100;-50\nE0;0,5;1\n0;0;0,1\n1;2,5;\n2;4;3\n", ';'},
      {"tabs.tsv", "Time\tA\tB\nSo\t100\t-50\nE0\t0,5\t1\n0\t0\t0.1\n1\t2.5\t\n2\t4\t3\n", '\t'},
      // CR LF, a byte-order mark, quotes, spaces around cells, E0 before So under other names,
      // trailing separators, exponents with D.
      {"quoted.csv",
       "\xEF\xBB\xBF\"Time\", \"A\" ,B,,\r\n[E]0, 5d-1 ,\"1\",,\r\ns0,1e2,-5D1\r\n"
       "0,0,.1\r\n+1,2.5,,\r\n2.,4,3\r\n",
       ','},
      // The data end at an empty row, a row of empty cells or a "#" row; notes may follow.
      {"notes.txt", "Time;A;B\nSo;100;-50\nE0;0,5;1\n0;0;0,1\n1;2,5;\n2;4;3\n\nnotes;x\n", ';'},
      {"blank-cells.csv", "Time,A,B\nSo,100,-50\nE0,0.5,1\n0,0,0.1\n1,2.5,\n2,4,3\n,,\n9,x,y\n",
       ','},
      {"hash.csv", "Time,A,B\nSo,100,-50\nE0,0.5,1\n0,0,0.1\n1,2.5,\n2,4,3\n# end\n9,x,y\n", ','},
  };
  for (const auto& k : cases) {
    const CurveSetTable t = read_curve_set_table(dir.write(k.name, k.text).string());
    EXPECT_EQ(t.separator, k.separator) << k.name;
    EXPECT_EQ(t.time_name, "Time") << k.name;
    ASSERT_EQ(t.curves.size(), 2u) << k.name;
    const TableCurve &a = t.curves[0], &b = t.curves[1];
    EXPECT_EQ(std::tie(a.name, a.column, a.so, a.e0, a.t, a.y),
              std::tuple("A", 2, 100.0, 0.5, Values{0, 1, 2}, Values{0, 2.5, 4}))
        << k.name;
    EXPECT_EQ(std::tie(b.name, b.column, b.so, b.e0, b.t, b.y),
              std::tuple("B", 3, -50.0, 1.0, Values{0, 2}, Values{0.1, 3}))
        << k.name;
    EXPECT_EQ(b.lines, (std::vector<int>{4, 6})) << k.name;
  }
}

TEST(CurveSetTable, QuotedCellsHoldSeparatorsQuotesAndLineEnds) {
  TempDir dir;
  const std::string text =
      "t,\"well \"\"A\"\", 1\",\"B\nsecond line\"\nSo,1,1\nE0,1,2\n0,0,0\n1,x,1\n";
  try {
    read_curve_set_table(dir.write("q.csv", text).string());
    FAIL() << "the bad cell was read";
  } catch (const InputError& e) {
    // Row 1 spans two lines, so the bad cell is on line 6.
    EXPECT_EQ(e.line(), 6);
    EXPECT_NE(std::string(e.what()).find("column 2 (well \"A\", 1)"), std::string::npos)
        << e.what();
  }
  const std::string good = text.substr(0, text.size() - 6) + "1,1,1\n";
  const CurveSetTable t = read_curve_set_table(dir.write("q.csv", good).string());
  EXPECT_EQ(t.curves[0].name, "well \"A\", 1");
  EXPECT_EQ(t.curves[1].name, "B\nsecond line");
  EXPECT_EQ(t.curves[1].lines, (std::vector<int>{5, 6}));
}

TEST(CurveSetTable, BadInputNamesTheFileTheLineAndTheColumn) {
  TempDir dir;
  const std::string head = "Time,A,B\nSo,100,100\nE0,1,2\n";
  const struct {
    std::string text;
    int line;
    const char* says;
  } cases[] = {
      {"", 1, "row 1 must name"},
      {"\nSo,1\n", 1, "row 1 must name"},
      {"Time\nSo\nE0\n1\n", 1, "separated by commas, semicolons or tabs"},
      {"Time,,\nSo,1\nE0,1\n0,1\n", 1, "separated by commas"},
      {"Time,A,,B\n", 1, "column 3: the curve has no name"},
      {"Time,A,A\n", 1, "column 3: the name is also that of column 2"},
      {"Time,A,B\nE0,1,2\n0,1,2\n", 3, "expected the So row"},
      {"Time,A,B\nSo,1,2\nSo,1,2\n", 3, "expected the E0 row"},
      {"Time,A,B\n\nSo,1,2\n", 2, "expected the So row"},
      {"Time,A,B\nSo,100,0\nE0,1,2\n0,1,2\n", 2, "column 3 (B): [So] must not be 0"},
      {"Time,A,B\nSo,100\nE0,1,2\n0,1,2\n", 2, "column 3 (B): expected [So]"},
      {"Time,A,B\nSo,100,1 mM\nE0,1,2\n0,1,2\n", 2, "column 3 (B): expected [So]"},
      {"Time,A,B\nSo,100,100\nE0,-1,2\n0,1,2\n", 3, "column 2 (A): E0 must be greater than 0"},
      {"Time,A,B\nSo,100,100\nE0,1,nan\n0,1,2\n", 3, "column 3 (B): expected E0"},
      {"Time,A,B\nSo,1,1\n", 0, "the E0 row is missing"},
      {head, 0, "no data rows follow"},
      {head + "\n0,1,2\n", 0, "no data rows follow"},
      {head + "0,1,2\n,3,4\n", 5, "column 1: the row has no time"},
      {head + "0,1,2\n1:30,3,4\n", 5, "column 1: expected a time"},
      {head + "0,1,2\n2,3,4\n1,5,6\n", 6, "column 1: the times must not decrease"},
      {head + "0,1,2\n1,3,1.2.3\n", 5, "column 3 (B): expected a product value"},
      {head + "0,1,2\n1,\"3,5\",4\n", 5, "column 2 (A): expected a product value"},
      {head + "0,1,2\n1,3,4,5\n", 5, "column 4: a value beyond the last named column"},
      {head + "0,1,2\n1,\"3\"x,4\n", 5, "text after the closing quote"},
      {head + "0,1,2\n1,\"3,4\n", 5, "a quoted cell is not closed"},
      {head + "1,1,2\n1,3,4\n1,5,6\n", 0, "column 2 (A): its times are still equal"},
      {"\xFF\xFET", 0, "UTF-16"},
  };
  for (const auto& k : cases) {
    const std::string path = dir.write("bad.csv", k.text).string();
    try {
      read_curve_set_table(path);
      ADD_FAILURE() << "read without an error: " << k.text;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), path);
      EXPECT_EQ(e.line(), k.line) << k.text;
      EXPECT_NE(std::string(e.what()).find(k.says), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(read_curve_set_table((dir.path() / "none.csv").string()), InputError);
  EXPECT_THROW(read_curve_set_table(dir.path().string()), InputError);
}

// Tied times are repaired per curve, on the points it has, as a run repairs a data file's; the
// last time keeps its value.
TEST(CurveSetTable, RepairsTiedTimesOfEachCurveAsARunDoes) {
  TempDir dir;
  const std::string text =
      "t;A;B\nSo;1;1\nE0;1;2\n"
      "0;1;1\n1;1;\n1;1;1\n2;1;1\n3;1;1\n3;1;1\n";
  const CurveSetTable t = read_curve_set_table(dir.write("ties.txt", text).string());
  const TableCurve &a = t.curves[0], &b = t.curves[1];
  EXPECT_EQ(a.t, (Values{0, 1, 1, 2, 3, 3}));
  EXPECT_EQ(a.t_raw, (Values{0, 1, 1.5, 2, 2.5, 3}));
  EXPECT_EQ(b.t, (Values{0, 1, 2, 3, 3}));  // no tie at 1: B has one reading there
  EXPECT_EQ(b.t_raw, (Values{0, 1, 2, 2.5, 3}));
}

// A curve of a table and the same points in a data file give a run the same tables.
TEST(CurveSetTable, CurveImportsAsTheSameDataFileWould) {
  TempDir dir;
  const CurveSetTable t = read_curve_set_table(
      dir.write("t.csv", "Time,A,B\nSo,-4.5,4.5\nE0,1,2\n0,0,0.1\n0.5,,1.5\n1,1.25,2\n").string());
  std::vector<double> P, tt;
  Table y;
  int n = 0;
  import_curve(t.curves[1], P, tt, y, 1, n);
  std::vector<double> Pd, td;
  Table yd;
  int nd = 0;
  data_import(dir.write("b.dat", "4.5\n0,0.1\n0.5,1.5\n1,2\n").string(), Pd, td, yd, 1, 1, nd);
  EXPECT_EQ(n, nd);
  EXPECT_EQ(P, Pd);
  EXPECT_EQ(tt, td);
  for (int i = 1; i <= n; ++i) EXPECT_EQ(y(i, 1), yd(i, 1)) << i;

  import_curve(t.curves[0], P, tt, y, 1, n);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(P, (Values{0, -4.5}));
  EXPECT_EQ(tt, (Values{0, 0, 1}));
}

TEST(CurveSetTable, TellsTablesFromDataFiles) {
  TempDir dir;
  const struct {
    const char* name;
    const char* text;
    bool table;
  } cases[] = {
      {"plate.CSV", "4.5\n", true},  // the name decides
      {"plate.tsv", "", true},
      {"plate.txt", "Time\tA1\n", true},
      {"plate.dat",
       "\xEF\xBB\xBF"
       "Time;A1\n",
       true},
      {"run.txt", "4.5  mM substrate, fresh\n0, 1\n", false},
      {"run.dat", "-4.5,\n0, 1\n", false},
      {"run.txt", "substrate\n", false},  // no separator: the data file's reader says what is wrong
      {"empty.txt", "", false},
  };
  for (const auto& k : cases) {
    EXPECT_EQ(is_curve_set_table(dir.write(k.name, k.text).string()), k.table) << k.name;
  }
  EXPECT_FALSE(is_curve_set_table((dir.path() / "none.txt").string()));
}

// The limits of a data file hold for tables too: only regular files, lines and quoted cells of
// at most 65536 characters, at most so many data rows (counted in the message); numbers too
// small for a double read as the nearest one.
TEST(CurveSetTable, RefusesTablesBeyondTheLimitsOfADataFile) {
  TempDir dir;
  const std::string head = "Time,A\nSo,1\nE0,1\n";
  std::string rows;
  for (int i = 0; i < 1000; ++i) rows += std::to_string(i) + ",1e-400\n";
  EXPECT_EQ(read_curve_set_table(dir.write("most.csv", head + rows).string(), 1000).curves[0].y[5],
            0.0);

  const auto fifo = dir.path() / "pipe.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(is_curve_set_table((dir.path() / "pipe.txt").string()));
  const struct {
    std::string path;
    int line;
    std::string says;
  } cases[] = {
      {dir.write("over.csv", head + rows + "1000,1\n\n2000,1\n").string(), 0,
       "holds 1001 data rows, more than the 1000 that are analysed at most"},
      {dir.write("wide.csv", head + "0,1" + std::string(70000, ' ') + "\n").string(), 4,
       "the line is longer than 65536 characters"},
      {dir.write("cell.csv",
                 head + "0,\"" + std::string(40000, '1') + "\n" + std::string(40000, '2') + "\"\n")
           .string(),
       4, "a quoted cell is longer than 65536 characters"},
      {fifo.string(), 0, "is not a regular file (a named pipe)"},
  };
  for (const auto& c : cases) {
    try {
      read_curve_set_table(c.path, 1000);
      ADD_FAILURE() << c.path;
    } catch (const InputError& e) {
      EXPECT_EQ(e.line(), c.line) << c.path;
      EXPECT_NE(e.reason().find(c.says), std::string::npos) << e.what();
    }
  }
}

// A name from the file reaches the message cut short and escaped.
TEST(CurveSetTable, QuotesNamesShortAndEscaped) {
  TempDir dir;
  const std::string name = "A\x1b[2J" + std::string(200, 'n');
  try {
    read_curve_set_table(dir.write("n.csv", "Time," + name + "\nSo,x\n").string());
    ADD_FAILURE();
  } catch (const InputError& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("column 2 (A\\x1b[2J" + std::string(75, 'n') + "\u2026): expected [So]"),
              std::string::npos)
        << what;
    EXPECT_EQ(what.find('\x1b'), std::string::npos);
  }
}

TEST(CurveSetTable, ExampleTablesHoldTheSameSet) {
  const CurveSetTable csv = read_curve_set_table(std::string(BRX_EXAMPLES_DIR) + "/plate.csv");
  const CurveSetTable tsv = read_curve_set_table(std::string(BRX_EXAMPLES_DIR) + "/plate.tsv");
  EXPECT_EQ(csv.separator, ',');
  EXPECT_EQ(tsv.separator, '\t');
  ASSERT_EQ(csv.curves.size(), 4u);
  ASSERT_EQ(tsv.curves.size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) {
    const TableCurve &c = csv.curves[k], &t = tsv.curves[k];
    EXPECT_EQ(std::tie(c.name, c.e0, c.so, c.t_raw, c.y),
              std::tie(t.name, t.e0, t.so, t.t_raw, t.y));
    EXPECT_EQ(c.so, 100);
  }
  EXPECT_EQ(csv.curves[1].t.size(), 20u);  // A2 misses one reading
}

}  // namespace
}  // namespace brx
