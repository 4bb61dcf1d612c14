#include "app/info_screens.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "analysis/data_import.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

// The example shown on screen holds a data file (its lines 16 to 29) that the importer reads as
// the example data.
TEST(InfoScreens, TheExampleTextParses) {
  std::string text = example_text(), file;
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  std::istringstream lines(text);
  std::string line;
  for (int i = 0; i < 29 && std::getline(lines, line); ++i) {
    if (i >= 15) file += line + "\n";
  }
  test::TempDir dir;
  std::vector<double> P, t;
  Table y;
  int n = 0;
  data_import(dir.write("example.dat", file).string(), P, t, y, 1, 1, n);
  ASSERT_EQ(n, 13);
  EXPECT_DOUBLE_EQ(P[1], 4.5);
  EXPECT_DOUBLE_EQ(y(13, 1), 3.643);
}

}  // namespace
}  // namespace brx
