#include "analysis/data_import.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/input_error.h"
#include "base/stop.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

using test::TempDir;

struct Imported {
  std::vector<double> P, t;
  Table y;
  int n = -99;
};

Imported import(const std::string& path, int K = 1) {
  Imported r;
  data_import(path, r.P, r.t, r.y, K, 1, r.n);
  return r;
}

TEST(DataImport, ReadsSoAndTheRowsUpToTheEndOfTheData) {
  TempDir dir;
  // Commas, blanks, tabs, or both between the numbers; the usual number forms.
  const std::string head = "4.5  mM substrate\n0.0, 0.0\n1,2e0\n2 30d-1\n\t3\t,\t+.4E1 notes\n";
  const std::string cases[] = {
      head,
      head.substr(0, head.size() - 1),  // no line end after the last row
      "\xEF\xBB\xBF"
      "4.5\r\n0.0, 0.0\r\n1,2\r\n2 3\r\n3 , 4\r\n\r\nnotes\r\n",
      head + "\nnotes 1 2\n5, 6\n",
      head + "   \t \n5, 6\n",
      head + "    # comment\n5, 6\n",
      head + "  'note'\n5, 6\n",
      head + "\"note\"\n5, 6\n",
  };
  for (const auto& text : cases) {
    const auto r = import(dir.write("d.dat", text).string());
    EXPECT_EQ(r.n, 4) << text;
    EXPECT_EQ(r.P[1], 4.5) << text;
    EXPECT_EQ(r.t, (std::vector<double>{0, 0, 1, 2, 3})) << text;
    EXPECT_EQ(r.y(4, 1), 4.0) << text;
  }
  EXPECT_TRUE(ends_data(std::string(100, ' ') + "1, 2"));  // only 100 characters are looked at
  EXPECT_FALSE(ends_data(std::string(99, ' ') + "1, 2"));
}

// The tables are sized from the file; one to five values may lead the rows.
TEST(DataImport, ReadsAnyNumberOfRowsAndOneToFiveLeadingValues) {
  TempDir dir;
  std::string text = "2\n";
  for (int i = 1; i <= 2500; ++i) text += std::to_string(i) + ", " + std::to_string(2 * i) + "\n";
  const auto r = import(dir.write("long.dat", text).string());
  EXPECT_EQ(r.n, 2500);
  EXPECT_EQ(r.y(2500, 1), 5000.0);

  const auto path = dir.write("k.dat", "1 2, 3 4 5 6\n0 1\n").string();
  EXPECT_EQ(import(path, 5).P, (std::vector<double>{0, 1, 2, 3, 4, 5}));
  for (int K : {0, 6}) EXPECT_THROW(import(path, K), Stop) << K;
}

TEST(DataImport, BadInputNamesTheFileTheLineAndItsText) {
  TempDir dir;
  const struct {
    std::string text;
    int line;
    const char* line_text;
  } cases[] = {
      {"", 0, ""},
      {"\n1, 2\n", 1, ""},
      {"# header\n1, 2\n", 1, "# header"},
      {"So = 4.5\n1, 2\n", 1, "So = 4.5"},
      {"4.5\n0, 0\n0.40\n1, 2\n", 3, "0.40"},  // one number would swallow the next row
      {"4.5\n0, 0\n1, 2\n2; 3\n", 4, "2; 3"},
      {"4.5\n0, 0\n1,,2\n", 3, "1,,2"},
      {"4.5\n0, 0\nnan, 2\n", 3, "nan, 2"},
      {"4.5\n0, 0\n1, 1e999\n", 3, "1, 1e999"},
  };
  for (const auto& c : cases) {
    const auto path = dir.write("bad.dat", c.text).string();
    try {
      import(path);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const InputError& e) {
      EXPECT_EQ(e.line(), c.line) << c.text;
      EXPECT_EQ(e.text(), c.line_text);
      const std::string where = c.line > 0 ? path + ":" + std::to_string(c.line) + ": " : path;
      EXPECT_EQ(std::string(e.what()).rfind(where, 0), 0u) << e.what();
    }
  }
}

// The limits a hostile or unlucky file meets: more rows than allowed (counted in the message),
// a line too long, a file that is not a regular one. Each is refused at once with the reason.
TEST(DataImport, RefusesFilesBeyondItsLimits) {
  TempDir dir;
  std::string rows;
  for (int i = 1; i <= 100000; ++i) rows += std::to_string(i) + " 1\n";
  const auto most = dir.write("most.dat", "4.5\n" + rows + "\nnotes\n1 2\n");
  EXPECT_EQ(import(most.string()).n, 100000);

  const auto over = dir.write("over.dat", "4.5\n" + rows + "100001 1\n");
  try {
    import(over.string());
    ADD_FAILURE();
  } catch (const InputError& e) {
    EXPECT_EQ(std::string(e.what()),
              over.string() +
                  ": holds 100001 data rows, more than the 100000 that are analysed "
                  "at most");
  }
  // A caller may allow more, or fewer.
  Imported r;
  data_import(over.string(), r.P, r.t, r.y, 1, 1, r.n, 100001);
  EXPECT_EQ(r.n, 100001);
  EXPECT_THROW(data_import(most.string(), r.P, r.t, r.y, 1, 1, r.n, 99999), InputError);

  const auto fifo = dir.path() / "pipe.dat";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo.string(), std::string("/dev/zero")}) {
    try {
      import(path);
      ADD_FAILURE() << path;
    } catch (const InputError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(path + ": is not a regular file (", 0), 0u) << e.what();
    }
  }
  try {
    import(dir.write("wide.dat", "4.5\n1, 2" + std::string(70000, ' ') + "\n").string());
    ADD_FAILURE();
  } catch (const InputError& e) {
    EXPECT_EQ(e.line(), 2);
    EXPECT_EQ(e.reason(), "the line is longer than 65536 characters");
  }
}

// A bad line is quoted safely: at most 80 characters, control characters and stray bytes
// escaped, "…" where it was cut; a NUL does not end the message.
TEST(DataImport, QuotesABadLineShortAndEscaped) {
  TempDir dir;
  using namespace std::string_literals;
  const std::string bad = "\x1b]0;owned\x07\0x\xff"s + std::string(60000, '\x1b');
  const auto path = dir.write("esc.dat", "4.5\n0, 0\n" + bad + "\n");
  try {
    import(path.string());
    ADD_FAILURE();
  } catch (const InputError& e) {
    const std::string what = e.what();
    EXPECT_EQ(what.rfind(path.string() + ":3: expected a time and a product value: \"" +
                             "\\x1b]0;owned\\x07\\x00x\\xff\\x1b",
                         0),
              0u)
        << what;
    EXPECT_EQ(what.substr(what.size() - 4), "\u2026\"");
    EXPECT_EQ(what.find('\x1b'), std::string::npos);
    EXPECT_LT(what.size(), path.string().size() + 400);
  }
}

// Numbers too small for a double are read as the nearest one, as a Fortran read takes them;
// numbers too large stay refused.
TEST(ParseNumber, ReadsUnderflowAsTheNearestDoubleAndRefusesOverflow) {
  const struct {
    const char* text;
    double value;
  } read[] = {{"1e-400", 0.0},    {"-1d-400", -0.0},
              {"2.4e-324", 0.0},  {"4.9e-324", 4.9e-324},
              {"1e-310", 1e-310}, {"+.5", 0.5},
              {"1.25d-1", 0.125}, {"1.7976931348623157e308", 1.7976931348623157e308}};
  for (const auto& c : read) {
    const auto v = parse_number(c.text);
    ASSERT_TRUE(v) << c.text;
    EXPECT_EQ(*v, c.value) << c.text;
    EXPECT_EQ(std::signbit(*v), std::signbit(c.value)) << c.text;
  }
  for (const char* text : {"1e999", "-1e309", "nan", "inf", "0x10", "1e", "--1", "+-1", ""}) {
    EXPECT_FALSE(parse_number(text)) << text;
  }
}

std::vector<double> repaired(std::vector<double> t) {
  t.insert(t.begin(), 0.0);
  repair_tied_times(t, static_cast<int>(t.size()) - 1);
  return std::vector<double>(t.begin() + 1, t.end());
}

TEST(TiedTimes, AreRepairedOrAbortTheRun) {
  EXPECT_EQ(repaired({0, 1, 1, 2, 3}), (std::vector<double>{0, 1, 1.5, 2, 3 * 1.01}));
  EXPECT_EQ(repaired({3, 4, 5, 6, 6}), (std::vector<double>{3, 4, 5, 5.5, 6 * 1.01}));
  // A tie among the largest times is mended without overflowing to infinity.
  const double big = 1.5e308;
  EXPECT_EQ(repaired({1e308, 1e308, big, 1.6e308}),
            (std::vector<double>{1e308, 1.25e308, big, 1.6e308 * 1.01}));
  // Short series never reach outside their rows.
  EXPECT_EQ(repaired({5, 6}), (std::vector<double>{5, 6 * 1.01}));
  EXPECT_EQ(repaired({}), (std::vector<double>{}));
  // All equal: the stop's texts are checked with the whole run; here the error box.
  try {
    repaired({2, 2, 2, 2, 2});
    ADD_FAILURE();
  } catch (const Stop& s) {
    EXPECT_EQ(s.notice(), Stop::Notice::kErrorBox);
  }
}

}  // namespace
}  // namespace brx
