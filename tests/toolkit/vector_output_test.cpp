// Vector pictures: SVG images and PDF pages whose lines and text stay lines and text, printed
// pages drawn at the printer's resolution, and the program's desktop entry and icon.

#include <QImage>
#include <QXmlStreamReader>
#include <regex>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"
#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

using brx::test::TempDir;

constexpr const char* kWords = "Normalized Time";

// A white picture with a red bar, a blue line and a line of text.
void draw_sample() {
  setbkcolor(creatergb(255, 255, 255));
  clearviewport();
  setfillstyle(1, creatergb(255, 0, 0));
  bar(10, 10, 40, 30);
  setcolor(creatergb(0, 0, 255));
  line(0, 99, 199, 0);
  setcolor(0);
  settextstyle(1, 0, 16);
  outtextxy(20, 60, kWords);
}

long count(const std::string& text, const std::string& pattern) {
  const std::regex re(pattern);
  return std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator());
}

// What a PDF document holds: its pages, embedded fonts (text drawn as text) and images.
struct PdfParts {
  long pages, fonts, images;
};
PdfParts parts(const std::string& pdf) {
  return {count(pdf, "/Type\\s*/Page[^s]"), count(pdf, "/FontFile2"),
          count(pdf, "/Subtype\\s*/Image")};
}

class VectorOutput : public ToolkitTest {
 protected:
  TempDir dir_;
};

TEST_F(VectorOutput, AnSvgImageHoldsTheTextAsTextAndHasThePicturesSize) {
  const std::string file = (dir_.path() / "sample.svg").string();
  ASSERT_EQ(writevectorfile(file.c_str(), "SVG", 200, 100, draw_sample), 1) << lastfileerror();
  const std::string svg = TempDir::read(file);
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  QString width, height, text;
  int images = 0, shapes = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("svg")) {
      width = xml.attributes().value("width").toString();
      height = xml.attributes().value("height").toString();
    } else if (xml.name() == QLatin1String("text")) {
      text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    } else if (xml.name() == QLatin1String("image")) {
      ++images;
    } else if (xml.name() == QLatin1String("path") || xml.name() == QLatin1String("polyline")) {
      ++shapes;
    }
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(text.trimmed().toStdString(), kWords);
  EXPECT_EQ(images, 0) << "drawn as shapes, not as a bitmap";
  EXPECT_GT(shapes, 0);
  EXPECT_TRUE(width.startsWith("200") && height.startsWith("100")) << width.toStdString();
  // A reader of SVG images draws it as the page would have been drawn.
  const QImage back(QString::fromStdString(file));
  ASSERT_EQ(back.size(), QSize(200, 100));
  EXPECT_EQ(back.pixel(25, 20) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(back.pixel(180, 80) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(VectorOutput, APdfDocumentIsOnePageOfThePicturesSizeWithItsFontEmbedded) {
  const std::string file = (dir_.path() / "sample.pdf").string();
  ASSERT_EQ(writevectorfile(file.c_str(), "pdf", 200, 100, draw_sample), 1) << lastfileerror();
  const std::string pdf = TempDir::read(file);
  ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
  const PdfParts p = parts(pdf);
  EXPECT_EQ(p.pages, 1);
  EXPECT_EQ(p.fonts, 1);
  EXPECT_EQ(p.images, 0);
  // 200 x 100 pixels at 96 to the inch: 150 x 75 points.
  EXPECT_EQ(count(pdf, "/MediaBox\\s*\\[\\s*0 0 150(\\.0*)? 75(\\.0*)?\\s*\\]"), 1);
}

TEST_F(VectorOutput, FailuresAreTold) {
  const std::string missing = (dir_.path() / "missing" / "a.svg").string();
  EXPECT_EQ(writevectorfile(missing.c_str(), "svg", 20, 10, draw_sample), 0);
  EXPECT_EQ(lastfileerror(), "No such file or directory");
  const std::string gif = (dir_.path() / "a.gif").string();
  for (const char* format : {"gif", "png", ""}) {
    EXPECT_FALSE(isvectorformat(format)) << format;
    EXPECT_EQ(writevectorfile(gif.c_str(), format, 20, 10, draw_sample), 0) << format;
    EXPECT_EQ(lastfileerror(), std::string("pictures cannot be written as ") + format);
  }
  EXPECT_EQ(writevectorfile(gif.c_str(), "pdf", 0, 10, draw_sample), 0);
  // A thread drawing a picture already cannot start a vector one, nor save a vector picture's
  // pixels, and finds its own picture as it left it.
  ASSERT_EQ(beginpicture(10, 10), 1);
  EXPECT_EQ(writevectorfile(gif.c_str(), "svg", 20, 10, draw_sample), 0);
  EXPECT_EQ(lastfileerror(), "a picture is being drawn");
  endpicture();
  const std::string png = (dir_.path() / "pixels.png").string();
  EXPECT_EQ(
      writevectorfile(gif.c_str(), "svg", 20, 10,
                      [&] { EXPECT_EQ(writeimagefileas(png.c_str(), "png", 0, 0, 9, 9), 0); }),
      1);
  EXPECT_FALSE(std::filesystem::exists(png));
}

// Drawing a vector picture leaves the current window's page and drawing state alone.
TEST_F(VectorOutput, TheCurrentWindowIsNotTouched) {
  open_window(50, 40);
  setbkcolor(creatergb(0, 128, 0));
  clearviewport();
  setviewport(5, 5, 20, 20, 1);
  const test::PageImage before = test::grab_page(getcurrentwindow());
  const std::string file = (dir_.path() / "a.svg").string();
  ASSERT_EQ(writevectorfile(file.c_str(), "svg", 200, 100, draw_sample), 1);
  EXPECT_TRUE(test::grab_page(getcurrentwindow()).pixels == before.pixels);
  const ViewSettings v = getviewsettings();
  EXPECT_EQ(v.left + v.top + v.right + v.bottom + v.clip, 5 + 5 + 20 + 20 + 1);
  EXPECT_EQ(getbkcolor(), creatergb(0, 128, 0));
}

TEST_F(VectorOutput, APrintedPictureIsDrawnOnThePageNotCopiedAsPixels) {
  open_window(200, 100, "Plot window");
  const std::string pdf = (dir_.path() / "print.pdf").string();
  auto title = std::make_shared<std::string>();
  test::set_dialog_answerer([pdf, title](const test::DialogRequest& r) {
    *title = r.text;
    return test::DialogAnswer{r.kind == test::DialogKind::Print, pdf};
  });
  ASSERT_EQ(printvector(nullptr, 200, 100, draw_sample), 1) << lastfileerror();
  EXPECT_EQ(*title, "Plot window");
  const std::string bytes = TempDir::read(pdf);
  const PdfParts p = parts(bytes);
  EXPECT_EQ(p.pages, 1);
  EXPECT_EQ(p.images, 0);
  EXPECT_GE(p.fonts, 1);

  test::set_dialog_answerer([](const test::DialogRequest&) { return test::DialogAnswer{}; });
  EXPECT_EQ(printvector("cancelled", 200, 100, draw_sample), 0);
  EXPECT_EQ(lastfileerror(), "");
  const std::string gone = (dir_.path() / "gone" / "print.pdf").string();
  test::set_dialog_answerer([gone](const test::DialogRequest&) {
    return test::DialogAnswer{true, gone};
  });
  EXPECT_EQ(printvector("unwritable", 200, 100, draw_sample), 0);
  EXPECT_EQ(lastfileerror(), "No such file or directory");
}

TEST_F(VectorOutput, TheProgramNamesItsDesktopEntryAndItsWindowsShowItsIcon) {
  const std::string png = (dir_.path() / "icon-48.png").string();
  QImage icon(48, 48, QImage::Format_ARGB32);
  icon.fill(Qt::darkCyan);
  ASSERT_TRUE(icon.save(QString::fromStdString(png)));
  setapplicationidentity("org.example.TestProgram", {(dir_.path() / "missing.svg").string(), png});
  const int window = open_window();
  EXPECT_EQ(test::desktop_file_name(), "org.example.TestProgram");
  const auto sizes = test::window_icon_sizes(window);
  EXPECT_NE(std::find(sizes.begin(), sizes.end(), std::pair{48, 48}), sizes.end());
}

}  // namespace
}  // namespace brx::toolkit::testing
