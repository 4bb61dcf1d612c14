// The Selwyn plot drawn into a toolkit window: each curve's points and fitted line in its own
// colour, the line without loss in grey, the legend naming the curves in order.

#include "plot/selwyn_plot_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = brx::toolkit;

std::uint32_t packed(SeriesColour c) {
  return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 |
         static_cast<std::uint32_t>(c.b);
}

// Four curves of a stable enzyme, product formed 1 − e^(−x) against x = [E]0·t.
SelwynPicture four_curves() {
  SelwynPicture s;
  s.title = "[So] = 100: no evidence of deactivation";
  const double e0[] = {0.5, 1, 2, 4};
  for (int k = 0; k < 4; ++k) {
    std::string name = "A";  // appended piece by piece: GCC 12 at -O3 sees an overlap otherwise
    name += std::to_string(k + 1);
    name += ", [E]0 = ";
    name += std::to_string(e0[k]);
    s.names.push_back(name);
    SelwynSeries2D p, c;
    for (int i = 0; i <= 20; ++i) {
      const double x = e0[k] * i / 20.0;
      p.x.push_back(x);
      p.y.push_back(1 - std::exp(-x) + 0.02 * (k + 1));
      c.x.push_back(x);
      c.y.push_back(1 - std::exp(-x) + 0.02 * (k + 1));
    }
    s.points.push_back(p);
    s.curves.push_back(c);
  }
  for (int i = 0; i <= 40; ++i) {
    s.stable.x.push_back(4.0 * i / 40);
    s.stable.y.push_back(1 - std::exp(-4.0 * i / 40) - 0.1);
  }
  return s;
}

TEST(SelwynPlotDrawing, EachCurveHasItsColourAndTheLegendNamesThemInOrder) {
  const SelwynPicture s = four_curves();
  PlotHandle* h = build_selwyn_plot(s);
  ASSERT_NE(h, nullptr);
  PlotDataContainer& data = h->plot->GetPlotDataContainer();
  ASSERT_EQ(data.GetPlotCount(), 9);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(data.GetLegendData(k)->name, s.names[static_cast<std::size_t>(k)]);
    EXPECT_EQ(data.GetLegendData(5 + k)->name, "") << "one legend row per curve";
    EXPECT_TRUE(data.GetLegendData(k)->color == data.GetLegendData(5 + k)->color);
  }
  EXPECT_EQ(data.GetLegendData(4)->name, s.stable_name);
  EXPECT_EQ(h->plot->GetXAxisSetup().label, kSelwynXLabel);
  destroy_plot(h);

  tk::test::reset_toolkit();
  tk::useansitext();  // as both programs draw: the label's middle dot is a single byte
  const int window = tk::initwindow(kSelwynWidth + 1, kSelwynHeight + 1, "selwyn");
  ASSERT_GE(window, 0);
  draw_selwyn_picture(s);
  const tk::test::PageImage p = tk::test::grab_page(window);
  // BRX_SELWYN_PICTURE names a BMP file to keep the picture in, for people to look at.
  if (const char* keep = std::getenv("BRX_SELWYN_PICTURE")) {
    tk::writeimagefile(keep, 0, 0, kSelwynWidth, kSelwynHeight);
  }
  const auto count = [&](std::uint32_t colour) {
    return std::count(p.pixels.begin(), p.pixels.end(), colour);
  };
  for (int k = 0; k < 4; ++k) {
    EXPECT_GT(count(packed(selwyn_colour(k))), 100) << "curve " << k;
  }
  EXPECT_GT(count(packed(kSelwynStableColour)), 100) << "the line without loss";
  EXPECT_GT(count(packed(kTitleColour)), 20) << "the title";
  tk::test::reset_toolkit();
}

}  // namespace
}  // namespace brx
