// Vector pictures whose lines and text stay lines and text, drawn without touching the current
// window (the PDF pages are checked through the desktop's Save Plot As).

#include <QImage>
#include <QXmlStreamReader>
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

class VectorOutput : public ToolkitTest {
 protected:
  TempDir dir_;
};

// The current window's page and drawing state are left as they were.
TEST_F(VectorOutput, AnSvgImageHoldsTheTextAsTextAndHasThePicturesSize) {
  open_window(50, 40);
  setbkcolor(creatergb(0, 128, 0));
  clearviewport();
  setviewport(5, 5, 20, 20, 1);
  const test::PageImage before = test::grab_page(getcurrentwindow());
  const std::string file = (dir_.path() / "sample.svg").string();
  ASSERT_EQ(writevectorfile(file.c_str(), "SVG", 200, 100, draw_sample), 1) << lastfileerror();
  EXPECT_TRUE(test::grab_page(getcurrentwindow()).pixels == before.pixels);
  const ViewSettings v = getviewsettings();
  EXPECT_EQ(v.left + v.top + v.right + v.bottom + v.clip, 5 + 5 + 20 + 20 + 1);
  EXPECT_EQ(getbkcolor(), creatergb(0, 128, 0));

  QXmlStreamReader xml(QByteArray::fromStdString(TempDir::read(file)));
  QString width, height, text;
  int images = 0, shapes = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("svg")) {
      width = xml.attributes().value("width").toString();
      height = xml.attributes().value("height").toString();
    } else if (xml.name() == QLatin1String("text")) {
      text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    } else {
      images += xml.name() == QLatin1String("image");
      shapes += xml.name() == QLatin1String("path") || xml.name() == QLatin1String("polyline");
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

}  // namespace
}  // namespace brx::toolkit::testing
