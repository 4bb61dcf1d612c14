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
constexpr PColor kBlack{0, 0, 0};

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
  set_ylabel(h, "Normalized Product");
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

  // The y label reads upwards left of the widest tick label (80 - 36), centred on the area's
  // height ((421 - 144) / 2 up from 481).
  const auto rotated = p.Of("DrawRotatedText");
  ASSERT_EQ(rotated.size(), 1u);
  EXPECT_EQ(rotated[0].text, "Normalized Product");
  EXPECT_EQ(rotated[0].args, (Args{44, 481 - 138, -90}));
}

// The legend comes before the series: names at the area's left + 20, one line every two font
// heights, in series colour (red, blue... by index unless set). A series without points stops
// the drawing of the series after it.
TEST_F(PlotDraw, TheLegendNamesEverySeriesAndASeriesWithoutPointsStopsTheRest) {
  AddSeries(1);
  add_dataset(h, std::vector<double>{}, std::vector<double>{});
  AddSeries(1);
  set_serieslabel(h, 0, "Experimental Data      ");
  set_seriescolor(h, 2, 34, 139, 34);
  EXPECT_FALSE(Draw());
  const auto lines = SeriesLines();
  EXPECT_EQ(lines.size(), 2u);
  for (const Call& c : lines) EXPECT_EQ(c.lineColor, kRed) << "only series 0 is drawn";
  const auto texts = p.Of("DrawText");
  ASSERT_GE(texts.size(), 3u);
  const std::string names[] = {"Experimental Data", "plot 1", "plot 2"};
  const PColor colours[] = {kRed, kBlue, PColor{34, 139, 34}};
  for (std::size_t i = 0; i < 3; ++i) {
    const Call& c = texts[texts.size() - 3 + i];
    EXPECT_EQ(c.text, names[i]);
    EXPECT_EQ(c.args, (Args{100, static_cast<float>(60 + 16 + 32 * i)}));
    EXPECT_EQ(c.lineColor, colours[i]);
  }
}

}  // namespace
}  // namespace brx
