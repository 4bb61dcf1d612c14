// The analysis plot as the plot engine is given it: which series show in which order and colour,
// and the line of a run that gave no curves.

#include "plot/analysis_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "plot/data_drawers.h"
#include "plot/plot_data.h"
#include "plot/trafo.h"
#include "tests/support/recording_painter.h"

namespace brx {
namespace {

AnalysisPlot a_run() {
  AnalysisPlot a;
  a.times = {0.001, 0.5, 1.0};
  a.measured = {0.001, 0.7, 0.95};
  a.model1 = {0.001, 0.69, 0.96};
  a.model2 = {0.001, 0.72, 0.93};
  a.data_label = "Experimental Data";
  a.model1_label = "Type 1 Deactivation Model 1";
  a.model2_label = "Classical Model 2";
  a.x_label = "Normalized Time";
  a.y_label = "Normalized Product";
  a.title = "Normalized Progress Curves";
  return a;
}

// The legend names its series in the order they were added, each in its series colour.
std::vector<std::string> legend(PlotHandle* h, std::vector<PColor>* colours = nullptr) {
  std::vector<std::string> names;
  PlotDataContainer& data = h->plot->GetPlotDataContainer();
  for (int i = 0; i < data.GetPlotCount(); ++i) {
    names.push_back(data.GetLegendData(i)->name);
    if (colours != nullptr) colours->push_back(data.GetLegendData(i)->color);
  }
  return names;
}

TEST(AnalysisPlot, ShowsThePointsAndTheCurvesAskedForInTheirColours) {
  const PColor green{34, 139, 34}, blue{0, 0, 255}, violet{148, 0, 211};
  const struct {
    bool show1, show2;
    std::vector<std::string> names;
    std::vector<PColor> colours;
  } cases[] = {
      {true,
       true,
       {"Experimental Data", "Type 1 Deactivation Model 1", "Classical Model 2"},
       {green, blue, violet}},
      // Model 2 takes series 1 when Model 1 is hidden.
      {false, true, {"Experimental Data", "Classical Model 2"}, {green, violet}},
      {true, false, {"Experimental Data", "Type 1 Deactivation Model 1"}, {green, blue}},
  };
  for (const auto& c : cases) {
    AnalysisPlot a = a_run();
    a.show_model1 = c.show1;
    a.show_model2 = c.show2;
    ASSERT_FALSE(shows_prompt(a));
    PlotHandle* h = build_analysis_plot(a);
    std::vector<PColor> colours;
    EXPECT_EQ(legend(h, &colours), c.names);
    EXPECT_EQ(colours, c.colours);
    PlotDataContainer& data = h->plot->GetPlotDataContainer();
    EXPECT_NE(dynamic_cast<BigDotDataDrawer*>(data.GetDataDrawer(0)), nullptr) << "dots";
    const int last = data.GetPlotCount() - 1;
    EXPECT_EQ(dynamic_cast<BigDotDataDrawer*>(data.GetDataDrawer(last)), nullptr) << "a line";
    EXPECT_EQ(data.GetYData(last)->GetValue(1), c.show2 ? 0.72f : 0.69f);
    destroy_plot(h);
  }
}

// A run that gave no curves shows its points alone whatever the check boxes say; without a run
// and without a check the plot is only the prompt.
TEST(AnalysisPlot, AnAbortedRunShowsOnlyItsPointsAndNothingAskedForShowsThePrompt) {
  AnalysisPlot a = a_run();
  a.show_model1 = a.show_model2 = true;
  a.abort_line = aborted_run_line("too few data points");
  EXPECT_EQ(a.abort_line, "Curve-fit aborted: too few data points \x97 see Display Results");
  EXPECT_FALSE(shows_prompt(a));
  PlotHandle* h = build_analysis_plot(a);
  EXPECT_EQ(legend(h), std::vector<std::string>{"Experimental Data"});
  destroy_plot(h);

  a.show_model1 = a.show_model2 = false;
  EXPECT_FALSE(shows_prompt(a)) << "an aborted run still shows its points";
  a.abort_line = aborted_run_line("");
  EXPECT_EQ(a.abort_line, "");
  EXPECT_TRUE(shows_prompt(a));
}

// The cross-check's curve is a dashed series after the models, only when asked for and never for
// an aborted run; asked for alone it is no prompt.
TEST(AnalysisPlot, TheCrossCheckCurveIsADashedSeriesOnlyWhenAskedFor) {
  AnalysisPlot a = a_run();
  a.show_model1 = a.show_model2 = true;
  a.crosscheck_times = {0.0, 0.5, 0.99};
  a.crosscheck_curve = {0.0, 0.71, 0.97};
  a.crosscheck_label = "Cross-check";
  for (const bool show : {false, true}) {
    for (const bool aborted : {false, true}) {
      a.show_crosscheck = show;
      a.abort_line = aborted ? aborted_run_line("the fit failed") : "";
      PlotHandle* h = build_analysis_plot(a);
      PlotDataContainer& data = h->plot->GetPlotDataContainer();
      const bool drawn = show && !aborted;
      EXPECT_EQ(data.GetPlotCount(), aborted ? 1 : drawn ? 4 : 3) << show << aborted;
      if (drawn) {
        EXPECT_EQ(data.GetLegendData(3)->name, "Cross-check");
        EXPECT_EQ(data.GetLegendData(3)->color, (PColor{255, 140, 0}));
        EXPECT_NE(dynamic_cast<DashedLineDataDrawer*>(data.GetDataDrawer(3)), nullptr);
      }
      destroy_plot(h);
    }
  }
  a.abort_line.clear();
  a.show_model1 = a.show_model2 = false;
  EXPECT_FALSE(shows_prompt(a));
}

// Dashes of 8 pixels and gaps of 5, the pattern running on across the points of the series.
TEST(DashedLineDataDrawer, CutsTheLineIntoDashesAcrossItsPoints) {
  const LinTrafo identity(0.0f, 1.0f);
  DashedLineDataDrawer drawer;
  drawer.SetTrafos(&identity, &identity);
  const PlotData x(std::vector<float>{0, 10, 30}), y(std::vector<float>{0, 0, 0});
  test::RecordingPainter p;
  ASSERT_TRUE(drawer.DrawData(p, x, y, PlotDataSelection()));
  std::vector<std::pair<float, float>> dashes;  // x from, x to; joined across the point at 10
  for (const auto& c : p.Of("DrawLine")) {
    if (!dashes.empty() && std::fabs(dashes.back().second - c.args[0]) < 1e-4f) {
      dashes.back().second = c.args[2];
    } else {
      dashes.push_back({c.args[0], c.args[2]});
    }
  }
  const std::vector<std::pair<float, float>> expected = {{0, 8}, {13, 21}, {26, 30}};
  ASSERT_EQ(dashes.size(), expected.size()) << p.Dump();
  for (std::size_t i = 0; i < dashes.size(); ++i) {
    EXPECT_NEAR(dashes[i].first, expected[i].first, 1e-4f);
    EXPECT_NEAR(dashes[i].second, expected[i].second, 1e-4f);
  }
}

}  // namespace
}  // namespace brx
