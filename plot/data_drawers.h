#pragma once
// How a series is drawn: joined by lines, or as markers at its points.

#include "plot/painter.h"
#include "plot/plot_data.h"
#include "plot/trafo.h"

namespace brx {

// Draws one series through the transformations the engine hands it before each drawing.
class DataDrawerBase {
 public:
  virtual ~DataDrawerBase() = default;
  // Draws the points (x(k), y(k)); false when it cannot.
  virtual bool DrawData(Painter& painter, const PlotDataBase& x, const PlotDataBase& y,
                        const PlotDataSelection& selection) = 0;

  void SetTrafos(const Trafo* xTrafo, const Trafo* yTrafo) {
    xTrafo_ = xTrafo;
    yTrafo_ = yTrafo;
  }
  const Trafo* xTrafo() const { return xTrafo_; }
  const Trafo* yTrafo() const { return yTrafo_; }

 protected:
  const Trafo* xTrafo_ = nullptr;  // not owned: the engine's
  const Trafo* yTrafo_ = nullptr;
};

// Joins the points with straight lines and/or marks each point.
class LineDataDrawer : public DataDrawerBase {
 public:
  explicit LineDataDrawer(bool withLines = true, bool withPoints = false)
      : drawLine(withLines), drawPoints(withPoints) {}

  // False without transformations, without points, or with more x than y values.
  bool DrawData(Painter& painter, const PlotDataBase& x, const PlotDataBase& y,
                const PlotDataSelection& selection) override;
  // The marker of one point: a 3 x 3 block.
  virtual void DrawPoint(Painter& painter, int px, int py);
  // The mark of a selected point: a filled 10 x 10 square centred on it.
  virtual void DrawSelection(Painter& painter, float px, float py);

  bool drawLine;
  bool drawPoints;
  PStyle style;
};

// Marks each point with a filled square `dotSize` pixels wide, without lines.
class BigDotDataDrawer : public LineDataDrawer {
 public:
  static constexpr int kDefaultDotSize = 5;
  explicit BigDotDataDrawer(int size = kDefaultDotSize)
      : LineDataDrawer(false, true), dotSize(size) {}
  // dotSize vertical lines of dotSize pixels, centred on the point.
  void DrawPoint(Painter& painter, int px, int py) override;

  int dotSize;
};

// Joins the points with a dashed line: dashes of kDash pixels with gaps of kGap, the pattern
// running on along the whole series, so that densely sampled curves stay dashed.
class DashedLineDataDrawer : public DataDrawerBase {
 public:
  static constexpr float kDash = 8.0f;
  static constexpr float kGap = 5.0f;
  bool DrawData(Painter& painter, const PlotDataBase& x, const PlotDataBase& y,
                const PlotDataSelection& selection) override;
};

}  // namespace brx
