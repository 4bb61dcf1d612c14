#include "plot/data_drawers.h"

namespace brx {

bool LineDataDrawer::DrawData(Painter& painter, const PlotDataBase& x, const PlotDataBase& y,
                              const PlotDataSelection& selection) {
  if (xTrafo_ == nullptr || yTrafo_ == nullptr) return false;
  const int nx = x.GetSize();
  const int ny = y.GetSize();
  if (nx == 0 || ny == 0 || nx > ny) return false;
  float prevX = 0.0f;
  float prevY = 0.0f;
  for (int k = 0; k < nx; ++k) {
    const float px = xTrafo_->Transform(x.GetValue(k));
    const float py = yTrafo_->Transform(y.GetValue(k));
    if (drawLine && k > 0) painter.DrawLine(prevX, prevY, px, py);
    if (drawPoints) DrawPoint(painter, TruncateToPixel(px), TruncateToPixel(py));
    if (selection.IsSelected(k)) DrawSelection(painter, px, py);
    prevX = px;
    prevY = py;
  }
  return true;
}

void LineDataDrawer::DrawPoint(Painter& painter, int px, int py) {
  painter.FillRect(px - 1, py - 1, 3, 3);
}

void LineDataDrawer::DrawSelection(Painter& painter, float px, float py) {
  painter.FillRect(TruncateToPixel(px) - 5, TruncateToPixel(py) - 5, 10, 10);
}

void BigDotDataDrawer::DrawPoint(Painter& painter, int px, int py) {
  const int h = dotSize / 2;
  for (int j = 0; j < dotSize; ++j) {
    const float col = static_cast<float>(px - h + j);
    painter.DrawLine(col, static_cast<float>(py - h), col, static_cast<float>(py - h + dotSize));
  }
}

}  // namespace brx
