#include "plot/plot_data_container.h"

#include <string>

namespace brx {

PColor PlotDataContainer::DefaultColor(int index) {
  static constexpr PColor kColors[7] = {{255, 0, 0},   {0, 0, 255},   {0, 255, 0}, {0, 255, 255},
                                        {255, 0, 255}, {255, 255, 0}, {0, 0, 0}};
  const int i = index % 7;
  return kColors[i < 0 ? i + 7 : i];
}

void PlotDataContainer::AddXYPlot(std::unique_ptr<PlotDataBase> x, std::unique_ptr<PlotDataBase> y,
                                  std::unique_ptr<LegendData> legend,
                                  std::unique_ptr<DataDrawerBase> drawer,
                                  std::unique_ptr<PlotDataSelection> selection) {
  if (y == nullptr || (y->GetRealPlotData() == nullptr && y->GetCalculatedData() == nullptr)) {
    return;
  }
  const int index = GetPlotCount();
  if (x == nullptr) x = std::make_unique<DummyData>(y->GetSize());
  if (legend == nullptr) {
    legend = std::make_unique<LegendData>();
    legend->name = "plot " + std::to_string(index);
    legend->color = DefaultColor(index);
  }
  if (drawer == nullptr) drawer = std::make_unique<LineDataDrawer>(true, false);
  if (selection == nullptr) {
    selection = std::make_unique<PlotDataSelection>();
  } else {
    selection->Resize(y->GetSize());
  }
  xData_.push_back(std::move(x));
  yData_.push_back(std::move(y));
  legends_.push_back(std::move(legend));
  drawers_.push_back(std::move(drawer));
  selections_.push_back(std::move(selection));
}

bool PlotDataContainer::SetDataDrawer(int index, std::unique_ptr<DataDrawerBase> drawer) {
  if (!Has(index)) return false;
  if (drawer == nullptr) drawer = std::make_unique<LineDataDrawer>(true, false);
  drawers_[At(index)] = std::move(drawer);
  return true;
}

LegendData* PlotDataContainer::GetLegendData(int index) {
  return Has(index) ? legends_[At(index)].get() : nullptr;
}
const PlotDataBase* PlotDataContainer::GetXData(int index) const {
  return Has(index) ? xData_[At(index)].get() : nullptr;
}
const PlotDataBase* PlotDataContainer::GetYData(int index) const {
  return Has(index) ? yData_[At(index)].get() : nullptr;
}
DataDrawerBase* PlotDataContainer::GetDataDrawer(int index) {
  return Has(index) ? drawers_[At(index)].get() : nullptr;
}
const PlotDataSelection* PlotDataContainer::GetPlotDataSelection(int index) const {
  return Has(index) ? selections_[At(index)].get() : nullptr;
}

}  // namespace brx
