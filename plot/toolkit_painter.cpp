#include "plot/toolkit_painter.h"

#include <algorithm>

#include "toolkit/toolkit.h"

namespace brx {

namespace tk = brx::toolkit;

namespace {

constexpr int kHorizontal = 0;
constexpr int kVertical = 1;
constexpr int kSolidFill = 1;
constexpr int kLeft = 0;
constexpr int kTop = 2;

}  // namespace

ToolkitPainter::ToolkitPainter() {
  const tk::ViewSettings v = tk::getviewsettings();
  left_ = v.left;
  top_ = v.top;
  right_ = v.right;
  bottom_ = v.bottom;
  clip_ = v.clip;
  // Text positions below are worked out for left/top justification. A caller that left another
  // justification in force (the plot view leaves vertical centring) would otherwise shift every
  // plot text from the second redraw on.
  tk::settextjustify(kLeft, kTop);
}

ToolkitPainter::~ToolkitPainter() {
  if (clipSet_) RestoreRecordedViewport();
}

void ToolkitPainter::RestoreRecordedViewport() {
  tk::setviewport(left_, top_, right_, bottom_, clip_);
  dx_ = 0;
  dy_ = 0;
}

void ToolkitPainter::DrawLine(float x1, float y1, float x2, float y2) {
  tk::line(TruncateToPixel(x1) - dx_, TruncateToPixel(y1) - dy_, TruncateToPixel(x2) - dx_,
           TruncateToPixel(y2) - dy_);
}

void ToolkitPainter::FillRect(int x, int y, int w, int h) {
  tk::bar(x - dx_, y - dy_, x + w - dx_, y + h - dy_);
}

void ToolkitPainter::SetClipRect(int x, int y, int w, int h) {
  if (clipSet_) RestoreRecordedViewport();
  tk::setviewport(left_ + x, top_ + y, left_ + x + w, top_ + y + h, 1);
  clipSet_ = true;
  dx_ = x;
  dy_ = y;
}

void ToolkitPainter::SetLineColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  tk::setcolor(tk::creatergb(r, g, b));
}

void ToolkitPainter::SetFillColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  tk::setfillstyle(kSolidFill, tk::creatergb(r, g, b));
}

int ToolkitPainter::CalculateTextDrawSize(const char* text) {
  if (text == nullptr) return 0;
  // Measured in the font the text is drawn in, whatever style the window had before.
  tk::settextstyle(kFont, kHorizontal, kFontSize);
  return std::max(0, tk::textwidth(text));
}

int ToolkitPainter::GetFontHeight() {
  tk::settextstyle(kFont, kHorizontal, kFontSize);
  return tk::textheight("0");
}

void ToolkitPainter::DrawText(int x, int y, const char* text) {
  if (text == nullptr) return;
  tk::settextstyle(kFont, kHorizontal, kFontSize);
  tk::outtextxy(x - dx_, y - tk::textheight(text) - dy_, text);
}

void ToolkitPainter::DrawRotatedText(int x, int y, float angle, const char* text) {
  (void)angle;  // always a quarter turn upwards
  if (text == nullptr) return;
  tk::settextstyle(kFont, kVertical, kFontSize);
  // Width and height are those of the unturned text: the turned text is textheight wide.
  tk::outtextxy(x - tk::textheight(text) - dx_, y - tk::textwidth(text) - dy_, text);
  tk::settextstyle(kFont, kHorizontal, kFontSize);
}

}  // namespace brx
