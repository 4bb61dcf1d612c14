// Layout and drawing of whole plots, read back from a recording painter: where the axes, ticks,
// labels and legend land, what each series draws, and where drawing stops on a failure.

#include "plot/plot_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plot/plot_api.h"
#include "tests/support/recording_painter.h"

namespace brx {
namespace {

using test::RecordingPainter;
using Call = RecordingPainter::Call;

constexpr PColor kRed{255, 0, 0};
constexpr PColor kBlue{0, 0, 255};
constexpr PColor kGreen{0, 255, 0};
constexpr PColor kBlack{0, 0, 0};
constexpr PColor kGrey{200, 200, 200};

const std::vector<double> kX{0.0, 0.5, 1.0};
const std::vector<double> kY{0.0, 0.6, 1.0};

// A plot as the application makes it: both axes fixed, x [0, 1.1], y [0, 1.2].
PlotHandle* FixedPlot() {
  PlotHandle* h = initialize_plot();
  set_xlinear(h);
  set_ylinear(h);
  set_xscale(h, 0.0, 1.1);
  set_yscale(h, 0.0, 1.2);
  return h;
}

// Owns a handle for the length of a test.
struct Plot {
  PlotHandle* h = FixedPlot();
  ~Plot() { destroy_plot(h); }
  PlotEngine& engine() { return *h->plot; }
};

// The calls made after the last clip rectangle was set: the series.
std::vector<Call> SeriesCalls(const RecordingPainter& p, const std::string& op) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < p.calls.size(); ++i) {
    if (p.calls[i].op == "SetClipRect") start = i + 1;
  }
  std::vector<Call> out;
  for (std::size_t i = start; i < p.calls.size(); ++i) {
    if (p.calls[i].op == op) out.push_back(p.calls[i]);
  }
  return out;
}

bool HasLine(const RecordingPainter& p, float x1, float y1, float x2, float y2, PColor c) {
  for (const Call& call : p.Of("DrawLine")) {
    if (call.args == std::vector<float>{x1, y1, x2, y2} && call.lineColor == c) return true;
  }
  return false;
}

// Font height 16, 8 pixels a character: y labels "0.0".."1.2" are 24 wide, the last x label
// "1.0" sticks out 24 - 8 = 16. Each of the two layout passes takes 24 + 16 off the left and 16
// off the right of the 521 x 421 area at (0, 60), leaving (80, 60, 409, 421).
TEST(PlotLayout, The541SquareWithTheApplicationsMarginsAndRanges) {
  Plot plot;
  add_dataset(plot.h, kX, kY);
  RecordingPainter p;
  ASSERT_TRUE(plot.engine().Draw(p)) << p.Dump();

  const auto clips = p.Of("SetClipRect");
  ASSERT_EQ(clips.size(), 2u);
  EXPECT_EQ(clips[0].args, (std::vector<float>{0, 0, 541, 541}));
  EXPECT_EQ(clips[1].args, (std::vector<float>{80, 60, 409, 421}));
  // y = 0 maps to the area's bottom edge, x = 0 (the x minimum) to its left edge.
  EXPECT_FLOAT_EQ(plot.engine().GetYTrafo().Transform(0.0f), 481.0f);
  EXPECT_FLOAT_EQ(plot.engine().GetYTrafo().Transform(1.2f), 60.0f);
  EXPECT_FLOAT_EQ(plot.engine().GetXTrafo().Transform(0.0f), 80.0f);
  EXPECT_FLOAT_EQ(plot.engine().GetXTrafo().Transform(1.1f), 489.0f);
  EXPECT_TRUE(HasLine(p, 80, 481, 489, 481, kBlack)) << "x axis on the bottom edge\n" << p.Dump();
  EXPECT_TRUE(HasLine(p, 80, 60, 80, 481, kBlack)) << "y axis on the left edge\n" << p.Dump();
}

TEST(PlotLayout, BothLabelInsetsAreTakenOncePerLayoutPass) {
  for (const int cw : {8, 10, 12}) {
    Plot plot;
    add_dataset(plot.h, kX, kY);
    RecordingPainter p;
    p.charWidth = cw;
    ASSERT_TRUE(plot.engine().Draw(p));
    const int left = 3 * cw + 16;   // widest y label + font height
    const int right = 3 * cw - cw;  // last x label less "0"
    EXPECT_EQ(p.Of("SetClipRect").back().args,
              (std::vector<float>{static_cast<float>(2 * left), 60,
                                  static_cast<float>(521 - 2 * left - 2 * right), 421}))
        << "character width " << cw;
  }
}

TEST(PlotLayout, TickLabelsHangBelowTheXAxisAndEndLeftOfTheYAxis) {
  Plot plot;
  add_dataset(plot.h, kX, kY);
  RecordingPainter p;
  ASSERT_TRUE(plot.engine().Draw(p));
  std::vector<std::string> xLabels;
  std::vector<std::string> yLabels;
  const LinTrafo& tx = plot.engine().GetXTrafo();
  const LinTrafo& ty = plot.engine().GetYTrafo();
  for (const Call& c : p.Of("DrawText")) {
    if (c.args[1] == 481 + 16 + 8 + 4) {  // axis + font height + major + minor length
      xLabels.push_back(c.text);
      EXPECT_EQ(c.args[0], static_cast<float>(static_cast<int>(tx.Transform(std::stof(c.text)))));
    } else if (c.args[0] == 80 - (24 + 8 + 4)) {  // ends just left of the tick
      yLabels.push_back(c.text);
      EXPECT_EQ(c.args[1], static_cast<int>(ty.Transform(std::stof(c.text))) + 8);
    }
  }
  EXPECT_EQ(xLabels, (std::vector<std::string>{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
  EXPECT_EQ(yLabels.size(), 13u);  // 0.0 .. 1.2 every 0.1
  EXPECT_EQ(yLabels.back(), "1.2");
  // Tick marks are capped by the font: 8 pixels for majors, 4 for minors.
  EXPECT_TRUE(HasLine(p, 80, 481, 80, 489, kBlack));
  EXPECT_TRUE(HasLine(p, 80, 481, 72, 481, kBlack));
  // Grey grid lines across the area at the major ticks: 6 vertical, 13 horizontal.
  int vertical = 0;
  int horizontal = 0;
  for (const Call& c : p.Of("DrawLine")) {
    vertical += c.lineColor == kGrey && c.args[1] == 60 && c.args[3] == 481;
    horizontal += c.lineColor == kGrey && c.args[0] == 80 && c.args[2] == 489;
  }
  EXPECT_EQ(vertical, 6);
  EXPECT_EQ(horizontal, 13);
}

TEST(PlotLayout, AxisLabelsAreCentredAndTheYLabelReadsUpwards) {
  Plot plot;
  add_dataset(plot.h, kX, kY);
  set_xlabel(plot.h, "Normalized Time    ");
  set_ylabel(plot.h, "Normalized Product");
  RecordingPainter p;
  ASSERT_TRUE(plot.engine().Draw(p));
  const auto rotated = p.Of("DrawRotatedText");
  ASSERT_EQ(rotated.size(), 1u);
  // Left of the widest y tick label (80 - 36), centred on the area's height (421 - 144) / 2.
  EXPECT_EQ(rotated[0].args, (std::vector<float>{44, 481 - 138, -90}));
  EXPECT_EQ(rotated[0].text, "Normalized Product");
  const auto texts = p.Of("DrawText");
  const auto xLabel = std::find_if(texts.begin(), texts.end(),
                                   [](const Call& c) { return c.text == "Normalized Time"; });
  ASSERT_NE(xLabel, texts.end());
  // Below the deepest tick label (481 + 28), one font height down; centred on the width.
  EXPECT_EQ(xLabel->args, (std::vector<float>{80 + (409 - 120) / 2, 481 + 28 + 16}));
}

TEST(PlotDraw, APlotWithoutSeriesDrawsNothing) {
  Plot plot;
  RecordingPainter p;
  EXPECT_TRUE(plot.engine().Draw(p));
  EXPECT_TRUE(p.Drawing().empty()) << p.Dump();
  EXPECT_TRUE(p.Of("SetClipRect").empty());
}

TEST(PlotDraw, ASeriesWithoutPointsStopsTheSeriesAfterIt) {
  Plot plot;
  add_dataset(plot.h, kX, kY);
  add_dataset(plot.h, std::vector<double>{}, std::vector<double>{});
  add_dataset(plot.h, kX, kY);
  RecordingPainter p;
  EXPECT_FALSE(plot.engine().Draw(p));
  int red = 0;
  for (const Call& c : SeriesCalls(p, "DrawLine")) {
    EXPECT_EQ(c.lineColor, kRed) << "only series 0 is drawn";
    ++red;
  }
  EXPECT_EQ(red, 2);
  EXPECT_EQ(p.Texts().back(), "plot 2");  // the legend, drawn before the series, lists all
}

TEST(PlotDraw, SeriesGetRedBlueGreenByIndexUnlessColoured) {
  Plot plot;
  for (int i = 0; i < 4; ++i) add_dataset(plot.h, kX, kY);
  set_seriescolor(plot.h, 3, 34, 139, 34);
  RecordingPainter p;
  ASSERT_TRUE(plot.engine().Draw(p));
  const std::vector<PColor> expected{kRed, kBlue, kGreen, PColor{34, 139, 34}};
  const auto lines = SeriesCalls(p, "DrawLine");
  ASSERT_EQ(lines.size(), 8u);
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].lineColor, expected[i / 2]);

  // Legend: names at the area's left + 20, one line every two font heights, in series colour.
  std::vector<Call> legend;
  for (const Call& c : p.Of("DrawText")) {
    if (c.text.rfind("plot ", 0) == 0) legend.push_back(c);
  }
  ASSERT_EQ(legend.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    const auto& c = legend[static_cast<std::size_t>(i)];
    EXPECT_EQ(c.text, "plot " + std::to_string(i));
    EXPECT_EQ(c.args, (std::vector<float>{100, static_cast<float>(60 + 16 + 32 * i)}));
    EXPECT_EQ(c.lineColor, expected[static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(PlotDataContainer::DefaultColor(6), kBlack);
  EXPECT_EQ(PlotDataContainer::DefaultColor(7), kRed);
}

TEST(PlotDraw, ATooLongLegendNameShowsDotsAndItsTail) {
  Plot plot;
  add_dataset(plot.h, kX, kY);
  add_dataset(plot.h, kX, kY);
  std::string longName;
  for (int i = 0; i < 60; ++i) longName += static_cast<char>('a' + i % 26);
  const std::string fits(48, 'x');  // 384 pixels, under the 409 - 20 limit
  set_serieslabel(plot.h, 0, longName);
  set_serieslabel(plot.h, 1, fits);
  RecordingPainter p;
  ASSERT_TRUE(plot.engine().Draw(p));
  const auto texts = p.Texts();
  // "..." + 60 characters is 504 pixels; five cuts of three bring it to 48 characters.
  EXPECT_NE(std::find(texts.begin(), texts.end(), "..." + longName.substr(15)), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), fits), texts.end());
}

TEST(PlotDraw, BigDotsAreFiveByFiveBlocksAndLinesJoinThePoints) {
  Plot plot;
  add_dataset(plot.h, kX, kY);
  add_dataset(plot.h, kX, kY);
  set_seriestype(plot.h, 0, kSeriesBigDots);
  RecordingPainter p;
  ASSERT_TRUE(plot.engine().Draw(p));
  const auto lines = SeriesCalls(p, "DrawLine");
  ASSERT_EQ(lines.size(), 3u * 5u + 2u);
  // The point (0.5, 0.6) lands at (284.5, 270.5), truncated to (284, 270).
  const LinTrafo& tx = plot.engine().GetXTrafo();
  const LinTrafo& ty = plot.engine().GetYTrafo();
  const int px = static_cast<int>(tx.Transform(0.5f));
  const int py = static_cast<int>(ty.Transform(0.6f));
  for (int j = 0; j < 5; ++j) {
    const auto x = static_cast<float>(px - 2 + j);
    EXPECT_EQ(lines[5 + static_cast<std::size_t>(j)].args,
              (std::vector<float>{x, static_cast<float>(py - 2), x, static_cast<float>(py + 3)}));
  }
  EXPECT_EQ(lines[15].args, (std::vector<float>{tx.Transform(0.0f), ty.Transform(0.0f),
                                                tx.Transform(0.5f), ty.Transform(0.6f)}));
}

TEST(PlotDraw, FlatYRangesAreOpenedUpAndBadRangesRefused) {
  struct Case {
    double ymin, ymax;
    float wantMin, wantMax;
  };
  for (const Case c : {Case{0.5, 0.5, 0.45f, 0.55f}, Case{0.0, 0.0, -0.1f, 0.1f},
                       Case{100, 100.05, 89.995f, 110.055f}}) {
    Plot plot;
    set_yscale(plot.h, c.ymin, c.ymax);
    add_dataset(plot.h, kX, kY);
    RecordingPainter p;
    EXPECT_TRUE(plot.engine().Draw(p)) << c.ymin;
    EXPECT_NEAR(plot.engine().GetYAxisSetup().min, c.wantMin, 1e-4f) << c.ymin;
    EXPECT_NEAR(plot.engine().GetYAxisSetup().max, c.wantMax, 1e-4f) << c.ymin;
  }
  for (const auto& [xmin, xmax, ymin, ymax] :
       {std::tuple{1.0, 1.0, 0.0, 1.0}, std::tuple{1.0, 0.0, 0.0, 1.0},
        std::tuple{0.0, 1.0, 1.0, 0.0}}) {
    Plot plot;
    set_xscale(plot.h, xmin, xmax);
    set_yscale(plot.h, ymin, ymax);
    add_dataset(plot.h, kX, kY);
    RecordingPainter p;
    EXPECT_FALSE(plot.engine().Draw(p));
    EXPECT_TRUE(p.Drawing().empty()) << "refused before drawing";
  }
}

}  // namespace
}  // namespace brx
