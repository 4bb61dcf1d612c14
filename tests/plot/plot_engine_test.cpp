// Layout and drawing of whole plots, read back from a recording painter: where the axes, ticks,
// labels and legend land, what each series draws, and where drawing stops on a failure.

#include "plot/plot_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plot/plot_api.h"
#include "tests/support/recording_painter.h"

namespace brx {
namespace {

using Call = test::RecordingPainter::Call;
using Args = std::vector<float>;

constexpr PColor kRed{255, 0, 0};
constexpr PColor kBlue{0, 0, 255};
constexpr PColor kGreen{0, 255, 0};
constexpr PColor kBlack{0, 0, 0};
constexpr PColor kGrey{200, 200, 200};

const std::vector<double> kX{0.0, 0.5, 1.0};
const std::vector<double> kY{0.0, 0.6, 1.0};

// A plot as the application makes it, both axes fixed: x [0, 1.1], y [0, 1.2]. Drawn into a
// 541 x 541 painter with a font 16 high and 8 pixels a character, it lays out like this: y
// labels "0.0".."1.2" are 24 wide, the last x label "1.0" sticks out 24 - 8 = 16, and each of
// the two layout passes takes 24 + 16 off the left and 16 off the right of the 521 x 421 area
// at (0, 60), leaving (80, 60, 409, 421).
class PlotDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    set_xlinear(h);
    set_ylinear(h);
    set_xscale(h, 0.0, 1.1);
    set_yscale(h, 0.0, 1.2);
  }
  void TearDown() override { destroy_plot(h); }
  void AddSeries(int n) {
    for (int i = 0; i < n; ++i) add_dataset(h, kX, kY);
  }
  bool Draw() { return h->plot->Draw(p); }
  // The calls after the last clip rectangle was set: the series.
  std::vector<Call> SeriesLines() const {
    std::vector<Call> out;
    for (const Call& c : p.calls) {
      if (c.op == "SetClipRect") out.clear();
      if (c.op == "DrawLine") out.push_back(c);
    }
    return out;
  }
  bool HasLine(Args args, PColor colour) const {
    const auto lines = p.Of("DrawLine");
    return std::any_of(lines.begin(), lines.end(),
                       [&](const Call& c) { return c.args == args && c.lineColor == colour; });
  }

  PlotHandle* h = initialize_plot();
  test::RecordingPainter p;
};

TEST_F(PlotDraw, TheApplicationsPlotLaysOutAxesTicksGridAndLabels) {
  AddSeries(1);
  set_xlabel(h, "Normalized Time    ");  // trailing blanks go
  set_ylabel(h, std::string(50, ' '));
  set_ylabel(h, "Normalized Product");  // replaces the blank label
  ASSERT_TRUE(Draw()) << p.Dump();
  // Both label insets are taken once per layout pass; the axes lie on the area's edges.
  const auto clips = p.Of("SetClipRect");
  ASSERT_EQ(clips.size(), 2u);
  EXPECT_EQ(clips[0].args, (Args{0, 0, 541, 541}));
  EXPECT_EQ(clips[1].args, (Args{80, 60, 409, 421}));
  EXPECT_TRUE(HasLine({80, 481, 489, 481}, kBlack)) << "x axis on the bottom edge\n" << p.Dump();
  EXPECT_TRUE(HasLine({80, 60, 80, 481}, kBlack)) << "y axis on the left edge\n" << p.Dump();

  // Tick labels hang below the x axis and end just left of the y axis's ticks.
  std::vector<std::string> xLabels;
  std::vector<std::string> yLabels;
  const auto pixel = [](const LinTrafo& t, const std::string& label) {
    return static_cast<float>(static_cast<int>(t.Transform(std::stof(label))));
  };
  for (const Call& c : p.Of("DrawText")) {
    if (c.args[1] == 481 + 16 + 8 + 4) {  // axis + font height + major + minor length
      xLabels.push_back(c.text);
      EXPECT_EQ(c.args[0], pixel(h->plot->GetXTrafo(), c.text));
    } else if (c.args[0] == 80 - (24 + 8 + 4)) {
      yLabels.push_back(c.text);
      EXPECT_EQ(c.args[1], pixel(h->plot->GetYTrafo(), c.text) + 8);
    }
  }
  EXPECT_EQ(xLabels, (std::vector<std::string>{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
  EXPECT_EQ(yLabels.size(), 13u);  // 0.0 .. 1.2 every 0.1
  EXPECT_EQ(yLabels.back(), "1.2");
  // Tick marks are capped by the font: 8 pixels for majors (the minor 4 is in the offsets above).
  EXPECT_TRUE(HasLine({80, 481, 80, 489}, kBlack));
  EXPECT_TRUE(HasLine({80, 481, 72, 481}, kBlack));
  // Grey grid lines across the area at the major ticks: 6 vertical, 13 horizontal.
  int vertical = 0;
  int horizontal = 0;
  for (const Call& c : p.Of("DrawLine")) {
    vertical += c.lineColor == kGrey && c.args[1] == 60 && c.args[3] == 481;
    horizontal += c.lineColor == kGrey && c.args[0] == 80 && c.args[2] == 489;
  }
  EXPECT_EQ(std::pair(vertical, horizontal), std::pair(6, 13));

  // The y label reads upwards left of the widest tick label (80 - 36), centred on the area's
  // height ((421 - 144) / 2 up from 481); the x label lies one font height below the deepest
  // tick label (481 + 28), centred on the width.
  const auto rotated = p.Of("DrawRotatedText");
  ASSERT_EQ(rotated.size(), 1u);
  EXPECT_EQ(rotated[0].text, "Normalized Product");
  EXPECT_EQ(rotated[0].args, (Args{44, 481 - 138, -90}));
  const auto texts = p.Of("DrawText");
  const auto xLabel = std::find_if(texts.begin(), texts.end(),
                                   [](const Call& c) { return c.text == "Normalized Time"; });
  ASSERT_NE(xLabel, texts.end());
  EXPECT_EQ(xLabel->args, (Args{80 + (409 - 120) / 2, 481 + 28 + 16}));
}

TEST_F(PlotDraw, APlotWithoutSeriesDrawsNothing) {
  EXPECT_TRUE(Draw());
  EXPECT_TRUE(p.calls.empty()) << p.Dump();
}

TEST_F(PlotDraw, ASeriesWithoutPointsStopsTheSeriesAfterIt) {
  AddSeries(1);
  add_dataset(h, std::vector<double>{}, std::vector<double>{});
  AddSeries(1);
  EXPECT_FALSE(Draw());
  const auto lines = SeriesLines();
  EXPECT_EQ(lines.size(), 2u);
  for (const Call& c : lines) EXPECT_EQ(c.lineColor, kRed) << "only series 0 is drawn";
  EXPECT_EQ(p.Texts().back(), "plot 2");  // the legend, drawn before the series, lists all
}

TEST_F(PlotDraw, SeriesAndLegendGetRedBlueGreenByIndexAndLongNamesAreShortened) {
  AddSeries(4);
  std::string longName;
  for (int i = 0; i < 60; ++i) longName += static_cast<char>('a' + i % 26);
  set_serieslabel(h, 1, longName);
  set_serieslabel(h, 2, std::string(48, 'x') + "      ");  // trimmed it fits 409 - 20 pixels
  set_seriescolor(h, 3, 34, 139, 34);
  set_xlabel(h, "   ");
  ASSERT_TRUE(Draw());
  const std::vector<PColor> expected{kRed, kBlue, kGreen, PColor{34, 139, 34}};
  const auto lines = SeriesLines();
  ASSERT_EQ(lines.size(), 8u);
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].lineColor, expected[i / 2]);
  EXPECT_EQ(PlotDataContainer::DefaultColor(6), kBlack);
  EXPECT_EQ(PlotDataContainer::DefaultColor(7), kRed);  // the seven colours repeat

  // The legend is drawn last of the texts: names at the area's left + 20, one line every two
  // font heights, in series colour. "..." + 60 characters is 504 pixels; five cuts of three
  // bring it to 48 characters.
  const auto texts = p.Of("DrawText");
  ASSERT_GE(texts.size(), 4u);
  const std::vector<std::string> names{"plot 0", "..." + longName.substr(15), std::string(48, 'x'),
                                       "plot 3"};
  for (std::size_t i = 0; i < 4; ++i) {
    const Call& c = texts[texts.size() - 4 + i];
    EXPECT_EQ(c.text, names[i]);
    EXPECT_EQ(c.args, (Args{100, static_cast<float>(60 + 16 + 32 * i)}));
    EXPECT_EQ(c.lineColor, expected[i]);
  }
  for (const Call& c : texts) EXPECT_NE(c.text.find_first_not_of(' '), std::string::npos);
}

TEST_F(PlotDraw, BigDotsAreFiveByFiveBlocksAndLinesJoinThePoints) {
  AddSeries(2);
  set_seriestype(h, 0, kSeriesBigDots);
  ASSERT_TRUE(Draw());
  const auto lines = SeriesLines();
  ASSERT_EQ(lines.size(), 3u * 5u + 2u);
  // The point (0.5, 0.6) lands at (80 + 409 * 0.5 / 1.1, 481 - 421 / 2) = (265.9.., 270.5), whose
  // pixel is (265, 270): five vertical strokes from x 263 to 267, rows 268 to 273.
  for (std::size_t j = 0; j < 5; ++j) {
    const auto x = static_cast<float>(263 + j);
    EXPECT_EQ(lines[5 + j].args, (Args{x, 268, x, 273}));
  }
  EXPECT_EQ(lines[15].args[0], 80.0f);  // the line series from (0, 0)
  EXPECT_EQ(lines[15].args[1], 481.0f);
}

TEST_F(PlotDraw, FlatYRangesAreOpenedUpAndBadRangesRefused) {
  AddSeries(1);
  for (const auto& [ymin, ymax, wantMin, wantMax] :
       {std::tuple{0.5, 0.5, 0.45f, 0.55f}, std::tuple{0.0, 0.0, -0.1f, 0.1f},
        std::tuple{100.0, 100.05, 89.995f, 110.055f}}) {
    set_yscale(h, ymin, ymax);
    EXPECT_TRUE(Draw()) << ymin;
    EXPECT_NEAR(h->plot->GetYAxisSetup().min, wantMin, 1e-4f) << ymin;
    EXPECT_NEAR(h->plot->GetYAxisSetup().max, wantMax, 1e-4f) << ymin;
  }
  p.calls.clear();
  for (const auto& [xmin, xmax, ymin, ymax] :
       {std::tuple{1.0, 1.0, 0.0, 1.0}, std::tuple{1.0, 0.0, 0.0, 1.0},
        std::tuple{0.0, 1.0, 1.0, 0.0}}) {
    set_xscale(h, xmin, xmax);
    set_yscale(h, ymin, ymax);
    EXPECT_FALSE(Draw());
    EXPECT_TRUE(p.calls.empty()) << "refused before drawing";
  }
}

}  // namespace
}  // namespace brx
