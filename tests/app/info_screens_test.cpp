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

TEST(InfoScreens, ExampleDataIsItsThirtyTwoLinesAndAValidDataFile) {
  const std::string text = example_text();
  EXPECT_EQ(text.size(), 926u);
  const auto lines = lines_of(text);
  ASSERT_EQ(lines.size(), 32u);
  EXPECT_EQ(lines[0], "EXAMPLE INPUT DATA FILE STRUCTURE (Brevantix.dat):");
  EXPECT_EQ(lines[31], "file using a file name appended with '.dat' (e.g., brevantix.dat).");
  for (std::size_t empty : {1u, 6u, 14u, 29u}) EXPECT_EQ(lines[empty], "") << empty + 1;

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

TEST(InfoScreens, DescriptionAndAboutFitTheBoxAndSayWhatTheyMust) {
  const std::string tm = std::string("Brevantix-kd") + kTrademark;
  for (const std::string& text : {description_text(), about_text()}) {
    for (const std::string& line : lines_of(text)) EXPECT_LE(line.size(), kInfoLineWidth) << line;
    EXPECT_NE(text.find(tm), std::string::npos);
  }
  const std::string d = description_text();
  EXPECT_EQ(lines_of(d)[0], "     " + tm + " Description");
  EXPECT_EQ(lines_of(d)[1], "        Enzyme Time-dependent Deactivation Modeling Software");
  for (const char* statement :
       {"Unstable enzymes should give a kd value significantly\r\n"
        "different from zero, a positive F distribution p-value less than\r\n"
        "0.10, and a Welch's t-value greater than its critical value.",
        "numerical integration", "-d[E]/dt = kd*[E]", "5% to", "AICc", "equal variances"}) {
    EXPECT_NE(d.find(statement), std::string::npos) << statement;
  }
  const std::string a = about_text();
  EXPECT_EQ(lines_of(a)[1], "Enzyme Deactivation Modeling Software");
  for (const char* part : {"version", "licence", "without warranty"}) {
    EXPECT_NE(a.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace brx
