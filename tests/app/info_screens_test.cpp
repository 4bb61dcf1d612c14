#include "app/info_screens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/data_import.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

// The example shown on screen holds a data file that the importer reads as the example data.
TEST(InfoScreens, TheExampleTextParses) {
  const auto lines = lines_of(example_text());
  ASSERT_GE(lines.size(), 29u);
  std::string file;
  for (std::size_t i = 15; i <= 28; ++i) file += lines[i] + "\n";
  test::TempDir dir;
  std::vector<double> P, t;
  Table y;
  int n = 0;
  data_import(dir.write("example.dat", file).string(), P, t, y, 1, 1, n);
  ASSERT_EQ(n, 13);
  EXPECT_DOUBLE_EQ(P[1], 4.5);
  EXPECT_DOUBLE_EQ(y(13, 1), 3.643);
}

TEST(InfoScreens, DescriptionAndAboutFitTheBox) {
  for (const std::string& text : {description_text(), about_text()}) {
    for (const std::string& line : lines_of(text)) EXPECT_LE(line.size(), kInfoLineWidth) << line;
  }
}

}  // namespace
}  // namespace brx
