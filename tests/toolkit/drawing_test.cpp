// Drawing into pages: viewports and clipping, lines, bars, text placement and fonts.

#include <algorithm>
#include <array>
#include <cstdint>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

constexpr int kWhite = 0xFFFFFF;
constexpr std::uint32_t kPixWhite = 0xFFFFFF;
constexpr std::uint32_t kPixBlack = 0x000000;
constexpr std::uint32_t kPixRed = 0xFF0000;  // 0x00RRGGBB as the pages are read

// Bounding box of the pixels that differ from `background`.
struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Box ink_box(const test::PageImage& page, std::uint32_t background) {
  Box b;
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) {
      if (page.at(x, y) == background) continue;
      b.left = std::min(b.left, x);
      b.right = std::max(b.right, x);
      b.top = std::min(b.top, y);
      b.bottom = std::max(b.bottom, y);
    }
  }
  return b;
}

// A window cleared to white, drawing in red.
int white_window(int w = 600, int h = 600) {
  const int id = open_window(w, h);
  setbkcolor(kWhite);
  clearviewport();
  setcolor(creatergb(255, 0, 0));
  return id;
}

using Drawing = ToolkitTest;

TEST_F(Drawing, ClearingAClippedViewportTouchesExactlyItsPixelsAndViewportsMoveTheOrigin) {
  const int w = open_window(600, 600);  // black
  setbkcolor(kWhite);
  setviewport(0, 0, 540, 540, 1);
  clearviewport();
  setcolor(creatergb(255, 0, 0));
  line(600, 10, 700, 10);  // wholly outside: clipped away
  line(10, 20, 600, 20);   // cut at the viewport's right edge, which belongs to it
  const test::PageImage page = test::grab_page(w);
  EXPECT_EQ(page.at(0, 0), kPixWhite);
  EXPECT_EQ(page.at(539, 539), kPixWhite);
  EXPECT_EQ(page.at(540, 100), kPixBlack);
  EXPECT_EQ(page.at(100, 540), kPixBlack);
  for (int x = 541; x < 600; ++x) ASSERT_EQ(page.at(x, 10), kPixBlack) << x;
  EXPECT_EQ(page.at(539, 20), kPixRed);
  EXPECT_EQ(page.at(540, 20), kPixRed);
  EXPECT_EQ(page.at(541, 20), kPixBlack);
  resetviewport();
  const ViewSettings v = getviewsettings();
  EXPECT_EQ((std::array{v.left, v.top, v.right, v.bottom, v.clip}),
            (std::array{0, 0, 600, 600, 0}));
  setviewport(30, 40, 90, 90, 0);
  line(0, 0, 5, 0);
  const test::PageImage moved = test::grab_page(w);
  EXPECT_EQ(moved.at(30, 40), kPixRed) << "the viewport moves the origin";
  EXPECT_EQ(moved.at(35, 40), kPixRed);
  EXPECT_EQ(moved.at(29, 40), kPixWhite);
}

TEST_F(Drawing, BarLeavesItsRightAndBottomEdgesUnfilledAndUnknownFillStylesAreRefused) {
  const int w = white_window(100, 100);
  setfillstyle(1, creatergb(255, 0, 0));
  EXPECT_EQ(graphresult(), 0);
  bar(10, 10, 20, 15);
  const Box b = ink_box(test::grab_page(w), kPixWhite);
  EXPECT_EQ((std::array{b.left, b.top, b.right, b.bottom}), (std::array{10, 10, 19, 14}));
  setfillstyle(13, 0);
  EXPECT_EQ(graphresult(), -11);
  EXPECT_EQ(graphresult(), 0) << "reading the error clears it";
}

// The text box shows in the background colour, so the ink box is the text's cell.
TEST_F(Drawing, CentredTextIsCentredAndRightBottomTextEndsAtThePosition) {
  const int w = white_window();
  setbkcolor(creatergb(0, 0, 255));
  settextstyle(1, 0, 16);
  settextjustify(1, 1);
  outtextxy(270, 25, "Normalized Progress Curves");
  Box b = ink_box(test::grab_page(w), kPixWhite);
  ASSERT_GE(b.right, 0);
  EXPECT_NEAR((b.left + b.right + 1) / 2.0, 270.0, 1.0);
  EXPECT_NEAR((b.top + b.bottom + 1) / 2.0, 25.0, 1.0);
  EXPECT_EQ(b.right - b.left + 1, textwidth("Normalized Progress Curves"));
  EXPECT_EQ(b.bottom - b.top + 1, textheight("Normalized Progress Curves"));
  setbkcolor(kWhite);
  clearviewport();
  setbkcolor(creatergb(0, 0, 255));
  settextjustify(2, 0);
  outtextxy(300, 200, "0.25");
  b = ink_box(test::grab_page(w), kPixWhite);
  EXPECT_EQ(b.right, 299);
  EXPECT_EQ(b.bottom, 199);
}

TEST_F(Drawing, VerticalTextReadsFromBottomToTop) {
  const int w = white_window(200, 300);
  settextstyle(1, 1, 16);
  settextjustify(0, 2);
  const char* text = "WWWW.......";  // heavy start, light end
  outtextxy(50, 20, text);
  const test::PageImage page = test::grab_page(w);
  const Box b = ink_box(page, kPixWhite);
  EXPECT_GT(b.bottom - b.top, 3 * (b.right - b.left)) << "the text stands upright";
  EXPECT_LE(b.bottom - b.top + 1, textwidth(text));
  int upper = 0, lower = 0;
  const int middle = (b.top + b.bottom) / 2;
  for (int y = b.top; y <= b.bottom; ++y) {
    for (int x = b.left; x <= b.right; ++x) {
      if (page.at(x, y) != kPixWhite) (y > middle ? lower : upper)++;
    }
  }
  EXPECT_GT(lower, 2 * upper) << "the heavy start of the text is at the bottom";
}

TEST_F(Drawing, TextSizeIsTheCellHeightAndBadTextMeasuresMinusOne) {
  open_window();
  for (int size : {12, 16, 24}) {
    settextstyle(1, 0, size);
    EXPECT_LE(textheight("0"), size);
    EXPECT_GE(textheight("0"), size - 2);
  }
  settextstyle(6, 0, 16);
  EXPECT_EQ(textwidth("iiii"), textwidth("WWWW")) << "font 6 is fixed-pitch";
  EXPECT_EQ(textwidth(""), 0);
  EXPECT_EQ(textwidth(nullptr), -1);
  EXPECT_EQ(textwidth("\xff\xfe"), -1);
}

}  // namespace
}  // namespace brx::toolkit::testing
