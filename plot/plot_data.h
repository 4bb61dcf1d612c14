#pragma once
// What a plot series is made of: its values, its legend entry and its selection marks.

#include <cstddef>
#include <string>
#include <vector>

#include "plot/painter.h"

namespace brx {

class DummyData;

// The values of one coordinate of a series: either stored (real) or calculated on demand.
class PlotDataBase {
 public:
  virtual ~PlotDataBase() = default;
  // The stored values, or null when the values are calculated.
  virtual const std::vector<float>* GetRealPlotData() const = 0;
  // The calculated stand-in, or null when the values are stored.
  virtual const DummyData* GetCalculatedData() const { return nullptr; }
  // Smallest and largest value; false (and both untouched) when there are no values.
  virtual bool CalculateRange(float& min, float& max) const;

  int GetSize() const;
  float GetValue(int i) const;
};

// Stored values.
class PlotData : public PlotDataBase {
 public:
  PlotData() = default;
  explicit PlotData(std::vector<float> values) : values_(std::move(values)) {}
  const std::vector<float>* GetRealPlotData() const override { return &values_; }

 private:
  std::vector<float> values_;
};

// Stands for the values 0, 1, ..., n - 1 (the x values of a series given only y values).
class DummyData : public PlotDataBase {
 public:
  explicit DummyData(int n) : n_(n < 0 ? 0 : n) {}
  const std::vector<float>* GetRealPlotData() const override { return nullptr; }
  const DummyData* GetCalculatedData() const override { return this; }
  int count() const { return n_; }

 private:
  int n_;
};

// The legend entry of a series; its colour is the series' colour.
struct LegendData {
  std::string name;
  PColor color;
  bool showName = true;
  PStyle style{PStyle::Role::kLegend};
};

// Selection marks of a series, one per point; > 0 means selected.
struct PlotDataSelection {
  std::vector<int> marks;
  void Resize(int n) { marks.resize(n < 0 ? 0 : static_cast<std::size_t>(n), 0); }
  bool IsSelected(int i) const {
    return i >= 0 && static_cast<std::size_t>(i) < marks.size() &&
           marks[static_cast<std::size_t>(i)] > 0;
  }
};

}  // namespace brx
