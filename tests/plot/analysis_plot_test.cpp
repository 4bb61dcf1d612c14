// The analysis plot as the plot engine is given it: which series show in which order and colour,
// and the line of a run that gave no curves.

#include "plot/analysis_plot.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "plot/data_drawers.h"

namespace brx {
namespace {

// Which series show, in which order, colour and style: the points as dots first, then the curves
// asked for as lines (Model 2 takes series 1 when Model 1 is hidden), the cross-check's curve
// dashed after them; a run that gave no curves shows its points alone whatever is asked for.
TEST(AnalysisPlot, ShowsThePointsAndTheCurvesAskedForInTheirColours) {
  const std::map<std::string, PColor> colours = {
      {"data", {34, 139, 34}}, {"m1", {0, 0, 255}}, {"m2", {148, 0, 211}}, {"cc", {255, 140, 0}}};
  const struct {
    bool show1, show2, show_crosscheck, aborted;
    std::vector<std::string> names;
  } cases[] = {
      {true, true, false, false, {"data", "m1", "m2"}},
      {false, true, false, false, {"data", "m2"}},
      {false, true, true, false, {"data", "m2", "cc"}},
      {true, true, true, true, {"data"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.names.back());
    AnalysisPlot a;
    a.times = a.crosscheck_times = {0.001, 0.5, 1.0};
    a.measured = {0.001, 0.7, 0.95};
    a.model1 = {0.001, 0.69, 0.96};
    a.model2 = {0.001, 0.72, 0.93};
    a.crosscheck_curve = {0.001, 0.71, 0.97};
    a.data_label = "data", a.model1_label = "m1", a.model2_label = "m2", a.crosscheck_label = "cc";
    a.show_model1 = c.show1;
    a.show_model2 = c.show2;
    a.show_crosscheck = c.show_crosscheck;
    if (c.aborted) a.abort_line = aborted_run_line("the fit failed");
    PlotHandle* h = build_analysis_plot(a);
    PlotDataContainer& data = h->plot->GetPlotDataContainer();
    ASSERT_EQ(data.GetPlotCount(), static_cast<int>(c.names.size()));
    for (int i = 0; i < data.GetPlotCount(); ++i) {
      const std::string& name = c.names[static_cast<std::size_t>(i)];
      EXPECT_EQ(data.GetLegendData(i)->name, name);
      EXPECT_EQ(data.GetLegendData(i)->color, colours.at(name));
      DataDrawerBase* drawer = data.GetDataDrawer(i);
      EXPECT_EQ(dynamic_cast<BigDotDataDrawer*>(drawer) != nullptr, name == "data");
      EXPECT_EQ(dynamic_cast<DashedLineDataDrawer*>(drawer) != nullptr, name == "cc");
    }
    destroy_plot(h);
  }
  EXPECT_EQ(aborted_run_line("too few data points"),
            "Curve-fit aborted: too few data points \x97 see Display Results");
  EXPECT_EQ(aborted_run_line(""), "");
}

}  // namespace
}  // namespace brx
