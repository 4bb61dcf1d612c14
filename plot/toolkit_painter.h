#pragma once
// The Painter of toolkit windows: draws the plot with the toolkit's drawing operations into the
// viewport that is current when the painter is made.

#include "plot/painter.h"

namespace brx {

// Draws into the toolkit's current window, relative to the viewport current at construction
// (the "recorded" viewport). A clip rectangle becomes a clipping viewport of its own; while one
// is set, coordinates are shifted by its offset from the recorded viewport. Every text is
// written in font 1 (sans-serif) at size 16 and in the line colour. On destruction the recorded
// viewport is restored if a clip was set.
//
// Text is placed for left/top justification, which the painter selects when it is made (and
// leaves selected).
class ToolkitPainter : public Painter {
 public:
  static constexpr int kFont = 1;
  static constexpr int kFontSize = 16;

  ToolkitPainter();
  ~ToolkitPainter() override;
  ToolkitPainter(const ToolkitPainter&) = delete;
  ToolkitPainter& operator=(const ToolkitPainter&) = delete;

  void DrawLine(float x1, float y1, float x2, float y2) override;
  void FillRect(int x, int y, int w, int h) override;
  void SetClipRect(int x, int y, int w, int h) override;
  bool SupportsVerticalText() override { return true; }
  int GetWidth() override { return right_ - left_ + 1; }
  int GetHeight() override { return bottom_ - top_ + 1; }
  void SetLineColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) override;
  void SetFillColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) override;
  int CalculateTextDrawSize(const char* text) override;
  int GetFontHeight() override;
  // y is the bottom edge of the text.
  void DrawText(int x, int y, const char* text) override;
  // Reads upwards; (x, y) is the bottom-right corner of the turned text. The angle is not used.
  void DrawRotatedText(int x, int y, float angle, const char* text) override;
  void SetStyle(const PStyle& style) override { (void)style; }  // one fixed font

 private:
  void RestoreRecordedViewport();

  // The recorded viewport, window coordinates.
  int left_ = 0;
  int top_ = 0;
  int right_ = 0;
  int bottom_ = 0;
  int clip_ = 0;
  bool clipSet_ = false;
  // Offset of the current (clip) viewport from the recorded one, subtracted from coordinates.
  int dx_ = 0;
  int dy_ = 0;
};

}  // namespace brx
