// Saving window regions as BMP files and printing them to PDF.

#include <cstdint>
#include <memory>
#include <regex>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

// The little-endian number of `size` bytes at `at`.
std::uint32_t le(const std::string& b, std::size_t at, int size = 4) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return value;
}

// The header fields a standard reader relies on, checked against the file itself.
void expect_valid_bmp(const std::string& bytes, std::uint32_t width, std::uint32_t height) {
  ASSERT_GE(bytes.size(), 54u);
  const std::uint32_t row = (width * 3 + 3) / 4 * 4;
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(le(bytes, 2), bytes.size()) << "file size";
  EXPECT_EQ(le(bytes, 6), 0u) << "reserved words";
  EXPECT_EQ(le(bytes, 10), 54u) << "pixel data offset";
  EXPECT_EQ(le(bytes, 14), 40u) << "information header size";
  EXPECT_EQ(le(bytes, 18), width);
  EXPECT_EQ(le(bytes, 22), height) << "positive: bottom-up rows";
  EXPECT_EQ(le(bytes, 26, 2), 1u) << "planes";
  EXPECT_EQ(le(bytes, 28, 2), 24u) << "bits per pixel";
  EXPECT_EQ(le(bytes, 30), 0u) << "uncompressed";
  EXPECT_EQ(le(bytes, 34), row * height) << "image size";
  EXPECT_EQ(bytes.size(), 54u + row * height);
}

class ImageOutput : public ToolkitTest {
 protected:
  // A 100 x 80 white window with a red pixel at (20, 10) and a blue one at (50, 30).
  void SetUp() override {
    ToolkitTest::SetUp();
    open_window(100, 80, "Brevantix-kd");
    setbkcolor(0xFFFFFF);
    clearviewport();
    setfillstyle(1, creatergb(255, 0, 0));
    bar(20, 10, 21, 11);
    setfillstyle(1, creatergb(0, 0, 255));
    bar(50, 30, 51, 31);
  }
  brx::test::TempDir dir_;
};

TEST_F(ImageOutput, ReversedRegionIsSavedWithWidthOfTheDistancePlusOne) {
  const std::string file = (dir_.path() / "region.bmp").string();
  ASSERT_EQ(writeimagefile(file.c_str(), 50, 10, 20, 30), 1);
  const std::string bytes = brx::test::TempDir::read(file);
  expect_valid_bmp(bytes, 31, 21);
  const std::size_t row = (31 * 3 + 3) / 4 * 4;
  // Bottom-up: the region's top-left pixel (20, 10), red, opens the last row (blue, green, red).
  const std::size_t top_left = 54 + 20 * row;
  EXPECT_EQ(bytes.substr(top_left, 3), std::string("\x00\x00\xff", 3));
  // Its bottom-right pixel (50, 30), blue, closes the first row.
  EXPECT_EQ(bytes.substr(54 + 30 * 3, 3), std::string("\xff\x00\x00", 3));
}

TEST_F(ImageOutput, RegionsAreClampedToTheWindowAndUnwritableFilesRefused) {
  const std::string file = (dir_.path() / "all.bmp").string();
  ASSERT_EQ(writeimagefile(file.c_str(), -5, -5, 500, 500), 1);
  expect_valid_bmp(brx::test::TempDir::read(file), 101, 81);
  const std::string missing = (dir_.path() / "missing" / "x.bmp").string();
  EXPECT_EQ(writeimagefile(missing.c_str(), 0, 0, 10, 10), 0);
}

TEST_F(ImageOutput, SaveDialogNamesThatAreShortOrHaveNoExtensionGetBmp) {
  const std::string folder = dir_.path().string();
  for (const auto& [typed, written] :
       {std::pair{"a", "a.BMP"}, std::pair{"plot.bmp", "plot.bmp"}, std::pair{"plot", "plot.BMP"},
        std::pair{"shot.png", "shot.png"}}) {
    auto request = std::make_shared<test::DialogRequest>();
    const std::string answer = folder + "/" + typed;
    test::set_dialog_answerer([answer, request](const test::DialogRequest& r) {
      *request = r;
      return test::DialogAnswer{true, answer};
    });
    ASSERT_EQ(writeimagefile(), 1) << typed;
    EXPECT_EQ(request->kind, test::DialogKind::SaveFile);
    EXPECT_TRUE(request->confirm_overwrite);
    EXPECT_NE(request->filter.find("Bitmap files (*.BMP"), std::string::npos);
    // Default region: from (0, 0) to the viewport's right and bottom edges.
    expect_valid_bmp(brx::test::TempDir::read(dir_.path() / written), 101, 81);
  }
}

TEST_F(ImageOutput, CancelledSaveDialogWritesNothing) {
  test::set_dialog_answerer([](const test::DialogRequest&) { return test::DialogAnswer{}; });
  EXPECT_EQ(writeimagefile(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(ImageOutput, RegionPrintedToPdfGivesOnePageUnderTheWindowTitle) {
  const std::string pdf = (dir_.path() / "print.pdf").string();
  auto title = std::make_shared<std::string>();
  test::set_dialog_answerer([pdf, title](const test::DialogRequest& r) {
    *title = r.text;
    return test::DialogAnswer{r.kind == test::DialogKind::Print, pdf};
  });
  ASSERT_EQ(printimage(), 1);
  EXPECT_EQ(*title, "Brevantix-kd");
  const std::string bytes = brx::test::TempDir::read(pdf);
  ASSERT_EQ(bytes.substr(0, 5), "%PDF-");
  const std::regex page("/Type\\s*/Page[^s]");
  EXPECT_EQ(
      std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()),
      1);
}

}  // namespace
}  // namespace brx::toolkit::testing
