// Saving a window region as a picture file and printing it.

#include <unistd.h>

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <system_error>

#include "base/atomic_file.h"
#include "toolkit/window_widgets.h"

namespace brx::toolkit::detail {
namespace {

// Copies a region of a page, clamped to the window: left to 0..width-1, right to 0..width, top
// and bottom to 0..height. The picture is |right - left| + 1 by |bottom - top| + 1 pixels; the
// parts that lie past the page's right or bottom edge take the background colour.
QImage copy_region(Window& w, int left, int top, int right, int bottom, bool active) {
  left = std::clamp(left, 0, w.width - 1);
  right = std::clamp(right, 0, w.width);
  top = std::clamp(top, 0, w.height);
  bottom = std::clamp(bottom, 0, w.height);
  const int x0 = std::min(left, right);
  const int y0 = std::min(top, bottom);
  QImage picture(std::abs(right - left) + 1, std::abs(bottom - top) + 1, QImage::Format_RGB32);
  std::lock_guard lock(w.draw_mutex);
  const int bk = w.ds.bkcolor;
  picture.fill(QColor(getredvalue(bk), getgreenvalue(bk), getbluevalue(bk)));
  QPainter p(&picture);
  p.drawImage(0, 0, w.pages[active ? w.ds.active : w.ds.visual], x0, y0, picture.width(),
              picture.height());
  return picture;
}

void put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

// A 24-bit uncompressed BMP: file header, information header, rows bottom-up in blue-green-red
// order, each padded to a multiple of 4 bytes.
std::string bmp_bytes(const QImage& picture) {
  constexpr std::uint32_t kHeadersSize = 14 + 40;
  constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch
  const auto width = static_cast<std::uint32_t>(picture.width());
  const auto height = static_cast<std::uint32_t>(picture.height());
  const std::uint32_t row_size = (width * 3 + 3) / 4 * 4;
  const std::uint32_t image_size = row_size * height;
  std::string out;
  out.reserve(kHeadersSize + image_size);
  out += "BM";
  put32(out, kHeadersSize + image_size);
  put16(out, 0);
  put16(out, 0);
  put32(out, kHeadersSize);
  put32(out, 40);
  put32(out, width);
  put32(out, height);  // positive: rows stored bottom-up
  put16(out, 1);       // planes
  put16(out, 24);      // bits per pixel
  put32(out, 0);       // no compression
  put32(out, image_size);
  put32(out, kPixelsPerMetre);
  put32(out, kPixelsPerMetre);
  put32(out, 0);  // colours used: no table
  put32(out, 0);
  for (int y = picture.height() - 1; y >= 0; --y) {
    const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      out.push_back(static_cast<char>(qBlue(line[x])));
      out.push_back(static_cast<char>(qGreen(line[x])));
      out.push_back(static_cast<char>(qRed(line[x])));
    }
    out.append(row_size - width * 3, '\0');
  }
  return out;
}

thread_local std::string t_file_error;  // why the thread's last output failed
std::unique_ptr<QPrinter> g_printer;    // event-loop thread only: settings kept between calls

// The file bytes of `picture` in `format` ("bmp" or a format Qt's image writer knows); empty,
// with the reason in t_file_error, for a format nobody here writes.
std::string encoded(const QImage& picture, const std::string& format) {
  const QByteArray name = QByteArray::fromStdString(format).toLower();
  if (name == "bmp") return bmp_bytes(picture);
  if (!QImageWriter::supportedImageFormats().contains(name)) {
    t_file_error = "pictures cannot be written as " + format;
    return {};
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, name);
  if (!writer.write(picture)) {
    t_file_error = writer.errorString().toStdString();
    return {};
  }
  return bytes.toStdString();
}

// The window a picture is taken from: the one named, or else the thread's own picture while it
// draws one, or the current window.
WindowPtr picture_source(int window) {
  return window == kCurrentWindow ? drawing_target() : window_by_id(window);
}

// Writes a region of window w as a file; 1 when written.
int write_picture(Window& w, const std::string& file, const std::string& format, int left, int top,
                  int right, int bottom, bool active) {
  if (w.vector != nullptr) {
    t_file_error = "a vector picture has no pixels to save";
    return 0;
  }
  const std::string bytes = encoded(copy_region(w, left, top, right, bottom, active), format);
  if (bytes.empty()) return 0;
  if (const FileWrite written = write_file_atomically(file, bytes); !written) {
    t_file_error = written.reason();
    return 0;
  }
  return 1;
}

// Why a print job that wrote to a file could not start: the folder's fault, in the system's
// words, when it is one.
std::string print_failure(const QPrinter& printer) {
  const QString file = printer.outputFileName();
  if (!file.isEmpty() &&
      ::access(QFileInfo(file).absolutePath().toLocal8Bit().constData(), W_OK) != 0) {
    return std::system_category().message(errno);
  }
  return "the printer did not take the page";
}

// Draws a picture of `size` pixels into a rectangle of a printed page.
using PagePlacer = std::function<bool(QPainter&, const QRect&)>;

// One page: the title 0.75 inch from the left and top edges, a picture of `size` pixels 7.5
// inches wide below it (1 inch from the top, or 0.75 inch without a title), keeping its aspect
// ratio.
bool print_page(QPrinter& printer, const QString& title, QSize size, const PagePlacer& place) {
  printer.setDocName(QStringLiteral("Graphics Window"));
  printer.setFullPage(true);
  QPainter p;
  if (!p.begin(&printer)) return false;
  const double dpi_x = printer.logicalDpiX();
  const double dpi_y = printer.logicalDpiY();
  const int left = static_cast<int>(0.75 * dpi_x);
  int top = static_cast<int>(0.75 * dpi_y);
  if (!title.isEmpty()) {
    p.drawText(QPoint(left, top + QFontMetrics(p.font(), &printer).ascent()), title);
    top = static_cast<int>(1.0 * dpi_y);
  }
  const int width = static_cast<int>(7.5 * dpi_x);
  const int height = static_cast<int>(7.5 * dpi_y * size.height() / size.width());
  const bool placed = place(p, QRect(left, top, width, height));
  return p.end() && placed;
}

// The title printed above a picture: the one given, or the title of window w.
QString print_heading(const char* title, const WindowPtr& w) {
  if (title != nullptr) return from_program_text(title);
  QString heading;
  if (w) run_on_gui([&] { heading = w->title; });
  return heading;
}

// Prints one page after the print dialog, modal to `owner` (or the test answerer's file); 1 when
// printed.
int print_one_page(const QString& heading, QSize size, const PagePlacer& place,
                   const WindowPtr& owner) {
  test::DialogRequest request;
  request.kind = test::DialogKind::Print;
  request.title = "Print";
  request.text = heading.toStdString();
  if (owner) request.window = owner->id.load();
  test::DialogAnswer answer;
  if (answer_by_test(request, answer)) {
    if (!answer.accepted) return 0;
    bool printed = false;
    std::string failure;  // the event-loop thread's words for this thread
    run_on_gui([&] {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(answer.text));
      printed = print_page(printer, heading, size, place);
      if (!printed) failure = print_failure(printer);
    });
    t_file_error = failure;
    return printed ? 1 : 0;
  }

  bool printed = false;
  std::string failure;
  run_on_gui([&] {
    if (!g_printer) g_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPointer<QDialog> dialog = new QPrintDialog(g_printer.get(), dialog_owner(owner));
    const bool accepted = run_modal(dialog);
    delete dialog;
    if (accepted) printed = print_page(*g_printer, heading, size, place);
    if (accepted && !printed) failure = print_failure(*g_printer);
  });
  t_file_error = failure;
  return printed ? 1 : 0;
}

}  // namespace

void release_printer() {
  g_printer.reset();
}

void set_file_error(std::string reason) {
  t_file_error = std::move(reason);
}

}  // namespace brx::toolkit::detail

namespace brx::toolkit {

using namespace detail;

// The window is taken once, before the dialog: the picture comes from the window asked for,
// whichever becomes current while the user chooses the name.
int writeimagefile(const char* name, int left, int top, int right, int bottom, bool active,
                   int window) {
  t_file_error.clear();
  WindowPtr w = picture_source(window);
  if (!w) return 0;
  std::string file = name == nullptr ? std::string() : std::string(name);
  if (file.empty() && !ask_image_file_name(w, file)) return 0;
  return write_picture(*w, file, "bmp", left, top, right, bottom, active);
}

int writeimagefile() {
  const ViewSettings v = getviewsettings();
  return writeimagefile(nullptr, 0, 0, v.right, v.bottom, false);
}

int writeimagefileas(const char* name, const char* format, int left, int top, int right, int bottom,
                     bool active, int window) {
  t_file_error.clear();
  if (name == nullptr || *name == '\0' || format == nullptr) {
    t_file_error = "no file name or format was given";
    return 0;
  }
  WindowPtr w = picture_source(window);
  if (!w) return 0;
  return write_picture(*w, name, format, left, top, right, bottom, active);
}

int printimage(const char* title, int left, int top, int right, int bottom, bool active,
               int window) {
  t_file_error.clear();
  WindowPtr w = picture_source(window);
  if (!w) return 0;
  const QString heading = print_heading(title, w);
  if (w->vector != nullptr) {
    t_file_error = "a vector picture has no pixels to print";
    return 0;
  }
  const QImage picture = copy_region(*w, left, top, right, bottom, active);
  return print_one_page(
      heading, picture.size(),
      [&picture](QPainter& p, const QRect& target) {
        p.drawImage(target, picture);
        return true;
      },
      w);
}

int printvector(const char* title, int width, int height, const std::function<void()>& draw,
                int window) {
  t_file_error.clear();
  if (width < 1 || height < 1) {
    t_file_error = "an empty picture cannot be printed";
    return 0;
  }
  const QSize size(width, height);
  const WindowPtr owner = addressed_window(window);
  return print_one_page(
      print_heading(title, owner), size,
      [&](QPainter& p, const QRect& target) { return draw_vector_picture(p, target, size, draw); },
      owner);
}

int printimage() {
  const ViewSettings v = getviewsettings();
  return printimage(nullptr, 0, 0, v.right, v.bottom, false);
}

std::string lastfileerror() {
  return t_file_error;
}

}  // namespace brx::toolkit
