#include "app/info_screens.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "analysis/data_import.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

TEST(InfoScreens, ExampleDataIsItsThirtyTwoLines) {
  const std::string text = example_text();
  EXPECT_EQ(text.size(), 926u);
  const auto lines = lines_of(text);
  ASSERT_EQ(lines.size(), 32u);
  EXPECT_EQ(lines[0], "EXAMPLE INPUT DATA FILE STRUCTURE (Brevantix.dat):");
  EXPECT_EQ(lines[13], "Time,  [Product]");
  EXPECT_EQ(lines[15], "4.5");
  EXPECT_EQ(lines[28], "6.0,    3.643");
  EXPECT_EQ(lines[31], "file using a file name appended with '.dat' (e.g., brevantix.dat).");
  for (std::size_t empty : {1u, 6u, 14u, 29u}) EXPECT_EQ(lines[empty], "") << "line " << empty + 1;
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);  // every line end is CR LF
  EXPECT_NE(text.substr(text.size() - 2), "\r\n");
}

TEST(InfoScreens, TheExampleIsAValidDataFile) {
  const auto lines = lines_of(example_text());
  std::string file;
  for (std::size_t i = 15; i <= 28; ++i) file += lines[i] + "\n";
  test::TempDir dir;
  const auto path = dir.write("example.dat", file);
  std::vector<double> P, t;
  Table y;
  int n = 0;
  data_import(path.string(), P, t, y, 1, 1, n);
  ASSERT_EQ(n, 13);
  EXPECT_DOUBLE_EQ(P[1], 4.5);
  EXPECT_DOUBLE_EQ(t[13], 6.0);
  EXPECT_DOUBLE_EQ(y(13, 1), 3.643);
}

struct Screen {
  const char* name;
  std::string (*text)();
};

class WordedScreen : public ::testing::TestWithParam<Screen> {};

TEST_P(WordedScreen, LinesFitTheBoxAndTheNameCarriesTheTrademark) {
  const std::string text = GetParam().text();
  for (const std::string& line : lines_of(text)) {
    EXPECT_LE(line.size(), kInfoLineWidth) << line;
  }
  EXPECT_NE(text.find(std::string("Brevantix-kd") + kTrademark), std::string::npos);
  // Single-byte text: the only byte above 127 is the trademark sign.
  for (const char c : text) {
    if (static_cast<unsigned char>(c) > 127) {
      EXPECT_EQ(c, kTrademark);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Screens, WordedScreen,
                         ::testing::Values(Screen{"Description", description_text},
                                           Screen{"About", about_text}),
                         [](const auto& screen) { return std::string(screen.param.name); });

TEST(InfoScreens, DescriptionStatesTheDecisionRuleAndTheMethods) {
  const auto lines = lines_of(description_text());
  EXPECT_EQ(lines[0], std::string("     Brevantix-kd") + kTrademark + " Description");
  EXPECT_EQ(lines[1], "        Enzyme Time-dependent Deactivation Modeling Software");
  const std::string text = description_text();
  EXPECT_NE(text.find("Unstable enzymes should give a kd value significantly\r\n"
                      "different from zero, a positive F distribution p-value less than\r\n"
                      "0.10, and a Welch's t-value greater than its critical value."),
            std::string::npos);
  for (const char* statement :
       {"numerical integration", "-d[E]/dt = kd*[E]", "exp(-kd*t)", "classical", "5% to", "AICc",
        "Welch's t-test", "equal variances", "critical value"}) {
    EXPECT_NE(text.find(statement), std::string::npos) << statement;
  }
}

TEST(InfoScreens, AboutNamesTheProgramItsTermsAndDisclaimer) {
  const std::string text = about_text();
  const auto lines = lines_of(text);
  EXPECT_EQ(lines[0].substr(0, 13), std::string("Brevantix-kd") + kTrademark);
  EXPECT_NE(lines[0].find("version"), std::string::npos);
  EXPECT_EQ(lines[1], "Enzyme Deactivation Modeling Software");
  for (const char* part : {"licence", "Disclaimer", "without warranty"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace brx
