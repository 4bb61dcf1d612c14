// Drawing into pages: clipped viewports, lines and bars, exact to the pixel.

#include <cstdint>
#include <tuple>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;  // 0x00RRGGBB as the pages are read
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0xFF0000;

using Drawing = ToolkitTest;

// Clearing a clipped viewport touches exactly its pixels; a line is cut at the viewport's edges,
// which belong to it; a bar leaves its right and bottom edges unfilled.
TEST_F(Drawing, ClippedViewportsLinesAndBarsTouchExactlyTheirPixels) {
  const int w = open_window(600, 600);  // black
  setbkcolor(static_cast<int>(kWhite));
  setviewport(0, 0, 540, 540, 1);
  clearviewport();
  setcolor(creatergb(255, 0, 0));
  line(600, 10, 700, 10);  // wholly outside: clipped away
  line(10, 20, 600, 20);
  setfillstyle(1, creatergb(255, 0, 0));
  bar(10, 30, 20, 35);
  const test::PageImage page = test::grab_page(w);
  for (int x = 541; x < 600; ++x) ASSERT_EQ(page.at(x, 10), kBlack) << x;
  for (const auto& [x, y, colour] : {std::tuple{0, 0, kWhite},
                                     {539, 539, kWhite},
                                     {540, 100, kBlack},
                                     {100, 540, kBlack},
                                     {539, 20, kRed},
                                     {540, 20, kRed},
                                     {541, 20, kBlack},
                                     {10, 30, kRed},
                                     {19, 34, kRed},
                                     {20, 34, kWhite},
                                     {19, 35, kWhite},
                                     {9, 30, kWhite},
                                     {10, 29, kWhite}}) {
    EXPECT_EQ(page.at(x, y), colour) << x << ", " << y;
  }
}

}  // namespace
}  // namespace brx::toolkit::testing
