// Plots drawn into toolkit windows: the picture a user sees, checked where it matters.
// reference_plot.png beside this file shows the application's plot, for people to look at.

#include "plot/embed_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "plot/analysis_plot.h"
#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = brx::toolkit;
using Picture = tk::test::PageImage;

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kDataGreen = 0x228B22;     // (34, 139, 34)
constexpr std::uint32_t kModel1Blue = 0x0000FF;    // (0, 0, 255)
constexpr std::uint32_t kModel2Violet = 0x9400D3;  // (148, 0, 211)

// The plot the application draws after an analysis: data as big green dots, both fits as lines.
PlotHandle* ApplicationPlot() {
  AnalysisPlot a;
  a.times = {0.001, 0.2, 0.4, 0.6, 0.8, 1.0};
  a.measured = {0.001, 0.36, 0.59, 0.73, 0.83, 0.89};
  a.model1 = {0.001, 0.35, 0.58, 0.73, 0.83, 0.89};
  a.model2 = {0.001, 0.33, 0.55, 0.68, 0.77, 0.82};
  a.show_model1 = a.show_model2 = true;
  a.x_label = "Normalized Time";
  a.y_label = "Normalized Product";
  return build_analysis_plot(a);
}

class EmbedPlot : public ::testing::Test {
 protected:
  void SetUp() override {
    tk::test::reset_toolkit();
    window_ = tk::initwindow(640, 600, "plot", tk::kDefaultPosition, tk::kDefaultPosition, 0, 0);
    ASSERT_GE(window_, 0);
  }
  void TearDown() override { tk::test::reset_toolkit(); }

  Picture Grab() const { return tk::test::grab_page(window_); }

  int window_ = -1;
};

// The picture shows the dots and both curves in their colours, and a redraw after the plot view
// has changed the text justification lands on the same pixels.
TEST_F(EmbedPlot, ApplicationPlotRedrawsAlikeAndLeavesTheWholeWindowAsViewport) {
  PlotHandle* h = ApplicationPlot();
  ASSERT_TRUE(embed_plot(h, window_, 0, 0, 540, 540));
  const tk::ViewSettings v = tk::getviewsettings();
  EXPECT_EQ(v.right + v.bottom, 640 + 600) << "the viewport is the whole window again";
  const Picture p = Grab();
  for (const std::uint32_t colour : {kDataGreen, kModel1Blue, kModel2Violet}) {
    EXPECT_GT(std::count(p.pixels.begin(), p.pixels.end(), colour), 50) << std::hex << colour;
  }
  tk::settextjustify(0, 1);  // as the plot view leaves it after writing its title
  ASSERT_TRUE(embed_plot(h, window_, 0, 0, 540, 540));
  EXPECT_TRUE(p.pixels == Grab().pixels) << "the second redraw moved";
  destroy_plot(h);
}

// Drawn elsewhere in the window, the plot stays inside its rectangle and its coordinates are
// relative to it; a window that is not open, or no plot, is refused.
TEST_F(EmbedPlot, DrawsOnlyInsideItsRectangleWhereverItIs) {
  tk::setbkcolor(tk::creatergb(128, 128, 128));
  tk::clearviewport();
  PlotHandle* h = ApplicationPlot();
  ASSERT_TRUE(embed_plot(h, window_, 60, 40, 400, 300));
  const Picture p = Grab();
  int spilled = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      spilled += !(x >= 60 && x <= 460 && y >= 40 && y <= 340) && p.at(x, y) != kGrey;
    }
  }
  EXPECT_EQ(spilled, 0);
  const int axisY = 40 + static_cast<int>(h->plot->GetYTrafo().Transform(0.0f));
  const int midX = 60 + static_cast<int>(h->plot->GetXTrafo().Transform(0.5f));
  EXPECT_EQ(p.at(midX, axisY), kBlack);
  EXPECT_EQ(p.at(midX, axisY - 3), kWhite);
  EXPECT_FALSE(embed_plot(h, 99, 0, 0, 540, 540));
  EXPECT_FALSE(embed_plot(nullptr, window_, 0, 0, 540, 540));
  destroy_plot(h);
}

}  // namespace
}  // namespace brx
