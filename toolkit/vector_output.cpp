// Vector pictures: the calling thread's drawing operations paint with one QPainter on an SVG
// image, a PDF page or a printed page, so lines and text stay lines and text at any size.

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include "base/atomic_file.h"
#include "toolkit/window_record.h"

namespace brx::toolkit::detail {
namespace {

constexpr double kPixelsPerInch = 96.0;  // the size a picture of the screen has on paper
constexpr double kPointsPerInch = 72.0;

// Ends the calling thread's picture however `draw` leaves.
class PictureEnd {
 public:
  PictureEnd() = default;
  ~PictureEnd() { endpicture(); }
  PictureEnd(const PictureEnd&) = delete;
  PictureEnd& operator=(const PictureEnd&) = delete;
};

QString lower(const char* text) {
  return QString::fromUtf8(text == nullptr ? "" : text).toLower();
}

// The bytes of an SVG image of `size` pixels, titled `title`, holding what `draw` draws; empty
// when it could not be drawn.
QByteArray svg_bytes(QSize size, const QString& title, const std::function<void()>& draw) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(static_cast<int>(kPixelsPerInch));
  svg.setTitle(title);
  svg.setDescription(QString());
  QPainter p;
  if (!p.begin(&svg)) {
    set_file_error("the SVG image could not be started");
    return {};
  }
  const bool drawn = draw_vector_picture(p, QRectF(QPointF(0, 0), size), size, draw);
  p.end();
  if (!drawn) return {};
  // The generator gives the image's size in millimetres, which readers turn into pixels at
  // resolutions of their own (90 or 96 to the inch); in pixels every reader shows the picture's.
  QByteArray bytes = buffer.data();
  const qsizetype root = bytes.indexOf("<svg");
  const qsizetype root_end = bytes.indexOf('>', root);
  if (root >= 0 && root_end > root) {
    QString tag = QString::fromUtf8(bytes.mid(root, root_end - root));
    tag.replace(QRegularExpression(QStringLiteral(" width=\"[^\"]*\"")),
                QStringLiteral(" width=\"%1\"").arg(size.width()));
    tag.replace(QRegularExpression(QStringLiteral(" height=\"[^\"]*\"")),
                QStringLiteral(" height=\"%1\"").arg(size.height()));
    bytes.replace(root, root_end - root, tag.toUtf8());
  }
  return bytes;
}

// The bytes of a one-page PDF document of `size` pixels at 96 to the inch (the writer keeps
// the page to whole points) holding what `draw` draws; empty when it could not be drawn.
QByteArray pdf_bytes(QSize size, const std::function<void()>& draw) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(static_cast<int>(kPixelsPerInch));
    const QSizeF points = QSizeF(size) * (kPointsPerInch / kPixelsPerInch);
    pdf.setPageLayout(
        QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF()));
    QPainter p;
    if (!p.begin(&pdf)) {
      set_file_error("the PDF document could not be started");
      return {};
    }
    // The page as the writer measures it: the same size, whatever it rounded.
    const QRectF page(0, 0, pdf.width(), pdf.height());
    const bool drawn = draw_vector_picture(p, page, size, draw);
    if (!p.end() || !drawn) return {};
  }
  return buffer.data();
}

}  // namespace

bool draw_vector_picture(QPainter& painter, const QRectF& target, QSize size,
                         const std::function<void()>& draw) {
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(target.width() / size.width(), target.height() / size.height());
  painter.setClipRect(QRect(QPoint(0, 0), size));
  const bool started = begin_vector_picture(painter, size.width(), size.height());
  if (started) {
    const PictureEnd end;
    draw();
  } else {
    set_file_error("a picture is being drawn");
  }
  painter.restore();
  return started;
}

}  // namespace brx::toolkit::detail

namespace brx::toolkit {

using namespace detail;

bool isvectorformat(const char* format) {
  const QString f = lower(format);
  return f == QLatin1String("svg") || f == QLatin1String("pdf");
}

int writevectorfile(const char* name, const char* format, int width, int height,
                    const std::function<void()>& draw) {
  set_file_error({});
  if (name == nullptr || *name == '\0' || format == nullptr) {
    set_file_error("no file name or format was given");
    return 0;
  }
  if (!isvectorformat(format)) {
    set_file_error(std::string("pictures cannot be written as ") + format);
    return 0;
  }
  if (width < 1 || height < 1) {
    set_file_error("an empty picture cannot be written");
    return 0;
  }
  const QSize size(width, height);
  const QByteArray bytes =
      lower(format) == QLatin1String("svg")
          ? svg_bytes(size, QFileInfo(from_file_name(name)).completeBaseName(), draw)
          : pdf_bytes(size, draw);
  if (bytes.isEmpty()) return 0;
  if (const FileWrite written = write_file_atomically(
          name, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
      !written) {
    set_file_error(written.reason());
    return 0;
  }
  return 1;
}

}  // namespace brx::toolkit
