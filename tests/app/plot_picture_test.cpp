// brevantix-kd-batch --plot: the main window's picture after a run, saved beside each report.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;

std::uint32_t bytes_at(const std::string& b, std::size_t at, int n, bool big_endian = false) {
  std::uint32_t v = 0;
  for (int k = 0; k < n; ++k) {
    const std::size_t i = at + static_cast<std::size_t>(big_endian ? k : n - 1 - k);
    v = (v << 8) | static_cast<unsigned char>(b[i]);
  }
  return v;
}

// The pixels (0xRRGGBB) of a 24-bit BMP file, rows from the top.
std::vector<std::uint32_t> bmp_pixels(const std::string& bmp) {
  const std::uint32_t offset = bytes_at(bmp, 10, 4), width = bytes_at(bmp, 18, 4);
  const std::uint32_t height = bytes_at(bmp, 22, 4), row = (width * 3 + 3) / 4 * 4;
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t y = height; y-- > 0;) {
    for (std::uint32_t x = 0; x < width; ++x)
      pixels.push_back(bytes_at(bmp, offset + y * row + 3 * x, 3));
  }
  return pixels;
}

// The pixels of a PNG file as png_from_bmp writes it (one IDAT chunk, filter 0, RGB).
std::vector<std::uint32_t> png_pixels(const std::string& png, std::uint32_t width,
                                      std::uint32_t height) {
  std::string raw(height * (1 + 3 * width), '\0');
  uLongf size = static_cast<uLongf>(raw.size());
  if (png.substr(37, 4) != "IDAT" || uncompress(reinterpret_cast<Bytef*>(raw.data()), &size,
                                                reinterpret_cast<const Bytef*>(png.data() + 41),
                                                bytes_at(png, 33, 4, true)) != Z_OK) {
    return {};
  }
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x)
      pixels.push_back(bytes_at(raw, y * (1 + 3 * width) + 1 + 3 * x, 3, true));
  }
  return pixels;
}

TEST(BatchPlotOption, SavesTheMainWindowsPictureBesideEachReportWithoutADisplay) {
  test::TempDir dir;
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "run7.dat");
  dir.write("tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n");
  dir.write("four.dat", "4.5\n0, 0\n1, 1.5\n2, 2.5\n3, 3.0\n");
  const auto err = dir.path() / "err.txt";
  const std::string command =
      "cd '" + dir.path().string() + "' && env -u DISPLAY -u QT_QPA_PLATFORM timeout 60 '" +
      BRX_BATCH_PROGRAM + "' --plot run7.dat tied.dat four.dat >/dev/null 2>'" + err.string() + "'";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);  // one file failed
  EXPECT_FALSE(fs::exists(dir.path() / "tied.bmp"));
  // Standard error holds the failed file's message and nothing of the windowing layer.
  const std::string messages = test::TempDir::read(err);
  EXPECT_EQ(messages.rfind("tied.dat: ", 0), 0u) << messages;
  EXPECT_EQ(messages.find('\n'), messages.size() - 1) << messages;

  const std::string bmp = test::TempDir::read(dir.path() / "run7.bmp");
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bytes_at(bmp, 18, 4), 551u);  // Save Screen's picture: the whole window
  EXPECT_EQ(bytes_at(bmp, 22, 4), 651u);
  const auto pixels = bmp_pixels(bmp);
  const std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
  // The green data dots and the blue and violet curves.
  for (std::uint32_t c : {0x228B22u, 0x0000FFu, 0x9400D3u}) EXPECT_TRUE(colours.contains(c)) << c;
  const std::string png = test::TempDir::read(dir.path() / "run7.png");
  EXPECT_EQ(png.substr(0, 16), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
  EXPECT_EQ(png_pixels(png, 551, 651), pixels);

  // Too few points: the data and the line saying the fit was aborted, but no curves.
  const auto short_pixels = bmp_pixels(test::TempDir::read(dir.path() / "four.bmp"));
  const std::set<std::uint32_t> short_colours(short_pixels.begin(), short_pixels.end());
  EXPECT_TRUE(short_colours.contains(0x228B22u) && short_colours.contains(0x800000u));
  EXPECT_FALSE(short_colours.contains(0x0000FFu) || short_colours.contains(0x9400D3u));
}

}  // namespace
}  // namespace brx
