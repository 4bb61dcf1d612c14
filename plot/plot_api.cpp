#include "plot/plot_api.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace brx {

namespace {

std::uint8_t ColorByte(int v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

std::unique_ptr<PlotData> FloatCopy(std::span<const double> values, std::size_t count) {
  std::vector<float> v(count);
  for (std::size_t k = 0; k < count; ++k) v[k] = static_cast<float>(values[k]);
  return std::make_unique<PlotData>(std::move(v));
}

void SetScale(AxisSetup& axis, double min, double max) {
  axis.min = static_cast<float>(min);
  axis.max = static_cast<float>(max);
  axis.autoscaleMin = false;
  axis.autoscaleMax = false;
}

}  // namespace

std::string_view TrimTrailingBlanks(std::string_view text) {
  const auto end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

PlotHandle* initialize_plot() {
  try {
    auto h = std::make_unique<PlotHandle>();
    h->plot = std::make_unique<PlotEngine>();
    PlotEngine& p = *h->plot;
    p.SetMargins(PlotMargins{0, 20, 60, 60});
    p.SetXGrid(true);
    p.SetYGrid(true);
    for (AxisSetup* axis : {&p.GetXAxisSetup(), &p.GetYAxisSetup()}) {
      axis->autoscaleMin = true;
      axis->autoscaleMax = true;
    }
    // The y axis stands at the low end of the x range, not at x = 0.
    p.GetYAxisSetup().crossOrigin = false;
    return h.release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void set_xlinear(PlotHandle* h) {
  if (h != nullptr) h->plot->GetXAxisSetup().logarithmic = false;
}

void set_ylinear(PlotHandle* h) {
  if (h != nullptr) h->plot->GetYAxisSetup().logarithmic = false;
}

void set_xscale(PlotHandle* h, double min, double max) {
  if (h != nullptr) SetScale(h->plot->GetXAxisSetup(), min, max);
}

void set_yscale(PlotHandle* h, double min, double max) {
  if (h != nullptr) SetScale(h->plot->GetYAxisSetup(), min, max);
}

void add_dataset(PlotHandle* h, std::span<const double> x, std::span<const double> y) {
  if (h == nullptr) return;
  const std::size_t count = std::min(x.size(), y.size());
  h->plot->GetPlotDataContainer().AddXYPlot(FloatCopy(x, count), FloatCopy(y, count));
}

void set_serieslabel(PlotHandle* h, int index, std::string_view text) {
  if (h == nullptr) return;
  if (LegendData* legend = h->plot->GetPlotDataContainer().GetLegendData(index)) {
    legend->name = std::string(TrimTrailingBlanks(text));
  }
}

void set_seriestype(PlotHandle* h, int index, int type) {
  if (h == nullptr) return;
  std::unique_ptr<DataDrawerBase> drawer;
  if (type == kSeriesLine) {
    drawer = std::make_unique<LineDataDrawer>(true, false);
  } else if (type == kSeriesBigDots) {
    drawer = std::make_unique<BigDotDataDrawer>(BigDotDataDrawer::kDefaultDotSize);
  } else if (type == kSeriesDashedLine) {
    drawer = std::make_unique<DashedLineDataDrawer>();
  } else {
    return;  // bars (2) and small dots (3) are not drawn by this engine; others mean nothing
  }
  h->plot->GetPlotDataContainer().SetDataDrawer(index, std::move(drawer));
}

void set_seriescolor(PlotHandle* h, int index, int r, int g, int b) {
  if (h == nullptr) return;
  if (LegendData* legend = h->plot->GetPlotDataContainer().GetLegendData(index)) {
    legend->color = PColor{ColorByte(r), ColorByte(g), ColorByte(b)};
  }
}

void set_xlabel(PlotHandle* h, std::string_view text) {
  if (h != nullptr) h->plot->GetXAxisSetup().label = std::string(TrimTrailingBlanks(text));
}

void set_ylabel(PlotHandle* h, std::string_view text) {
  if (h != nullptr) h->plot->GetYAxisSetup().label = std::string(TrimTrailingBlanks(text));
}

void destroy_plot(PlotHandle*& h) {
  delete h;
  h = nullptr;
}

}  // namespace brx
