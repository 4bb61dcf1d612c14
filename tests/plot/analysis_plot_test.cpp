// The analysis plot as the plot engine is given it: which series show in which order and colour,
// and the line of a run that gave no curves.

#include "plot/analysis_plot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace brx
