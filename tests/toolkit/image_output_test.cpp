// Saving window regions as BMP and PNG files, and pictures drawn off screen by threads of their
// own.

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

#include "tests/support/bmp_file.h"
#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

// The picture in `file`, which must be a well-formed BMP of the size given.
brx::test::Bmp valid_bmp(const std::string& file, int width, int height) {
  brx::test::Bmp b = brx::test::read_bmp(file);
  EXPECT_EQ(b.fault, "");
  EXPECT_EQ(b.width, width);
  EXPECT_EQ(b.height, height);
  return b;
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

// A reversed region is saved with the width and height of the distance plus one, a region
// reaching outside is clamped to the window; a file that cannot be written, an unknown format or a
// cancelled save dialog writes nothing, and the reason is told.
TEST_F(ImageOutput, RegionsAreSavedWholeAndFailuresWriteNothing) {
  const std::string file = (dir_.path() / "region.bmp").string();
  ASSERT_EQ(writeimagefile(file.c_str(), 50, 10, 20, 30), 1);
  const brx::test::Bmp b = valid_bmp(file, 31, 21);
  ASSERT_EQ(b.pixels.size(), 31u * 21u);
  EXPECT_EQ(b.at(0, 0), 0xFF0000u) << "the region's top-left pixel (20, 10) is red";
  EXPECT_EQ(b.at(30, 20), 0x0000FFu) << "its bottom-right pixel (50, 30) is blue";
  ASSERT_EQ(writeimagefile(file.c_str(), -5, -5, 500, 500), 1);
  valid_bmp(file, 101, 81);
  const std::string missing = (dir_.path() / "missing" / "x.bmp").string();
  EXPECT_EQ(writeimagefileas(missing.c_str(), "png", 0, 0, 10, 10), 0);
  EXPECT_EQ(lastfileerror(), "No such file or directory");
  EXPECT_EQ(writeimagefileas(file.c_str(), "nonsense", 0, 0, 10, 10), 0);
  EXPECT_EQ(lastfileerror(), "pictures cannot be written as nonsense");
  valid_bmp(file, 101, 81);  // the old picture stays
  test::set_dialog_answerer([](const test::DialogRequest&) { return test::DialogAnswer{}; });
  EXPECT_EQ(writeimagefile(), 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

// Two threads draw pictures of their own at once, each in its colour, while a window is current:
// each saves its own picture, and the window's page is not touched.
TEST_F(ImageOutput, PicturesOfTwoThreadsAndTheCurrentWindowStayApart) {
  const auto draw = [this](int colour, const std::string& name, bool& ok) {
    ok = beginpicture(30, 20) == 1 && beginpicture(5, 5) == 0;  // one picture at a time
    for (int i = 0; i < 200 && ok; ++i) {
      setbkcolor(colour);
      clearviewport();
      setfillstyle(1, colour);
      bar(0, 0, 30, 20);
    }
    const std::string file = (dir_.path() / name).string();
    ok = ok && writeimagefileas(file.c_str(), "png", 0, 0, 29, 19) == 1;
    endpicture();
  };
  const test::PageImage before = test::grab_page(getcurrentwindow());
  bool red_ok = false, green_ok = false;
  std::thread red(draw, creatergb(255, 0, 0), "red.png", std::ref(red_ok));
  std::thread green(draw, creatergb(0, 255, 0), "green.png", std::ref(green_ok));
  red.join();
  green.join();
  ASSERT_TRUE(red_ok && green_ok);
  for (const auto& [name, rgb] :
       {std::pair{"red.png", 0xFF0000u}, std::pair{"green.png", 0x00FF00u}}) {
    const QImage p = QImage(QString::fromStdString((dir_.path() / name).string()));
    ASSERT_EQ(p.size(), QSize(30, 20)) << name;
    for (int y = 0; y < p.height(); ++y) {
      for (int x = 0; x < p.width(); ++x) ASSERT_EQ(p.pixel(x, y) & 0xFFFFFF, rgb) << name;
    }
  }
  EXPECT_TRUE(test::grab_page(getcurrentwindow()).pixels == before.pixels);
}

}  // namespace
}  // namespace brx::toolkit::testing
