// The Selwyn plot as the plot engine is given it: each curve's points and fitted line in its own
// colour, the line without loss, the legend naming the curves in order. The desktop's Selwyn Plot
// window shows it drawn.

#include "plot/selwyn_plot_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace brx {
namespace {

// Four curves of a stable enzyme, product formed 1 − e^(−x) against x = [E]0·t.
SelwynPicture four_curves() {
  SelwynPicture s;
  s.title = "[So] = 100: no evidence of deactivation";
  const double e0[] = {0.5, 1, 2, 4};
  for (int k = 0; k < 4; ++k) {
    s.names.push_back(std::string(1, static_cast<char>('A' + k)));
    SelwynSeries2D p;
    for (int i = 0; i <= 20; ++i) {
      p.x.push_back(e0[k] * i / 20.0);
      p.y.push_back(1 - std::exp(-p.x.back()) + 0.02 * (k + 1));
    }
    s.points.push_back(p);
    s.curves.push_back(p);  // a perfect fit
  }
  s.stable = s.curves.back();
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
}

}  // namespace
}  // namespace brx
