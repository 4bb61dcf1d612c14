// brevantix-kd-batch --plot: the main window's picture after a run, saved beside each report by
// the picture module; and the batch command without it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <QXmlStreamReader>
#include <cstdint>
#include <cstdio>
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

// Runs `program` with `args` in `dir` without a display; the exit status, standard error in `err`.
int run_in(const TempDir& dir, const std::string& program, const std::string& args,
           std::string& err) {
  const TempDir outputs;
  const std::string command =
      "cd '" + dir.path().string() + "' && env -u DISPLAY -u QT_QPA_PLATFORM timeout 60 '" +
      program + "' " + args + " >/dev/null 2>'" + (outputs.path() / "err.txt").string() + "'";
  const int raw = std::system(command.c_str());
  err = TempDir::read(outputs.path() / "err.txt");
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The pixels (0xRRGGBB) of a picture file, rows from the top.
std::vector<std::uint32_t> pixels(const fs::path& file, int* width = nullptr) {
  const QImage image =
      QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32);
  if (width != nullptr) *width = image.width();
  std::vector<std::uint32_t> out;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) out.push_back(image.pixel(x, y) & 0xFFFFFF);
  }
  return out;
}

std::set<std::uint32_t> colours(const std::vector<std::uint32_t>& p) {
  return {p.begin(), p.end()};
}

TEST(BatchPlotOption, SavesTheMainWindowsPictureBesideEachReportWithoutADisplay) {
  TempDir dir;
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "run7.dat");
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "again.dat");
  dir.write("tied.dat", "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n");
  dir.write("four.dat", "4.5\n0, 0\n1, 1.5\n2, 2.5\n3, 3.0\n");
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "taken.dat");
  fs::create_directory(dir.path() / "taken.bmp");  // where its picture should go
  std::string err;
  // Several pictures at once: each worker draws its own.
  EXPECT_EQ(
      run_in(dir, BRX_BATCH_EXE, "-j 4 --plot run7.dat tied.dat four.dat again.dat taken.dat", err),
      1);
  EXPECT_FALSE(fs::exists(dir.path() / "tied.bmp"));
  // Standard error holds the failed files' messages and nothing of the windowing layer.
  const std::string tied_error = err.substr(0, err.find('\n') + 1);
  EXPECT_EQ(tied_error.rfind("tied.dat: ", 0), 0u) << err;
  EXPECT_EQ(err.substr(tied_error.size()), "taken.dat: the picture " +
                                               (dir.path() / "taken.bmp").string() +
                                               " could not be written: Is a directory\n");

  const test::Bmp shot = test::read_bmp(dir.path() / "run7.bmp");
  EXPECT_EQ(shot.fault, "");
  EXPECT_EQ(std::pair(shot.width, shot.height), std::pair(551, 651));  // the whole window
  const std::vector<std::uint32_t>& picture = shot.pixels;
  const std::string bmp = TempDir::read(dir.path() / "run7.bmp");
  // The green data dots and the blue and violet curves.
  for (std::uint32_t c : {0x228B22u, 0x0000FFu, 0x9400D3u})
    EXPECT_TRUE(colours(picture).contains(c)) << c;
  EXPECT_EQ(TempDir::read(dir.path() / "run7.png").substr(1, 3), "PNG");
  EXPECT_EQ(pixels(dir.path() / "run7.png"), picture);
  EXPECT_EQ(TempDir::read(dir.path() / "again.bmp"), bmp) << "the same data, the same picture";

  // Too few points: the data and the line saying the fit was aborted, but no curves.
  const std::set<std::uint32_t> short_colours = colours(pixels(dir.path() / "four.bmp"));
  EXPECT_TRUE(short_colours.contains(0x228B22u) && short_colours.contains(0x800000u));
  EXPECT_FALSE(short_colours.contains(0x0000FFu) || short_colours.contains(0x9400D3u));
}

long count(const std::string& text, const std::string& pattern) {
  const std::regex re(pattern);
  return std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator());
}

// The same picture as lines and text: an SVG image whose texts are the plot's, and a one-page
// PDF document with its font embedded and no image in it; the pixel formats asked for beside
// them are the pixels of the default run.
TEST(BatchPlotOption, WritesTheSamePictureAsSvgAndPdf) {
  TempDir dir;
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "run7.dat");
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "pixels.dat");
  fs::create_directory(dir.path() / "taken.pdf");
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "taken.dat");
  std::string err;
  ASSERT_EQ(run_in(dir, BRX_BATCH_EXE, "--plot pixels.dat", err), 0) << err;
  EXPECT_EQ(run_in(dir, BRX_BATCH_EXE, "--plot-format svg,PDF,png -j 2 run7.dat taken.dat", err),
            1);
  EXPECT_EQ(err, "taken.dat: the picture " + (dir.path() / "taken.pdf").string() +
                     " could not be written: Is a directory\n");
  EXPECT_FALSE(fs::exists(dir.path() / "run7.bmp")) << "only the formats asked for";
  EXPECT_EQ(pixels(dir.path() / "run7.png"), pixels(dir.path() / "pixels.png"));

  const std::string svg = TempDir::read(dir.path() / "run7.svg");
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  std::set<std::string> texts;
  int images = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("text")) {
      texts.insert(
          xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toStdString());
    }
    if (xml.name() == QLatin1String("image")) ++images;
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(images, 0);
  for (const char* t : {"Normalized Progress Curves", "Normalized Time", "Normalized Product",
                        "Experimental Data", "0.2", "1.0"})
    EXPECT_TRUE(texts.contains(t)) << t;
  // The picture of the window's size, and the curves' colours in it.
  EXPECT_NE(svg.find("width=\"550"), std::string::npos);
  for (const char* colour : {"#228b22", "#0000ff", "#9400d3"})
    EXPECT_NE(svg.find(colour), std::string::npos) << colour;

  const std::string pdf = TempDir::read(dir.path() / "run7.pdf");
  ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_EQ(count(pdf, "/Type\\s*/Page[^s]"), 1);
  EXPECT_GE(count(pdf, "/FontFile2"), 1);
  EXPECT_EQ(count(pdf, "/Subtype\\s*/Image"), 0);
  // 550 x 650 pixels at 96 to the inch, in whole points: 413 x 488.
  EXPECT_EQ(count(pdf, "/MediaBox\\s*\\[\\s*0 0 413(\\.0*)? 488(\\.0*)?\\s*\\]"), 1);
}

// A copy of the program away from its module analyses as ever; asked for pictures it says which
// module it misses, and writes nothing.
TEST(BatchPlotOption, WithoutThePictureModuleOnlyPlotFails) {
  TempDir dir;
  fs::copy_file(BRX_BATCH_EXE, dir.path() / "batch");
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "a.dat");
  const std::string program = (dir.path() / "batch").string();
  std::string err;
  EXPECT_EQ(run_in(dir, program, "--plot a.dat", err), 1);
  EXPECT_EQ(err,
            "brevantix-kd-batch: --plot: the picture module brevantix-kd-pictures.so is not "
            "installed (looked for " +
                (dir.path() / "brevantix-kd-pictures.so").string() + " and " +
                (dir.path().parent_path() / "lib" / "brevantix-kd" / "brevantix-kd-pictures.so")
                    .string() +
                ")\n");
  EXPECT_FALSE(fs::exists(dir.path() / "a.out"));
  EXPECT_EQ(run_in(dir, program, "a.dat", err), 0) << err;
  EXPECT_TRUE(fs::exists(dir.path() / "a.out"));
}

// The analysis path loads no part of the windowing layer.
TEST(BatchCommand, LinksNoQtLibrary) {
  std::FILE* ldd = popen(("ldd '" + std::string(BRX_BATCH_EXE) + "'").c_str(), "r");
  ASSERT_NE(ldd, nullptr);
  std::string libraries;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, ldd) != nullptr) libraries += buffer;
  EXPECT_EQ(pclose(ldd), 0);
  EXPECT_NE(libraries.find("libc.so"), std::string::npos) << libraries;
  EXPECT_EQ(libraries.find("Qt"), std::string::npos) << libraries;
}

}  // namespace
}  // namespace brx
