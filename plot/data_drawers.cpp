#include "plot/data_drawers.h"

#include <algorithm>
#include <cmath>

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

bool DashedLineDataDrawer::DrawData(Painter& painter, const PlotDataBase& x, const PlotDataBase& y,
                                    const PlotDataSelection& selection) {
  (void)selection;
  if (xTrafo_ == nullptr || yTrafo_ == nullptr) return false;
  const int nx = x.GetSize();
  if (nx == 0 || y.GetSize() == 0 || nx > y.GetSize()) return false;
  constexpr float kPeriod = kDash + kGap;
  float phase = 0.0f;  // how far into the dash-and-gap period the pen is
  float prevX = xTrafo_->Transform(x.GetValue(0));
  float prevY = yTrafo_->Transform(y.GetValue(0));
  for (int k = 1; k < nx; ++k) {
    const float px = xTrafo_->Transform(x.GetValue(k));
    const float py = yTrafo_->Transform(y.GetValue(k));
    const float length = std::hypot(px - prevX, py - prevY);
    // Points off the plot (NaN, infinite) end the pattern's run but draw nothing; a segment far
    // longer than any plot is drawn whole rather than cut into millions of dashes.
    constexpr float kLongest = 16384.0f;
    if (!std::isfinite(length)) {
      phase = 0.0f;
    } else if (length > kLongest) {
      painter.DrawLine(prevX, prevY, px, py);
      phase = 0.0f;
    } else {
      for (float done = 0.0f; done < length;) {
        const bool pen_down = phase < kDash;
        const float step = std::min(length - done, (pen_down ? kDash : kPeriod) - phase);
        if (pen_down) {
          const float a = done / length;
          const float b = (done + step) / length;
          painter.DrawLine(prevX + a * (px - prevX), prevY + a * (py - prevY),
                           prevX + b * (px - prevX), prevY + b * (py - prevY));
        }
        done += step;
        phase = std::fmod(phase + step, kPeriod);
      }
    }
    prevX = px;
    prevY = py;
  }
  return true;
}

}  // namespace brx
