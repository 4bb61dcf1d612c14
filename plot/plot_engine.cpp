#include "plot/plot_engine.h"

#include <algorithm>
#include <cmath>

namespace brx {

namespace {

constexpr PColor kBlack{0, 0, 0};
constexpr PColor kGridColor{200, 200, 200};
constexpr int kLegendIndent = 20;  // legend names start this far right of the plot area's edge

void SetColors(Painter& painter, PColor c) {
  painter.SetLineColor(c.r, c.g, c.b);
  painter.SetFillColor(c.r, c.g, c.b);
}

int TextWidth(Painter& painter, const std::string& text) {
  return painter.CalculateTextDrawSize(text.c_str());
}

// Linear map of [min, max] onto the pixels [p0, p1]; an axis that is not ascending runs from p1
// back to p0 (the y minimum lands on the bottom edge).
bool SetLinearTrafo(LinTrafo& trafo, const AxisSetup& axis, int p0, int p1) {
  const float range = axis.max - axis.min;
  if (!(range >= PlotEngine::kMinTrafoRange)) return false;
  const float scale = static_cast<float>(p1 - p0) / range;
  if (axis.ascending) {
    trafo.Set(static_cast<float>(p0) - axis.min * scale, scale);
  } else {
    trafo.Set(static_cast<float>(p1) + axis.min * scale, -scale);
  }
  return true;
}

// Shortens a legend name to fit `limit` pixels: "..." goes in front and the characters right
// after it are dropped, three at a time while the name is longer than 8 characters, then down
// to 6, then all, until it fits or only "..." is left.
std::string ShortenLegendName(Painter& painter, const std::string& name, int limit) {
  if (TextWidth(painter, name) < limit) return name;
  std::string s = "..." + name;
  while (TextWidth(painter, s) >= limit && s.size() > 3) {
    if (s.size() > 8) {
      s.erase(3, 3);
    } else if (s.size() > 6) {
      s.erase(3, s.size() - 6);
    } else {
      s.erase(3);
    }
  }
  return s;
}

}  // namespace

PlotEngine::PlotEngine() = default;

void PlotEngine::SetTickSizes(int fontHeight, TickInfo& tickInfo) {
  const int cap = static_cast<int>(std::floor(static_cast<float>(fontHeight) * 0.5f + 0.5f));
  if (tickInfo.majorTickScreenSize > cap) tickInfo.majorTickScreenSize = cap;
  tickInfo.minorTickScreenSize =
      static_cast<int>(std::floor(static_cast<float>(tickInfo.majorTickScreenSize) * 0.5f + 0.5f));
}

bool PlotEngine::Draw(Painter& painter) {
  PRect area{margins_.left, margins_.top, painter.GetWidth() - margins_.left - margins_.right,
             painter.GetHeight() - margins_.top - margins_.bottom};
  if (data_.GetPlotCount() == 0) return true;
  if (!ConfigureSelf()) return false;

  // Two layout passes: the second starts from the area the first left, so the label insets
  // are taken twice. The tick spacing of the second pass follows the narrower area.
  for (int pass = 0; pass < 2; ++pass) {
    if (!CalculateAxisRanges()) return false;
    if (!CheckRange(xAxis_) || !CheckRange(yAxis_)) return false;
    if (!CalculateTickInfo(area, painter)) return false;
    const int left = CalculateYAxisLabelWidth(painter) + painter.GetFontHeight();
    area.x += left;
    area.width -= left;
    area.width -= CalculateLastXAxisLabelWidth(painter);
    if (!CalculateXTransformation(area) || !CalculateYTransformation(area)) return false;
  }

  painter.SetLineColor(kBlack.r, kBlack.g, kBlack.b);
  painter.SetClipRect(0, 0, painter.GetWidth(), painter.GetHeight());
  DrawPlotBackground(painter, PRect{0, 0, painter.GetWidth(), painter.GetHeight()});
  if (!DrawGridXAxis(painter, area) || !DrawGridYAxis(painter, area) || !DrawXAxis(painter, area) ||
      !DrawYAxis(painter, area) || !DrawLegend(painter, area)) {
    return false;
  }
  painter.SetClipRect(area.x, area.y, area.width, area.height);
  for (int i = 0; i < data_.GetPlotCount(); ++i) {
    if (!DrawPlot(painter, i)) return false;  // the series after a failing one are not drawn
  }
  return true;
}

bool PlotEngine::ConfigureSelf() {
  if (data_.GetPlotCount() == 0) return false;
  // Only linear axes are drawn; a logarithmic axis is refused rather than drawn wrongly.
  if (xAxis_.logarithmic || yAxis_.logarithmic) return false;
  xLinTicks_.SetAxis(&xAxis_, &xTickInfo_);
  yLinTicks_.SetAxis(&yAxis_, &yTickInfo_);
  xTicks_ = &xLinTicks_;
  yTicks_ = &yLinTicks_;
  xTrafo_ = &xLinTrafo_;
  yTrafo_ = &yLinTrafo_;
  for (int i = 0; i < data_.GetPlotCount(); ++i) {
    if (DataDrawerBase* drawer = data_.GetDataDrawer(i)) drawer->SetTrafos(xTrafo_, yTrafo_);
  }
  return true;
}

bool PlotEngine::CalculateAxisRanges() {
  // Fixed ends stay as set; an autoscaled end takes the extreme of all series' values.
  const auto autoscale = [this](AxisSetup& axis, bool useX) {
    if (!axis.autoscaleMin && !axis.autoscaleMax) return;
    bool any = false;
    float lo = 0.0f;
    float hi = 0.0f;
    for (int i = 0; i < data_.GetPlotCount(); ++i) {
      const PlotDataBase* d = useX ? data_.GetXData(i) : data_.GetYData(i);
      float mn = 0.0f;
      float mx = 0.0f;
      if (d == nullptr || !d->CalculateRange(mn, mx)) continue;
      lo = any ? std::min(lo, mn) : mn;
      hi = any ? std::max(hi, mx) : mx;
      any = true;
    }
    if (!any) return;
    if (axis.autoscaleMin) axis.min = lo;
    if (axis.autoscaleMax) axis.max = hi;
  };
  autoscale(xAxis_, true);
  autoscale(yAxis_, false);
  return true;
}

bool PlotEngine::CheckRange(const AxisSetup& axis) {
  constexpr float kMinLogValue = 1e-10f;
  return !(axis.logarithmic && axis.min < kMinLogValue);
}

bool PlotEngine::CalculateTickInfo(const PRect& area, Painter& painter) {
  const float xRange = xAxis_.max - xAxis_.min;
  if (!(xRange > 0.0f)) return false;
  float yRange = yAxis_.max - yAxis_.min;
  if (!(yRange >= 0.0f)) return false;

  // A flat (or nearly flat) y range is opened up so that its ticks can be spaced.
  if (yAxis_.max == 0.0f && yRange == 0.0f) {
    yAxis_.min -= 0.1f;
    yAxis_.max += 0.1f;
  } else if (yAxis_.max != 0.0f && (std::fabs(yRange / yAxis_.max) < 0.001f || yRange == 0.0f)) {
    const float d = 0.1f * std::fabs(yAxis_.max);
    yAxis_.min -= d;
    yAxis_.max += d;
  }
  yRange = yAxis_.max - yAxis_.min;

  const int fontHeight = painter.GetFontHeight();
  if (xTickInfo_.autoTick) {
    const float guess = static_cast<float>(area.width) /
                        static_cast<float>(2 * painter.CalculateTextDrawSize("12345"));
    if (!xTicks_->InitFromRanges(xRange, area.height, guess, xTickInfo_)) return false;
  }
  if (yTickInfo_.autoTick) {
    const float guess = static_cast<float>(area.height) / static_cast<float>(3 * fontHeight);
    if (!yTicks_->InitFromRanges(yRange, area.width, guess, yTickInfo_)) return false;
  }
  if (xTickInfo_.autoTickSize) SetTickSizes(fontHeight, xTickInfo_);
  if (yTickInfo_.autoTickSize) SetTickSizes(fontHeight, yTickInfo_);
  return true;
}

int PlotEngine::CalculateYAxisLabelWidth(Painter& painter) {
  if (!yTickInfo_.ticksOn || !yGrid_ || !yTicks_->Init()) return 0;
  int width = 0;
  float value = 0.0f;
  bool isMajor = false;
  std::string format;
  while (yTicks_->GetNextTick(value, isMajor, format)) {
    if (isMajor) width = std::max(width, TextWidth(painter, FormatTickLabel(format, value)));
  }
  return width;
}

int PlotEngine::CalculateLastXAxisLabelWidth(Painter& painter) {
  if (!xTickInfo_.ticksOn || !xGrid_ || !xTicks_->Init()) return 0;
  std::string last;
  float value = 0.0f;
  bool isMajor = false;
  std::string format;
  while (xTicks_->GetNextTick(value, isMajor, format)) {
    if (isMajor) last = FormatTickLabel(format, value);
  }
  if (last.empty()) return 0;
  return std::max(0, TextWidth(painter, last) - painter.CalculateTextDrawSize("0"));
}

bool PlotEngine::CalculateXTransformation(const PRect& area) {
  return SetLinearTrafo(xLinTrafo_, xAxis_, area.x, area.x + area.width);
}

bool PlotEngine::CalculateYTransformation(const PRect& area) {
  return SetLinearTrafo(yLinTrafo_, yAxis_, area.y, area.y + area.height);
}

void PlotEngine::DrawPlotBackground(Painter& painter, const PRect& rect) {
  if (!backgroundTransparent_) {
    painter.SetFillColor(backgroundColor_.r, backgroundColor_.g, backgroundColor_.b);
    painter.FillRect(rect.x, rect.y, rect.width, rect.height);
  }
  if (!title_.empty()) {
    painter.SetStyle(PStyle{PStyle::Role::kTitle});
    painter.DrawText(rect.x + (rect.width - TextWidth(painter, title_)) / 2,
                     margins_.top - painter.GetFontHeight(), title_.c_str());
  }
}

bool PlotEngine::DrawGridXAxis(Painter& painter, const PRect& area) {
  if (!xGrid_) return true;
  if (!xTicks_->Init()) return false;
  SetColors(painter, kGridColor);
  float value = 0.0f;
  bool isMajor = false;
  std::string format;
  const auto top = static_cast<float>(area.y);
  const auto bottom = static_cast<float>(area.y + area.height);
  while (xTicks_->GetNextTick(value, isMajor, format)) {
    if (!isMajor) continue;
    const float x = xTrafo_->Transform(value);
    painter.DrawLine(x, top, x, bottom);
  }
  SetColors(painter, kBlack);
  return true;
}

bool PlotEngine::DrawGridYAxis(Painter& painter, const PRect& area) {
  if (!yGrid_) return true;
  if (!yTicks_->Init()) return false;
  SetColors(painter, kGridColor);
  float value = 0.0f;
  bool isMajor = false;
  std::string format;
  const auto left = static_cast<float>(area.x);
  const auto right = static_cast<float>(area.x + area.width);
  while (yTicks_->GetNextTick(value, isMajor, format)) {
    if (!isMajor) continue;
    const float y = yTrafo_->Transform(value);
    painter.DrawLine(left, y, right, y);
  }
  SetColors(painter, kBlack);
  return true;
}

int PlotEngine::DrawXTick(Painter& painter, float x, float axisY, bool isMajor,
                          const std::string& label) {
  const int major = xTickInfo_.majorTickScreenSize;
  const int minor = xTickInfo_.minorTickScreenSize;
  painter.DrawLine(x, axisY, x, axisY + static_cast<float>(isMajor ? major : minor));
  if (!isMajor) return minor;
  const int fontHeight = painter.GetFontHeight();
  painter.SetStyle(PStyle{PStyle::Role::kTickLabel});
  painter.DrawText(TruncateToPixel(x), TruncateToPixel(axisY) + fontHeight + major + minor,
                   label.c_str());
  return fontHeight + major + minor;
}

int PlotEngine::DrawYTick(Painter& painter, float y, float axisX, bool isMajor,
                          const std::string& label) {
  const int major = yTickInfo_.majorTickScreenSize;
  const int minor = yTickInfo_.minorTickScreenSize;
  const int ax = TruncateToPixel(axisX);
  painter.DrawLine(axisX, y, axisX - static_cast<float>(isMajor ? major : minor), y);
  if (!isMajor) return ax - minor;
  const int left = ax - (TextWidth(painter, label) + major + minor);
  painter.SetStyle(PStyle{PStyle::Role::kTickLabel});
  painter.DrawText(left, TruncateToPixel(y) + painter.GetFontHeight() / 2, label.c_str());
  return left;
}

bool PlotEngine::DrawXAxis(Painter& painter, const PRect& area) {
  // On the origin of y, or on the y end nearest the bottom; never far outside the plot area.
  float axisY = 0.0f;
  if (xAxis_.crossOrigin) {
    axisY = yTrafo_->Transform(0.0f);
  } else {
    axisY = yTrafo_->Transform(yAxis_.ascending ? yAxis_.max : yAxis_.min);
  }
  const auto bottom = static_cast<float>(area.y + area.height);
  if (axisY < static_cast<float>(area.y) - 1.0f || axisY > bottom + 1.0f || std::isnan(axisY)) {
    axisY = bottom;
  }
  painter.DrawLine(static_cast<float>(area.x), axisY, static_cast<float>(area.x + area.width),
                   axisY);

  int lowest = 0;  // deepest reach of a tick below the axis
  if (xTickInfo_.ticksOn) {
    if (!xTicks_->Init()) return false;
    float value = 0.0f;
    bool isMajor = false;
    std::string format;
    while (xTicks_->GetNextTick(value, isMajor, format)) {
      const std::string label = isMajor ? FormatTickLabel(format, value) : std::string();
      lowest =
          std::max(lowest, DrawXTick(painter, xTrafo_->Transform(value), axisY, isMajor, label));
    }
  }
  if (!xAxis_.label.empty()) {
    const int fontHeight = painter.GetFontHeight();
    painter.SetStyle(PStyle{PStyle::Role::kAxisLabel});
    const int y = std::max(TruncateToPixel(axisY) + lowest, area.y + area.height) + fontHeight;
    painter.DrawText(area.x + (area.width - TextWidth(painter, xAxis_.label)) / 2, y,
                     xAxis_.label.c_str());
  }
  return true;
}

bool PlotEngine::DrawYAxis(Painter& painter, const PRect& area) {
  // On the origin of x, or on the x end nearest the left; never far outside the plot area.
  float axisX = 0.0f;
  if (yAxis_.crossOrigin) {
    axisX = xTrafo_->Transform(0.0f);
  } else {
    axisX = xTrafo_->Transform(xAxis_.ascending ? xAxis_.min : xAxis_.max);
  }
  const auto right = static_cast<float>(area.x + area.width);
  if (axisX < static_cast<float>(area.x) - 1.0f || axisX > right + 1.0f || std::isnan(axisX)) {
    axisX = static_cast<float>(area.x);
  }
  painter.DrawLine(axisX, static_cast<float>(area.y), axisX,
                   static_cast<float>(area.y + area.height));

  int leftmost = TruncateToPixel(axisX);  // left edge of the widest tick label
  if (yTickInfo_.ticksOn) {
    if (!yTicks_->Init()) return false;
    float value = 0.0f;
    bool isMajor = false;
    std::string format;
    while (yTicks_->GetNextTick(value, isMajor, format)) {
      const std::string label = isMajor ? FormatTickLabel(format, value) : std::string();
      leftmost =
          std::min(leftmost, DrawYTick(painter, yTrafo_->Transform(value), axisX, isMajor, label));
    }
  }
  if (!yAxis_.label.empty()) {
    const int x = std::min(leftmost, area.x);
    const int width = TextWidth(painter, yAxis_.label);
    painter.SetStyle(PStyle{PStyle::Role::kAxisLabel});
    if (painter.SupportsVerticalText()) {
      painter.DrawRotatedText(x, area.y + area.height - (area.height - width) / 2, -90.0f,
                              yAxis_.label.c_str());
    } else {
      painter.DrawText(x, area.y - painter.GetFontHeight(), yAxis_.label.c_str());
    }
  }
  return true;
}

bool PlotEngine::DrawLegend(Painter& painter, const PRect& area) {
  const int fontHeight = painter.GetFontHeight();
  const int limit = area.width - kLegendIndent;
  for (int i = 0; i < data_.GetPlotCount(); ++i) {
    const LegendData* legend = data_.GetLegendData(i);
    if (legend == nullptr) continue;
    painter.SetLineColor(legend->color.r, legend->color.g, legend->color.b);
    painter.SetStyle(legend->style);
    const std::string name =
        ShortenLegendName(painter, legend->showName ? legend->name : std::string(), limit);
    painter.DrawText(area.x + kLegendIndent, area.y + fontHeight + 2 * fontHeight * i,
                     name.c_str());
  }
  return true;
}

bool PlotEngine::DrawPlot(Painter& painter, int index) {
  const PlotDataBase* x = data_.GetXData(index);
  const PlotDataBase* y = data_.GetYData(index);
  DataDrawerBase* drawer = data_.GetDataDrawer(index);
  const PlotDataSelection* selection = data_.GetPlotDataSelection(index);
  if (x == nullptr || y == nullptr || drawer == nullptr || selection == nullptr) return false;
  const LegendData* legend = data_.GetLegendData(index);
  SetColors(painter, legend != nullptr ? legend->color : kBlack);
  return drawer->DrawData(painter, *x, *y, *selection);
}

}  // namespace brx
