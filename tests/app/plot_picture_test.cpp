#include "app/plot_picture.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "analysis/brevantix_run.h"
#include "tests/app/desktop_fixture.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;

std::uint32_t le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int k = bytes - 1; k >= 0; --k) {
    v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(k)]);
  }
  return v;
}

std::uint32_t be32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(b[at + k]);
  return v;
}

// The colours (0xRRGGBB) of a 24-bit BMP file's pixels.
std::set<std::uint32_t> bmp_colours(const std::string& bmp) {
  std::set<std::uint32_t> colours;
  const std::uint32_t offset = le(bmp, 10, 4);
  const std::uint32_t width = le(bmp, 18, 4);
  const std::uint32_t height = le(bmp, 22, 4);
  const std::uint32_t row = (width * 3 + 3) / 4 * 4;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::size_t at = offset + y * row + 3 * x;
      colours.insert(le(bmp, at, 3));  // stored blue, green, red: read little-endian as RGB
    }
  }
  return colours;
}

TEST(PlotPicture, PngHoldsTheBitmapsPixelsTopRowFirst) {
  // A 2 x 2 bitmap, rows bottom-up: bottom (blue, white), top (red, green); rows padded to 8.
  std::string bmp = "BM" + std::string(52, '\0');
  auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k)
      bmp[at + static_cast<std::size_t>(k)] = static_cast<char>(v >> (8 * k));
  };
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, 2, 4);
  put(22, 2, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  bmp += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);  // blue, white (B, G, R)
  bmp += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // red, green
  const std::string png = png_from_bmp(bmp);
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(be32(png, 16), 2u);
  EXPECT_EQ(be32(png, 20), 2u);
  EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
  const std::uint32_t idat_length = be32(png, 33);
  ASSERT_EQ(png.substr(37, 4), "IDAT");
  std::string raw(2 * (1 + 6), '\0');
  uLongf raw_size = static_cast<uLongf>(raw.size());
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &raw_size,
                       reinterpret_cast<const Bytef*>(png.data() + 41), idat_length),
            Z_OK);
  EXPECT_EQ(raw, std::string("\x00\xFF\x00\x00\x00\xFF\x00"   // red, green
                             "\x00\x00\x00\xFF\xFF\xFF\xFF",  // blue, white
                             14));
  EXPECT_EQ(png_from_bmp("not a picture"), "");
}

TEST(PlotPicture, NamesSitBesideTheReport) {
  EXPECT_EQ(picture_path("/data/run7.out", "bmp"), "/data/run7.bmp");
  EXPECT_EQ(picture_path("/data/run7.out", "png"), "/data/run7.png");
  EXPECT_EQ(picture_path("/data/out", "png"), "/data/png");
}

class PlotPictureOfARun : public testing::ToolkitTest {};

TEST_F(PlotPictureOfARun, ShowsTheDataAndBothCurvesAsTheMainWindowWould) {
  test::TempDir dir;
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "example.dat");
  nrtype nr;
  globalsplot gp;
  const RunSummary s = brevantix_run((dir.path() / "example.dat").string(), nr, gp);
  const std::string bmp_path = picture_path(s.report_path, "bmp");
  const std::string png_path = picture_path(s.report_path, "png");
  EXPECT_EQ(save_plot_picture(nr, gp, bmp_path, png_path), "");
  const std::string bmp = test::TempDir::read(bmp_path);
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(le(bmp, 18, 4), 551u);  // Save Screen's picture: the whole window
  EXPECT_EQ(le(bmp, 22, 4), 651u);
  const auto colours = bmp_colours(bmp);
  for (std::uint32_t c : {0x228B22u, 0x0000FFu, 0x9400D3u}) {
    EXPECT_TRUE(colours.contains(c)) << std::hex << c;
  }
  const std::string png = test::TempDir::read(png_path);
  EXPECT_EQ(png, png_from_bmp(bmp));
  EXPECT_FALSE(fs::exists(png_path + ".part"));
  // Nothing is left open: a second picture of the same run is the same picture.
  EXPECT_EQ(save_plot_picture(nr, gp, bmp_path + "2", ""), "");
  EXPECT_EQ(test::TempDir::read(bmp_path + "2"), bmp);
}

}  // namespace
}  // namespace brx

namespace brx {
namespace {

TEST(BatchPlotOption, SavesBothPicturesBesideEachReportWithoutADisplay) {
  test::TempDir dir;
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "run7.dat");
  dir.write("tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n");
  const auto out = dir.path() / "out.txt";
  const auto err = dir.path() / "err.txt";
  const std::string command = "cd '" + dir.path().string() +
                              "' && env -u DISPLAY -u QT_QPA_PLATFORM timeout 60 '" +
                              BRX_BATCH_PROGRAM + "' --plot run7.dat tied.dat >'" + out.string() +
                              "' 2>'" + err.string() + "'";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);  // one file failed
  const std::string bmp = test::TempDir::read(dir.path() / "run7.bmp");
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(le(bmp, 18, 4), 551u);
  EXPECT_TRUE(bmp_colours(bmp).contains(0x9400D3u));
  EXPECT_EQ(test::TempDir::read(dir.path() / "run7.png"), png_from_bmp(bmp));
  EXPECT_FALSE(fs::exists(dir.path() / "tied.bmp"));
  // Standard error holds the failed file's message and nothing of the windowing layer.
  const std::string messages = test::TempDir::read(err);
  EXPECT_NE(messages.find("tied.dat: "), std::string::npos) << messages;
  EXPECT_EQ(messages.find("run7"), std::string::npos) << messages;
  EXPECT_EQ(messages.find("plugin"), std::string::npos) << messages;
}

}  // namespace
}  // namespace brx
