#pragma once
// A Painter that draws nothing and logs what the plot engine puts on the surface (lines, fills,
// texts) and the clip rectangles it sets, each with the line colour in force.
//
//   RecordingPainter p;            // 541 x 541, font height 16, every character 8 pixels wide
//   engine.Draw(p);
//   p.Of("DrawText")               // the text calls, in order, each with its arguments
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
  };

  int width = 541;
  int height = 541;
  int fontHeight = 16;
  int charWidth = 8;  // text width = charWidth x number of characters
  std::vector<Call> calls;

  void DrawLine(float x1, float y1, float x2, float y2) override {
    Log("DrawLine", {x1, y1, x2, y2});
  }
  void FillRect(int x, int y, int w, int h) override { Log("FillRect", {F(x), F(y), F(w), F(h)}); }
  void SetClipRect(int x, int y, int w, int h) override {
    Log("SetClipRect", {F(x), F(y), F(w), F(h)});
  }
  int GetWidth() override { return width; }
  int GetHeight() override { return height; }
  void SetLineColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) override { line_ = {r, g, b}; }
  int CalculateTextDrawSize(const char* text) override {
    return text == nullptr ? 0 : charWidth * static_cast<int>(std::strlen(text));
  }
  int GetFontHeight() override { return fontHeight; }
  void DrawText(int x, int y, const char* text) override { Log("DrawText", {F(x), F(y)}, text); }
  void DrawRotatedText(int x, int y, float angle, const char* text) override {
    Log("DrawRotatedText", {F(x), F(y), angle}, text);
  }

  // The calls of one operation, in order.
  std::vector<Call> Of(std::string_view op) const {
    std::vector<Call> out;
    for (const Call& c : calls) {
      if (c.op == op) out.push_back(c);
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
      s << (c.text.empty() ? "" : " \"" + c.text + '"') << ")\n";
    }
    return s.str();
  }

 private:
  static float F(int v) { return static_cast<float>(v); }
  void Log(const char* op, std::vector<float> args, const char* text = nullptr) {
    calls.push_back(Call{op, std::move(args), text ? text : "", line_});
  }

  PColor line_;
};

}  // namespace brx::test
