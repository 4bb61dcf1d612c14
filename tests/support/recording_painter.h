#pragma once
// A Painter that draws nothing and logs every call, for tests of what the plot engine draws:
// tick positions and labels, legend order, clip rectangles, colours in force.
//
//   RecordingPainter p;            // 541 x 541, font height 16, every character 8 pixels wide
//   engine.Draw(p);
//   p.Of("DrawText")               // the text calls, in order, each with its arguments
//   p.Drawing()                    // only the calls that put something on the surface
//   p.Dump()                       // one line per call, for failure messages

#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "plot/painter.h"

namespace brx::test {

class RecordingPainter : public Painter {
 public:
  struct Call {
    std::string op;           // the operation's name, e.g. "DrawLine"
    std::vector<float> args;  // its numeric arguments in order
    std::string text;         // its text argument, if any
    PColor lineColor;         // the line (and text) colour in force at the call
    PColor fillColor;         // the fill colour in force at the call
  };

  int width = 541;
  int height = 541;
  int fontHeight = 16;
  int charWidth = 8;  // text width = charWidth x number of characters
  bool verticalText = true;
  std::vector<Call> calls;

  void DrawLine(float x1, float y1, float x2, float y2) override {
    Log("DrawLine", {x1, y1, x2, y2});
  }
  void FillRect(int x, int y, int w, int h) override { Log("FillRect", {F(x), F(y), F(w), F(h)}); }
  void InvertRect(int x, int y, int w, int h) override {
    Log("InvertRect", {F(x), F(y), F(w), F(h)});
  }
  void SetClipRect(int x, int y, int w, int h) override {
    Log("SetClipRect", {F(x), F(y), F(w), F(h)});
  }
  bool SupportsVerticalText() override {
    Log("SupportsVerticalText", {});
    return verticalText;
  }
  int GetWidth() override {
    Log("GetWidth", {});
    return width;
  }
  int GetHeight() override {
    Log("GetHeight", {});
    return height;
  }
  void SetLineColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) override {
    line_ = PColor{r, g, b};
    Log("SetLineColor", {F(r), F(g), F(b)});
  }
  void SetFillColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) override {
    fill_ = PColor{r, g, b};
    Log("SetFillColor", {F(r), F(g), F(b)});
  }
  int CalculateTextDrawSize(const char* text) override {
    Log("CalculateTextDrawSize", {}, text);
    return text == nullptr ? 0 : charWidth * static_cast<int>(std::strlen(text));
  }
  int GetFontHeight() override {
    Log("GetFontHeight", {});
    return fontHeight;
  }
  void DrawText(int x, int y, const char* text) override { Log("DrawText", {F(x), F(y)}, text); }
  void DrawRotatedText(int x, int y, float angle, const char* text) override {
    Log("DrawRotatedText", {F(x), F(y), angle}, text);
  }
  void SetStyle(const PStyle& style) override {
    Log("SetStyle", {F(static_cast<int>(style.role))});
  }

  // The calls of one operation, in order.
  std::vector<Call> Of(std::string_view op) const {
    std::vector<Call> out;
    for (const Call& c : calls) {
      if (c.op == op) out.push_back(c);
    }
    return out;
  }
  // The calls that put something on the surface (lines, fills, inversions, texts).
  std::vector<Call> Drawing() const {
    std::vector<Call> out;
    for (const Call& c : calls) {
      if (c.op == "DrawLine" || c.op == "FillRect" || c.op == "InvertRect" || c.op == "DrawText" ||
          c.op == "DrawRotatedText") {
        out.push_back(c);
      }
    }
    return out;
  }
  // The texts of one text operation, in order.
  std::vector<std::string> Texts(std::string_view op = "DrawText") const {
    std::vector<std::string> out;
    for (const Call& c : Of(op)) out.push_back(c.text);
    return out;
  }
  std::string Dump() const {
    std::ostringstream s;
    for (const Call& c : calls) {
      s << c.op << "(";
      for (std::size_t i = 0; i < c.args.size(); ++i) s << (i ? ", " : "") << c.args[i];
      if (!c.text.empty()) s << (c.args.empty() ? "" : ", ") << '"' << c.text << '"';
      s << ")\n";
    }
    return s.str();
  }
  void Clear() { calls.clear(); }

 private:
  static float F(int v) { return static_cast<float>(v); }
  void Log(const char* op, std::vector<float> args, const char* text = nullptr) {
    calls.push_back(Call{op, std::move(args), text ? text : "", line_, fill_});
  }

  PColor line_;
  PColor fill_;
};

}  // namespace brx::test
