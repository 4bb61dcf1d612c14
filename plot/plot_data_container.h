#pragma once
// The series of a plot: five parallel lists indexed by series number.

#include <memory>
#include <vector>

#include "plot/data_drawers.h"
#include "plot/plot_data.h"

namespace brx {

class PlotDataContainer {
 public:
  // The colour a series gets by its number when none is given: red, blue, green, cyan,
  // magenta, yellow, black, then round again.
  static PColor DefaultColor(int index);

  // Appends a series. Nothing happens without y values. Missing parts get defaults: x the
  // numbers 0..n-1, legend "plot <i>" in the colour of series i, a line drawer, no selection;
  // a given selection is made as long as y.
  void AddXYPlot(std::unique_ptr<PlotDataBase> x, std::unique_ptr<PlotDataBase> y,
                 std::unique_ptr<LegendData> legend = nullptr,
                 std::unique_ptr<DataDrawerBase> drawer = nullptr,
                 std::unique_ptr<PlotDataSelection> selection = nullptr);
  // Replaces (and destroys) the drawer of series `index`; null means a new line drawer. False
  // for an index that names no series.
  bool SetDataDrawer(int index, std::unique_ptr<DataDrawerBase> drawer);

  int GetPlotCount() const { return static_cast<int>(yData_.size()); }
  // The parts of series `index`, or null for an index that names no series.
  LegendData* GetLegendData(int index);
  const PlotDataBase* GetXData(int index) const;
  const PlotDataBase* GetYData(int index) const;
  DataDrawerBase* GetDataDrawer(int index);
  const PlotDataSelection* GetPlotDataSelection(int index) const;

 private:
  bool Has(int index) const { return index >= 0 && index < GetPlotCount(); }
  static std::size_t At(int index) { return static_cast<std::size_t>(index); }

  std::vector<std::unique_ptr<PlotDataBase>> xData_;
  std::vector<std::unique_ptr<PlotDataBase>> yData_;
  std::vector<std::unique_ptr<LegendData>> legends_;
  std::vector<std::unique_ptr<DataDrawerBase>> drawers_;
  std::vector<std::unique_ptr<PlotDataSelection>> selections_;
};

}  // namespace brx
