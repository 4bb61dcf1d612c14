#include "analysis/data_import.h"

#include <gtest/gtest.h>

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

std::vector<double> repaired(std::vector<double> t) {
  t.insert(t.begin(), 0.0);
  repair_tied_times(t, static_cast<int>(t.size()) - 1);
  return std::vector<double>(t.begin() + 1, t.end());
}

TEST(TiedTimes, AreRepairedOrAbortTheRun) {
  EXPECT_EQ(repaired({0, 1, 1, 2, 3}), (std::vector<double>{0, 1, 1.5, 2, 3 * 1.01}));
  EXPECT_EQ(repaired({3, 4, 5, 6, 6}), (std::vector<double>{3, 4, 5, 5.5, 6 * 1.01}));
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
