#pragma once
// PlotEngine lays out and draws a whole plot through a Painter in one call: series, linear axes
// with ticks and labels, grid and legend.
//
// Layout of the drawing area (pixels, y down):
//
//   +---------------------------------------------+
//   |            top margin (title above)         |
//   |  y labels |+-------------------------+      |
//   |   + font  ||legend    plot area      |right |
//   |   height  ||                         |margin|
//   |           |+-------------------------+      |
//   |            x tick labels, x label           |
//   +---------------------------------------------+
//
// The plot area starts as the painter's area less the margins; each of the two layout passes
// then takes the y label column (widest y label + font height) off its left side and the part
// of the last x label that sticks out (its width less that of "0") off its right side.

#include <memory>
#include <string>

#include "plot/axis_setup.h"
#include "plot/painter.h"
#include "plot/plot_data_container.h"
#include "plot/ticks.h"
#include "plot/trafo.h"

namespace brx {

// Something that draws itself through a painter.
class PDrawer {
 public:
  virtual ~PDrawer() = default;
  virtual bool Draw(Painter& painter) = 0;
};

struct PlotMargins {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
};
inline constexpr PlotMargins kDefaultMargins{40, 20, 5, 42};

class PlotEngine : public PDrawer {
 public:
  static constexpr float kMinTrafoRange = 1e-20f;  // a narrower axis range cannot be drawn

  PlotEngine();
  PlotEngine(const PlotEngine&) = delete;  // the tick walkers point into this object
  PlotEngine& operator=(const PlotEngine&) = delete;

  // Lays out and draws everything; false at the first step that fails (what was drawn before
  // stays drawn). A plot without series draws nothing and succeeds.
  bool Draw(Painter& painter) override;

  // Caps the tick lengths at half the font height (major) and half of that (minor).
  static void SetTickSizes(int fontHeight, TickInfo& tickInfo);

  PlotDataContainer& GetPlotDataContainer() { return data_; }
  AxisSetup& GetXAxisSetup() { return xAxis_; }
  AxisSetup& GetYAxisSetup() { return yAxis_; }
  TickInfo& GetXTickInfo() { return xTickInfo_; }
  TickInfo& GetYTickInfo() { return yTickInfo_; }
  void SetXGrid(bool on) { xGrid_ = on; }
  void SetYGrid(bool on) { yGrid_ = on; }
  bool GetXGrid() const { return xGrid_; }
  bool GetYGrid() const { return yGrid_; }
  void SetMargins(const PlotMargins& m) { margins_ = m; }
  const PlotMargins& GetMargins() const { return margins_; }
  void SetBackground(bool transparent, PColor color) {
    backgroundTransparent_ = transparent;
    backgroundColor_ = color;
  }
  void SetTitle(std::string title) { title_ = std::move(title); }
  // The transformations of the last layout.
  const LinTrafo& GetXTrafo() const { return xLinTrafo_; }
  const LinTrafo& GetYTrafo() const { return yLinTrafo_; }

 protected:
  virtual bool CalculateXTransformation(const PRect& area);
  virtual bool CalculateYTransformation(const PRect& area);
  virtual bool DrawGridXAxis(Painter& painter, const PRect& area);
  virtual bool DrawGridYAxis(Painter& painter, const PRect& area);
  virtual bool DrawXAxis(Painter& painter, const PRect& area);
  virtual bool DrawYAxis(Painter& painter, const PRect& area);
  virtual bool CalculateTickInfo(const PRect& area, Painter& painter);
  virtual int CalculateYAxisLabelWidth(Painter& painter);
  virtual int CalculateLastXAxisLabelWidth(Painter& painter);
  virtual void DrawPlotBackground(Painter& painter, const PRect& rect);
  // Draws an x tick hanging down from the axis; returns how far below the axis it reaches.
  virtual int DrawXTick(Painter& painter, float x, float axisY, bool isMajor,
                        const std::string& label);
  // Draws a y tick pointing left from the axis; returns its left edge.
  virtual int DrawYTick(Painter& painter, float y, float axisX, bool isMajor,
                        const std::string& label);
  virtual bool DrawLegend(Painter& painter, const PRect& area);
  virtual bool DrawPlot(Painter& painter, int index);
  virtual bool ConfigureSelf();
  virtual bool CalculateAxisRanges();
  virtual bool CheckRange(const AxisSetup& axis);

 private:
  PlotDataContainer data_;
  AxisSetup xAxis_ = DefaultXAxisSetup();
  AxisSetup yAxis_ = DefaultYAxisSetup();
  TickInfo xTickInfo_;
  TickInfo yTickInfo_;
  bool xGrid_ = false;
  bool yGrid_ = false;
  PlotMargins margins_ = kDefaultMargins;
  bool backgroundTransparent_ = true;
  PColor backgroundColor_{255, 255, 255};
  std::string title_;

  LinTrafo xLinTrafo_;
  LinTrafo yLinTrafo_;
  LinTickIterator xLinTicks_;
  LinTickIterator yLinTicks_;
  // Chosen by ConfigureSelf for the kind of each axis.
  const Trafo* xTrafo_ = nullptr;
  const Trafo* yTrafo_ = nullptr;
  TickIterator* xTicks_ = nullptr;
  TickIterator* yTicks_ = nullptr;
};

}  // namespace brx
