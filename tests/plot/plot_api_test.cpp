// The flat plot API: a dataset is copied, colours clamp, and nothing breaks on a null handle
// or an index that names no series.

#include "plot/plot_api.h"

#include <gtest/gtest.h>

#include <vector>

namespace brx {
namespace {

const std::vector<double> kX{0.0, 0.5, 1.0};
const std::vector<double> kY{0.0, 0.6, 1.0};

TEST(PlotApi, NullHandlesAndUnknownSeriesAreIgnored) {
  PlotHandle* none = nullptr;
  for (PlotHandle* h : {none, initialize_plot()}) {
    set_xlinear(h), set_ylinear(h), set_xscale(h, 0, 1), set_yscale(h, 0, 1);
    add_dataset(h, kX, kY);
    set_serieslabel(h, 5, "a"), set_seriestype(h, -1, 1), set_seriescolor(h, 1, 1, 2, 3);
    set_xlabel(h, "x"), set_ylabel(h, "y");
    if (h == nullptr) continue;
    PlotDataContainer& data = h->plot->GetPlotDataContainer();
    EXPECT_EQ(data.GetPlotCount(), 1);
    EXPECT_EQ(data.GetLegendData(0)->name, "plot 0");
    EXPECT_EQ(data.GetLegendData(0)->color, (PColor{255, 0, 0}));
    destroy_plot(h);
  }
}

TEST(PlotApi, AddDatasetKeepsAFloatCopyOfTheShorterLengthAndColoursClamp) {
  PlotHandle* h = initialize_plot();
  std::vector<double> x{0.1, 0.2, 0.3, 0.4};
  add_dataset(h, x, std::vector<double>{1.0, 2.0, 3.0});
  x[0] = 99.0;  // the plot has its own copy
  PlotDataContainer& data = h->plot->GetPlotDataContainer();
  ASSERT_EQ(data.GetXData(0)->GetSize(), 3);
  EXPECT_EQ(data.GetXData(0)->GetValue(0), 0.1f);
  set_seriescolor(h, 0, 148, -5, 300);
  EXPECT_EQ(data.GetLegendData(0)->color, (PColor{148, 0, 255}));
  destroy_plot(h);
}

}  // namespace
}  // namespace brx
