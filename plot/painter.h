#pragma once
// The plot engine's drawing surface: the abstract `Painter`, the value types it is handed, and
// `DummyPainter`, whose answers are the defaults every `Painter` falls back on.
//
// Coordinates are pixels relative to the painter's drawing area, y growing downwards. Lines take
// floats (the engine's transformed positions); rectangles and text take whole pixels.

#include <cmath>
#include <cstdint>
#include <cstring>

namespace brx {

// A rectangle in pixels: top-left corner and size, y growing downwards.
struct PRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// A colour as three bytes.
struct PColor {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const PColor&, const PColor&) = default;
};

// The font style the engine asks for. Painters may ignore it (the toolkit painter writes every
// text in one fixed font); `role` says which part of the plot the text belongs to.
struct PStyle {
  enum class Role { kDefault, kLegend, kAxisLabel, kTickLabel, kTitle };
  Role role = Role::kDefault;
};

// Truncates a pixel position towards zero, as a cast does, but keeps positions far off the
// drawing area (or NaN from bad data) inside int range instead of overflowing the conversion.
inline int TruncateToPixel(float v) {
  constexpr float kFar = 1073741824.0f;  // 2^30: far outside any window, well inside int
  if (std::isnan(v)) return 0;
  if (v > kFar) return static_cast<int>(kFar);
  if (v < -kFar) return -static_cast<int>(kFar);
  return static_cast<int>(v);
}

// Abstract drawing interface of the plot engine. Every operation has a default (the
// `DummyPainter` answer) so that a painter provides only what its surface can do, and the
// engine's layout uses these defaults when it does not. Declared in the engine's slot order.
class Painter {
 public:
  virtual ~Painter() = default;

  virtual void DrawLine(float x1, float y1, float x2, float y2) {
    (void)x1, (void)y1, (void)x2, (void)y2;
  }
  // Fills the rectangle with the fill colour.
  virtual void FillRect(int x, int y, int w, int h) { (void)x, (void)y, (void)w, (void)h; }
  // Restricts later drawing to the rectangle.
  virtual void SetClipRect(int x, int y, int w, int h) { (void)x, (void)y, (void)w, (void)h; }
  // Whether DrawRotatedText can be used.
  virtual bool SupportsVerticalText() { return true; }
  virtual int GetWidth() { return 100; }
  virtual int GetHeight() { return 100; }
  // Colour of lines and of text.
  virtual void SetLineColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    (void)r, (void)g, (void)b;
  }
  virtual void SetFillColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    (void)r, (void)g, (void)b;
  }
  // Width of the text in pixels; without a font, one pixel per character.
  virtual int CalculateTextDrawSize(const char* text) {
    return text == nullptr ? 0 : static_cast<int>(std::strlen(text));
  }
  virtual int GetFontHeight() { return 10; }
  // Horizontal text whose left end is at x and whose bottom edge is at y.
  virtual void DrawText(int x, int y, const char* text) { (void)x, (void)y, (void)text; }
  // Text turned by `angle` degrees (the engine passes -90: reading upwards).
  virtual void DrawRotatedText(int x, int y, float angle, const char* text) {
    (void)x, (void)y, (void)angle, (void)text;
  }
  virtual void SetStyle(const PStyle& style) { (void)style; }
};

// A painter that draws nothing and answers with the defaults.
class DummyPainter : public Painter {};

}  // namespace brx
