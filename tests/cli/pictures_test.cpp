// brevantix-kd-batch --plot: the main window's picture after a run, saved beside each report by
// the picture module, in the formats asked for.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/support/bmp_file.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Runs the batch command with `args` in `dir` without a display; standard error in `err`.
int run_in(const TempDir& dir, const std::string& args, std::string& err) {
  const TempDir outputs;
  const std::string command =
      "cd '" + dir.path().string() + "' && env -u DISPLAY -u QT_QPA_PLATFORM timeout 60 '" +
      BRX_BATCH_EXE + "' " + args + " >/dev/null 2>'" + (outputs.path() / "err.txt").string() + "'";
  const int raw = std::system(command.c_str());
  err = TempDir::read(outputs.path() / "err.txt");
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The pixels (0xRRGGBB) of a picture file, rows from the top.
std::vector<std::uint32_t> pixels(const fs::path& file) {
  const QImage image =
      QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32);
  std::vector<std::uint32_t> out;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) out.push_back(image.pixel(x, y) & 0xFFFFFF);
  }
  return out;
}

// Several pictures at once, each worker drawing its own: the green data dots and the blue and
// violet curves; too few points, the data and the aborted-fit line but no curves; standard error
// holds the failed files' messages and nothing of the windowing layer.
TEST(BatchPlotOption, SavesTheMainWindowsPictureBesideEachReportWithoutADisplay) {
  TempDir dir;
  for (const char* name : {"run7.dat", "taken.dat"}) {
    dir.write(name, TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat"));
  }
  dir.write("tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n");
  dir.write("four.dat", "4.5\n0, 0\n1, 1.5\n2, 2.5\n3, 3.0\n");
  fs::create_directory(dir.path() / "taken.bmp");  // where its picture should go
  std::string err;
  EXPECT_EQ(run_in(dir, "-j 3 --plot run7.dat tied.dat four.dat taken.dat", err), 1);
  EXPECT_FALSE(fs::exists(dir.path() / "tied.bmp"));
  const std::string tied_error = err.substr(0, err.find('\n') + 1);
  EXPECT_EQ(tied_error.rfind("tied.dat: ", 0), 0u) << err;
  EXPECT_EQ(err.substr(tied_error.size()), "taken.dat: the picture " +
                                               (dir.path() / "taken.bmp").string() +
                                               " could not be written: Is a directory\n");

  const test::Bmp shot = test::read_bmp(dir.path() / "run7.bmp");
  EXPECT_EQ(shot.fault, "");
  EXPECT_EQ(std::pair(shot.width, shot.height), std::pair(551, 651));  // the whole window
  const std::set<std::uint32_t> colours(shot.pixels.begin(), shot.pixels.end());
  for (std::uint32_t c : {0x228B22u, 0x0000FFu, 0x9400D3u}) EXPECT_TRUE(colours.contains(c)) << c;
  EXPECT_EQ(pixels(dir.path() / "run7.png"), shot.pixels);
  const std::vector<std::uint32_t> four = pixels(dir.path() / "four.bmp");
  const std::set<std::uint32_t> short_colours(four.begin(), four.end());
  EXPECT_TRUE(short_colours.contains(0x228B22u) && short_colours.contains(0x800000u));
  EXPECT_FALSE(short_colours.contains(0x0000FFu) || short_colours.contains(0x9400D3u));
}

// The same picture as lines and text: an SVG image with the plot's texts and colours, and a
// one-page PDF document with its font embedded; neither holds an image.
TEST(BatchPlotOption, WritesTheSamePictureAsSvgAndPdf) {
  TempDir dir;
  dir.write("run7.dat", TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat"));
  std::string err;
  ASSERT_EQ(run_in(dir, "--plot-format svg,PDF run7.dat", err), 0) << err;
  EXPECT_FALSE(fs::exists(dir.path() / "run7.bmp")) << "only the formats asked for";
  const std::string svg = TempDir::read(dir.path() / "run7.svg");
  for (const char* part : {">Normalized Progress Curves<", ">1.0<", "#0000ff", "#9400d3"})
    EXPECT_NE(svg.find(part), std::string::npos) << part;
  EXPECT_EQ(svg.find("<image"), std::string::npos);
  const std::string pdf = TempDir::read(dir.path() / "run7.pdf");
  const std::regex page("/Type\\s*/Page[^s]");
  EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), {}), 1);
  EXPECT_FALSE(std::regex_search(pdf, std::regex("/Subtype\\s*/Image")));
}

// The analysis needs no part of the windowing layer: the program links no Qt library, and a copy
// away from its picture module analyses as ever but, asked for pictures, names the module it
// misses and writes nothing.
TEST(BatchPlotOption, TheAnalysisRunsWithoutThePictureModule) {
  TempDir dir;
  const fs::path copy = dir.path() / "batch", libraries = dir.path() / "ldd.txt";
  fs::copy_file(BRX_BATCH_EXE, copy);
  dir.write("a.dat", TempDir::read(fs::path(BRX_EXAMPLES_DIR) / "example.dat"));
  ASSERT_EQ(std::system(("ldd '" + copy.string() + "' >'" + libraries.string() + "'").c_str()), 0);
  EXPECT_NE(TempDir::read(libraries).find("libc.so"), std::string::npos);
  EXPECT_EQ(TempDir::read(libraries).find("Qt"), std::string::npos) << TempDir::read(libraries);
  const auto run = [&](const std::string& args) {
    const int raw = std::system(
        ("cd '" + dir.path().string() + "' && ./batch " + args + " >/dev/null 2>err.txt").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  };
  EXPECT_EQ(run("--plot a.dat"), 1);
  EXPECT_NE(TempDir::read(dir.path() / "err.txt")
                .find("--plot: the picture module brevantix-kd-pictures.so is not installed"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir.path() / "a.out"));
  EXPECT_EQ(run("a.dat"), 0);
  EXPECT_TRUE(fs::exists(dir.path() / "a.out"));
}

}  // namespace
}  // namespace brx
