// Plots drawn into toolkit windows and saved as bitmaps: the picture a user sees, checked where
// it matters. Set BRX_PLOT_PICTURE to a file name to keep the application-style picture as a BMP;
// reference_plot.png beside this file is that picture, for people to look at.

#include "plot/embed_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/bmp_file.h"
#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = brx::toolkit;
using Picture = test::Bmp;

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kDataGreen = 0x228B22;     // (34, 139, 34)
constexpr std::uint32_t kModel1Blue = 0x0000FF;    // (0, 0, 255)
constexpr std::uint32_t kModel2Violet = 0x9400D3;  // (148, 0, 211)

// How many pixels of the square of half-width r around (x, y) have the colour.
int CountNear(const Picture& p, int x, int y, int r, std::uint32_t colour) {
  int n = 0;
  for (int j = std::max(0, y - r); j <= std::min(p.height - 1, y + r); ++j) {
    for (int i = std::max(0, x - r); i <= std::min(p.width - 1, x + r); ++i)
      n += p.at(i, j) == colour;
  }
  return n;
}

// A progress curve rising towards 1 (series 0) and two fits of it that part a little towards
// the end (series 1 and 2), sampled at n times from 0 to 1.
double Time(int i, int n) {
  return static_cast<double>(i) / (n - 1);
}
double Curve(int series, double t) {
  const double model1 = 1.0 - std::exp(-2.2 * t);
  if (series == 1) return model1;
  if (series == 2) return 1.0 - std::exp(-2.0 * t) - 0.04 * t;
  return model1 + 0.01 * std::sin(40.0 * t);
}

// The plot the application draws after an analysis: data as big green dots, both fits as lines.
PlotHandle* ApplicationPlot(int n) {
  PlotHandle* h = initialize_plot();
  set_xlinear(h);
  set_ylinear(h);
  set_xscale(h, 0.0, 1.1);
  set_yscale(h, 0.0, 1.2);
  const char* names[] = {"Experimental Data", "Type 1 Deactivation Model 1", "Classical Model 2"};
  const int colours[3][3] = {{34, 139, 34}, {0, 0, 255}, {148, 0, 211}};
  for (int s = 0; s < 3; ++s) {
    std::vector<double> t, y;
    for (int i = 0; i < n; ++i) {
      t.push_back(Time(i, n));
      y.push_back(Curve(s, t.back()));
    }
    add_dataset(h, t, y);
    set_serieslabel(h, s, names[s]);
    set_seriestype(h, s, s == 0 ? kSeriesBigDots : kSeriesLine);
    set_seriescolor(h, s, colours[s][0], colours[s][1], colours[s][2]);
  }
  set_xlabel(h, "Normalized Time");
  set_ylabel(h, "Normalized Product");
  return h;
}

class EmbedPlot : public ::testing::Test {
 protected:
  void SetUp() override {
    tk::test::reset_toolkit();
    window_ = tk::initwindow(640, 600, "plot", tk::kDefaultPosition, tk::kDefaultPosition, 0, 0);
    ASSERT_GE(window_, 0);
  }
  void TearDown() override { tk::test::reset_toolkit(); }

  Picture Save(int left, int top, int right, int bottom, bool keep = false) {
    const auto file = dir_.path() / "plot.bmp";
    EXPECT_EQ(tk::writeimagefile(file.string().c_str(), left, top, right, bottom), 1);
    if (const char* copy = std::getenv("BRX_PLOT_PICTURE"); keep && copy != nullptr) {
      std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing);
    }
    Picture p = test::read_bmp(file);
    EXPECT_EQ(p.fault, "");
    return p;
  }

  int window_ = -1;
  test::TempDir dir_;
};

TEST_F(EmbedPlot, ApplicationPlotShowsDotsCurvesAxesOnWhite) {
  constexpr int n = 25;
  PlotHandle* h = ApplicationPlot(n);
  ASSERT_TRUE(embed_plot(h, window_, 0, 0, 540, 540));
  EXPECT_EQ(h->window, -1);
  const tk::ViewSettings v = tk::getviewsettings();
  EXPECT_EQ(std::vector<int>({v.left, v.top, v.right, v.bottom, v.clip}),
            std::vector<int>({0, 0, 640, 600, 0}))
      << "viewport reset to the whole window";

  const Picture p = Save(0, 0, 540, 540, true);
  ASSERT_EQ(std::pair(p.width, p.height), std::pair(541, 541));
  const auto X = [&](double t) {
    return static_cast<int>(h->plot->GetXTrafo().Transform(static_cast<float>(t)));
  };
  const auto Y = [&](double y) {
    return static_cast<int>(h->plot->GetYTrafo().Transform(static_cast<float>(y)));
  };

  // Mostly white, with the margins untouched.
  EXPECT_GT(std::count(p.pixels.begin(), p.pixels.end(), kWhite), 541 * 541 * 7 / 10);
  EXPECT_EQ(CountNear(p, 530, 10, 8, kWhite), 17 * 17) << "top right corner";
  // Black axes: x along y = 0 from the x minimum to the x maximum, y along x = 0.
  int xAxis = 0;
  for (int x = X(0.05); x <= X(1.05); ++x) xAxis += p.at(x, Y(0.0)) == kBlack;
  EXPECT_GT(xAxis, (X(1.05) - X(0.05)) * 9 / 10);
  int yAxis = 0;
  for (int y = Y(1.15); y <= Y(0.1); ++y) yAxis += p.at(X(0.0), y) == kBlack;
  EXPECT_GT(yAxis, (Y(0.1) - Y(1.15)) * 9 / 10);
  // Every data point carries a green dot (the one on the corner is half clipped away); the
  // fitted curves run in their colours.
  for (int i = 1; i < n; ++i) {
    EXPECT_GE(CountNear(p, X(Time(i, n)), Y(Curve(0, Time(i, n))), 2, kDataGreen), 8)
        << "dot " << i;
  }
  for (double t = 0.3; t < 1.0; t += 0.1) {
    EXPECT_GT(CountNear(p, X(t), Y(Curve(1, t)), 2, kModel1Blue), 0) << "model 1 at " << t;
    EXPECT_GT(CountNear(p, X(t), Y(Curve(2, t)), 2, kModel2Violet), 0) << "model 2 at " << t;
  }
  destroy_plot(h);
}

TEST_F(EmbedPlot, DrawsOnlyInsideItsRectangleWhereverItIs) {
  tk::setbkcolor(tk::creatergb(128, 128, 128));
  tk::clearviewport();
  PlotHandle* h = ApplicationPlot(10);
  ASSERT_TRUE(embed_plot(h, window_, 60, 40, 400, 300));
  const Picture p = Save(0, 0, 639, 599);
  // Everything outside (60, 40)-(460, 340) keeps the grey it had.
  int spilled = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      spilled += !(x >= 60 && x <= 460 && y >= 40 && y <= 340) && p.at(x, y) != kGrey;
    }
  }
  EXPECT_EQ(spilled, 0);
  // The engine's coordinates are relative to the rectangle: its x axis lands shifted by it.
  const int axisY = 40 + static_cast<int>(h->plot->GetYTrafo().Transform(0.0f));
  const int midX = 60 + static_cast<int>(h->plot->GetXTrafo().Transform(0.5f));
  EXPECT_EQ(p.at(midX, axisY), kBlack);
  EXPECT_EQ(p.at(midX, axisY - 3), kWhite);
  destroy_plot(h);
}

TEST_F(EmbedPlot, RedrawsAlikeWhateverJustificationWasLeftAndRefusesClosedWindows) {
  PlotHandle* h = ApplicationPlot(10);
  ASSERT_TRUE(embed_plot(h, window_, 0, 0, 540, 540));
  const Picture first = Save(0, 0, 540, 540);
  tk::settextjustify(0, 1);  // as the plot view leaves it after writing its title
  ASSERT_TRUE(embed_plot(h, window_, 0, 0, 540, 540));
  EXPECT_TRUE(first.pixels == Save(0, 0, 540, 540).pixels) << "the second redraw moved";
  EXPECT_FALSE(embed_plot(h, 99, 0, 0, 540, 540)) << "a window that is not open";
  EXPECT_FALSE(embed_plot(nullptr, window_, 0, 0, 540, 540));
  destroy_plot(h);
}

}  // namespace
}  // namespace brx
