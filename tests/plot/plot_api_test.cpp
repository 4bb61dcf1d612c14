// The flat plot API: what a new plot is set up with, what each operation changes, and that
// nothing breaks on a null handle or an index that names no series.

#include "plot/plot_api.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/recording_painter.h"

namespace brx {
namespace {

using test::RecordingPainter;

const std::vector<double> kX{0.0, 0.5, 1.0};
const std::vector<double> kY{0.0, 0.6, 1.0};

TEST(PlotEngineDefaults, AreThoseOfAPlainPlot) {
  PlotEngine e;
  EXPECT_EQ(e.GetMargins().left, 40);
  EXPECT_EQ(e.GetMargins().right, 20);
  EXPECT_EQ(e.GetMargins().top, 5);
  EXPECT_EQ(e.GetMargins().bottom, 42);
  EXPECT_FALSE(e.GetXGrid());
  EXPECT_FALSE(e.GetYGrid());
  EXPECT_TRUE(e.GetXAxisSetup().ascending);
  EXPECT_FALSE(e.GetYAxisSetup().ascending);  // y values grow upwards
  for (AxisSetup* a : {&e.GetXAxisSetup(), &e.GetYAxisSetup()}) {
    EXPECT_TRUE(a->autoscaleMin && a->autoscaleMax && a->crossOrigin);
    EXPECT_FALSE(a->logarithmic);
    EXPECT_EQ(a->logBase, 10.0f);
    EXPECT_EQ(a->min, 0.0f);
    EXPECT_EQ(a->max, 0.0f);
  }
  const TickInfo& t = e.GetXTickInfo();
  EXPECT_TRUE(t.autoTick && t.autoTickSize && t.ticksOn);
  EXPECT_EQ(t.tickDivision, 1);
  EXPECT_EQ(t.majorTickSpan, 1.0f);
  EXPECT_EQ(t.majorTickScreenSize, 1);
  EXPECT_EQ(t.minorTickScreenSize, 1);
  EXPECT_EQ(t.formatString, "%.0f");

  DummyPainter d;  // the defaults every painter falls back on
  EXPECT_EQ(d.GetWidth(), 100);
  EXPECT_EQ(d.GetHeight(), 100);
  EXPECT_EQ(d.GetFontHeight(), 10);
  EXPECT_EQ(d.CalculateTextDrawSize("12345"), 5);
  EXPECT_TRUE(d.SupportsVerticalText());
}

TEST(InitializePlot, SetsMarginsGridsAndAYAxisAtTheXMinimum) {
  PlotHandle* h = initialize_plot();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->window, -1);
  PlotEngine& e = *h->plot;
  EXPECT_EQ(e.GetMargins().left, 0);
  EXPECT_EQ(e.GetMargins().right, 20);
  EXPECT_EQ(e.GetMargins().top, 60);
  EXPECT_EQ(e.GetMargins().bottom, 60);
  EXPECT_TRUE(e.GetXGrid() && e.GetYGrid());
  EXPECT_TRUE(e.GetXAxisSetup().crossOrigin);
  EXPECT_FALSE(e.GetYAxisSetup().crossOrigin);

  set_xscale(h, -1.0, 2.5);
  EXPECT_EQ(e.GetXAxisSetup().min, -1.0f);
  EXPECT_EQ(e.GetXAxisSetup().max, 2.5f);
  EXPECT_FALSE(e.GetXAxisSetup().autoscaleMin || e.GetXAxisSetup().autoscaleMax);
  EXPECT_TRUE(e.GetYAxisSetup().autoscaleMin);  // the other axis is untouched
  destroy_plot(h);
  EXPECT_EQ(h, nullptr);
}

TEST(PlotApi, NullHandlesAndUnknownSeriesAreIgnored) {
  PlotHandle* none = nullptr;
  set_xlinear(none);
  set_ylinear(none);
  set_xscale(none, 0, 1);
  set_yscale(none, 0, 1);
  add_dataset(none, kX, kY);
  set_serieslabel(none, 0, "a");
  set_seriestype(none, 0, 1);
  set_seriescolor(none, 0, 1, 2, 3);
  set_xlabel(none, "x");
  set_ylabel(none, "y");
  destroy_plot(none);
  EXPECT_EQ(none, nullptr);

  PlotHandle* h = initialize_plot();
  add_dataset(h, kX, kY);
  set_serieslabel(h, 5, "a");
  set_seriestype(h, -1, 1);
  set_seriescolor(h, 1, 1, 2, 3);
  PlotDataContainer& data = h->plot->GetPlotDataContainer();
  EXPECT_EQ(data.GetPlotCount(), 1);
  EXPECT_EQ(data.GetLegendData(0)->name, "plot 0");
  EXPECT_EQ(data.GetLegendData(0)->color, (PColor{255, 0, 0}));
  EXPECT_EQ(data.GetLegendData(1), nullptr);
  destroy_plot(h);
}

TEST(AddDataset, KeepsAFloatCopyOfTheShorterLength) {
  PlotHandle* h = initialize_plot();
  std::vector<double> x{0.1, 0.2, 0.3, 0.4};
  const std::vector<double> y{1.0, 2.0, 3.0};
  add_dataset(h, x, y);
  x[0] = 99.0;  // the plot has its own copy
  const PlotDataContainer& data = h->plot->GetPlotDataContainer();
  ASSERT_EQ(data.GetXData(0)->GetSize(), 3);
  EXPECT_EQ(data.GetYData(0)->GetSize(), 3);
  EXPECT_EQ(data.GetXData(0)->GetValue(0), 0.1f);
  EXPECT_EQ(data.GetYData(0)->GetValue(2), 3.0f);
  destroy_plot(h);
}

TEST(SetSeriesType, ZeroAndOneChooseTheDrawerOtherNumbersLeaveIt) {
  PlotHandle* h = initialize_plot();
  add_dataset(h, kX, kY);
  PlotDataContainer& data = h->plot->GetPlotDataContainer();
  const auto isDots = [&] { return dynamic_cast<BigDotDataDrawer*>(data.GetDataDrawer(0)); };
  const auto lines = [&] {
    auto* d = dynamic_cast<LineDataDrawer*>(data.GetDataDrawer(0));
    return d != nullptr && d->drawLine && !d->drawPoints;
  };
  ASSERT_TRUE(lines());
  set_seriestype(h, 0, 7);
  EXPECT_TRUE(lines()) << "7 keeps the line drawer";
  set_seriestype(h, 0, 1);
  ASSERT_NE(isDots(), nullptr);
  EXPECT_EQ(isDots()->dotSize, 5);
  set_seriestype(h, 0, 2);
  set_seriestype(h, 0, -1);
  EXPECT_NE(isDots(), nullptr) << "no other number replaces the drawer";
  set_seriestype(h, 0, 0);
  EXPECT_TRUE(lines());
  EXPECT_EQ(isDots(), nullptr);
  destroy_plot(h);
}

TEST(SetSeriesColor, ClampsEachComponent) {
  PlotHandle* h = initialize_plot();
  add_dataset(h, kX, kY);
  set_seriescolor(h, 0, 148, -5, 300);
  EXPECT_EQ(h->plot->GetPlotDataContainer().GetLegendData(0)->color, (PColor{148, 0, 255}));
  destroy_plot(h);
}

TEST(Labels, TrailingBlanksGoAndALaterLabelReplacesAnEarlierOne) {
  PlotHandle* h = initialize_plot();
  set_xscale(h, 0.0, 1.1);
  set_yscale(h, 0.0, 1.2);
  add_dataset(h, kX, kY);
  add_dataset(h, kX, kY);
  set_serieslabel(h, 0, "Experimental Data                       ");
  set_serieslabel(h, 1, "Experimental Data");
  set_ylabel(h, std::string(50, ' '));
  set_ylabel(h, "Normalized Product                                ");
  set_xlabel(h, "   ");
  RecordingPainter p;
  ASSERT_TRUE(h->plot->Draw(p));
  EXPECT_EQ(p.Texts("DrawRotatedText"), std::vector<std::string>{"Normalized Product"});
  int legend = 0;
  for (const std::string& t : p.Texts()) {
    EXPECT_NE(t.find_first_not_of(' '), std::string::npos) << "a blank text was drawn";
    legend += t == "Experimental Data";
  }
  EXPECT_EQ(legend, 2) << "the same label twice shows twice";
  EXPECT_EQ(TrimTrailingBlanks("  a b  "), "  a b");
  destroy_plot(h);
}

}  // namespace
}  // namespace brx
