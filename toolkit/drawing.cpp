// Drawing into the current window's active page: colours, fill styles, viewports, lines, bars
// and text. Every operation runs on the calling thread under the window's drawing lock, which
// is never held while work is handed to the event-loop thread; repaints are requested
// afterwards and merged.
//
// Pages are kept in logical pixels: a 550 x 650 window has 550 x 650 pixel pages whatever the
// display's scaling, and Qt scales the visual page when it shows it. Saved and printed pictures
// therefore have the same pixels on every display.
//
// A vector picture (vector_output.cpp) has one painter on its document instead of pages: each
// operation paints with it between save() and restore(), so that no operation's clip or origin
// outlives it.

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <optional>

#include "toolkit/window_widgets.h"

namespace brx::toolkit::detail {
namespace {

QColor qcolour(int c) {
  return QColor(getredvalue(c), getgreenvalue(c), getbluevalue(c));
}

thread_local WindowPtr t_picture;  // the calling thread's picture, while it draws one

// The drawing target, locked for drawing; requests the repaint after unlocking.
class DrawScope {
 public:
  DrawScope() : w_(drawing_target()) {
    if (w_) lock_ = std::unique_lock(w_->draw_mutex);
  }
  ~DrawScope() {
    if (lock_.owns_lock()) lock_.unlock();
    if (post_) post_repaint(w_);
  }
  DrawScope(const DrawScope&) = delete;
  DrawScope& operator=(const DrawScope&) = delete;

  explicit operator bool() const { return w_ != nullptr; }
  Window& window() { return *w_; }
  DrawState& ds() { return w_->ds; }
  QImage& page() { return w_->pages[w_->ds.active]; }
  QRect whole() const { return QRect(0, 0, w_->width, w_->height); }
  // `r` is in window coordinates.
  void changed(const QRect& r) {
    if (mark_dirty(*w_, r)) post_ = true;
  }

 private:
  WindowPtr w_;
  std::unique_lock<std::mutex> lock_;
  bool post_ = false;
};

// A painter on the drawing target: a new one on the active page, or the vector picture's own.
class PagePainter {
 public:
  explicit PagePainter(DrawScope& s) : vector_(s.window().vector != nullptr) {
    if (vector_) {
      p_ = s.window().vector;
      p_->save();
    } else {
      p_ = &own_.emplace(&s.page());
    }
  }
  ~PagePainter() {
    if (vector_) {
      p_->restore();
    } else {
      own_->end();
    }
  }
  PagePainter(const PagePainter&) = delete;
  PagePainter& operator=(const PagePainter&) = delete;

  QPainter& operator*() { return *p_; }
  QPainter* operator->() { return p_; }
  bool vector() const { return vector_; }

 private:
  bool vector_;
  std::optional<QPainter> own_;
  QPainter* p_ = nullptr;
};

// Clips to the viewport when asked and moves the origin to its top-left corner. The viewport
// includes its right and bottom edges. A vector picture keeps its own clip (the picture's edges
// on a printed page) inside the viewport's.
void enter_viewport(PagePainter& p, const DrawState& ds) {
  if (ds.vp_clip != 0) {
    p->setClipRect(QRect(QPoint(ds.vp_left, ds.vp_top), QPoint(ds.vp_right, ds.vp_bottom)),
                   p.vector() ? Qt::IntersectClip : Qt::ReplaceClip);
  }
  p->translate(ds.vp_left, ds.vp_top);
}

// Brush patterns of fill styles 2..11, densest last.
Qt::BrushStyle fill_pattern(int style) {
  switch (style) {
    case 2:
      return Qt::HorPattern;
    case 3:
      return Qt::BDiagPattern;
    case 4:
      return Qt::BDiagPattern;
    case 5:
      return Qt::FDiagPattern;
    case 6:
      return Qt::FDiagPattern;
    case 7:
      return Qt::CrossPattern;
    case 8:
      return Qt::DiagCrossPattern;
    case 9:
      return Qt::Dense4Pattern;
    case 10:
      return Qt::Dense6Pattern;
    case 11:
      return Qt::Dense5Pattern;
    default:
      return Qt::SolidPattern;
  }
}

constexpr int kDefaultTextSize = 12;

}  // namespace

// The font of a text style; `size` is the text cell height (ascent plus descent) in pixels.
QFont style_font(int font, int size) {
  QFont f;
  switch (font) {
    case 0:
      f = QFont(QStringLiteral("DejaVu Sans"), -1, QFont::Bold);
      break;
    case 2:
      f = QFont(QStringLiteral("DejaVu Serif"));
      break;
    case 3:  // no script face ships with the system; the italic serif stands in
      f = QFont(QStringLiteral("DejaVu Serif"));
      f.setItalic(true);
      break;
    case 4:
      f = QFont(QStringLiteral("DejaVu Sans"), -1, QFont::Bold);
      break;
    case 5:
      f = QFont(QStringLiteral("DejaVu Serif"), -1, QFont::Bold);
      break;
    case 6:
      f = QFont(QStringLiteral("DejaVu Sans Mono"));
      break;
    case 7:
      f = interface_font();
      break;
    case 8:  // symbols: the sans face carries the common dingbats and arrows
      f = QFont(QStringLiteral("DejaVu Sans"));
      break;
    default:
      f = QFont(QStringLiteral("DejaVu Sans"));
      break;  // 1
  }
  f.setPixelSize(size);
  const int cell = QFontMetrics(f).height();
  if (cell > size) f.setPixelSize(std::max(1, size * size / cell));
  return f;
}

void reset_drawing_state(Window& w) {
  DrawState& ds = w.ds;
  ds = DrawState{};
  ds.vp_right = w.width;
  ds.vp_bottom = w.height;
  ds.qfont = style_font(ds.font, ds.size);
  if (w.dbflag) ds.active = 1;
  // A new window starts black on every page, with white drawing and fill colours.
  for (QImage& page : w.pages) page.fill(Qt::black);
}

WindowPtr drawing_target() {
  if (t_picture) return t_picture;
  return current_window();
}

bool mark_dirty(Window& w, const QRect& r) {
  if (!w.ds.refresh || w.ds.active != w.ds.visual) return false;
  w.dirty |= r.intersected(QRect(0, 0, w.width, w.height));
  if (w.repaint_posted) return false;
  w.repaint_posted = true;
  return true;
}

void post_repaint(const WindowPtr& w) {
  post_to_gui([w] {
    QRect r;
    {
      std::lock_guard lock(w->draw_mutex);
      r = w->dirty;
      w->dirty = QRect();
      w->repaint_posted = false;
    }
    if (w->canvas != nullptr && !r.isEmpty()) w->canvas->update(r);
  });
}

QFont control_font() {
  return interface_font();
}

bool begin_vector_picture(QPainter& painter, int width, int height) {
  if (t_picture) return false;
  auto w = std::make_shared<Window>();
  w->width = std::max(1, width);
  w->height = std::max(1, height);
  w->creator = std::this_thread::get_id();
  {
    std::lock_guard lock(w->draw_mutex);
    reset_drawing_state(*w);  // its pages are empty: nothing to fill
    w->ds.refresh = false;
    w->vector = &painter;
  }
  t_picture = std::move(w);
  return true;
}

}  // namespace brx::toolkit::detail

namespace brx::toolkit {

using namespace detail;

void setcolor(int colour) {
  DrawScope s;
  if (s) s.ds().color = colour & 0xFFFFFF;
}

int getcolor() {
  DrawScope s;
  return s ? s.ds().color : 0;
}

void setbkcolor(int colour) {
  DrawScope s;
  if (s) s.ds().bkcolor = colour & 0xFFFFFF;
}

int getbkcolor() {
  DrawScope s;
  return s ? s.ds().bkcolor : 0;
}

void setfillstyle(int style, int colour) {
  constexpr int kInvalidFillStyle = -11;
  DrawScope s;
  if (!s) return;
  if (style < 0 || style > 12) {
    s.ds().graphresult = kInvalidFillStyle;
    return;
  }
  s.ds().fillstyle = style;
  s.ds().fillcolor = colour & 0xFFFFFF;
}

int graphresult() {
  DrawScope s;
  if (!s) return 0;
  return std::exchange(s.ds().graphresult, 0);
}

void setviewport(int left, int top, int right, int bottom, int clip) {
  DrawScope s;
  if (!s) return;
  DrawState& ds = s.ds();
  ds.vp_left = left;
  ds.vp_top = top;
  ds.vp_right = right;
  ds.vp_bottom = bottom;
  ds.vp_clip = clip;
  ds.cp_x = 0;
  ds.cp_y = 0;
}

void resetviewport() {
  DrawScope s;
  if (!s) return;
  DrawState& ds = s.ds();
  ds.vp_left = 0;
  ds.vp_top = 0;
  ds.vp_right = s.window().width;
  ds.vp_bottom = s.window().height;
  ds.vp_clip = 0;
}

ViewSettings getviewsettings() {
  DrawScope s;
  if (!s) return {0, 0, 0, 0, 0};
  const DrawState& ds = s.ds();
  return {ds.vp_left, ds.vp_top, ds.vp_right, ds.vp_bottom, ds.vp_clip};
}

void moveto(int x, int y) {
  DrawScope s;
  if (!s) return;
  s.ds().cp_x = x;
  s.ds().cp_y = y;
}

int getx() {
  DrawScope s;
  return s ? s.ds().cp_x : 0;
}

int gety() {
  DrawScope s;
  return s ? s.ds().cp_y : 0;
}

void clearviewport() {
  DrawScope s;
  if (!s) return;
  DrawState& ds = s.ds();
  const QRect area(ds.vp_left, ds.vp_top, ds.vp_right - ds.vp_left, ds.vp_bottom - ds.vp_top);
  {
    PagePainter p(s);
    p->fillRect(area, qcolour(ds.bkcolor));
  }
  ds.cp_x = 0;
  ds.cp_y = 0;
  s.changed(s.whole());
}

int getmaxx() {
  DrawScope s;
  return s ? s.window().width - 1 : 0;
}

int getmaxy() {
  DrawScope s;
  return s ? s.window().height - 1 : 0;
}

void line(int x1, int y1, int x2, int y2) {
  DrawScope s;
  if (!s) return;
  const DrawState& ds = s.ds();
  {
    PagePainter p(s);
    enter_viewport(p, ds);
    if (p.vector()) {
      // One picture pixel wide at any scale, and through the middle of the pixels a page's line
      // covers, so that lines meet bars and text as on the page.
      p->setPen(QPen(qcolour(ds.color), 1.0));
      p->drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
    } else {
      p->setPen(QPen(qcolour(ds.color), 0));  // cosmetic: one pixel wide
      p->drawLine(x1, y1, x2, y2);
    }
  }
  const QRect box =
      QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)))
          .translated(ds.vp_left, ds.vp_top)
          .adjusted(-1, -1, 1, 1);
  s.changed(box);
}

void bar(int left, int top, int right, int bottom) {
  DrawScope s;
  if (!s) return;
  const DrawState& ds = s.ds();
  const QRect area(std::min(left, right), std::min(top, bottom), std::abs(right - left),
                   std::abs(bottom - top));
  if (area.isEmpty()) return;
  {
    PagePainter p(s);
    enter_viewport(p, ds);
    if (ds.fillstyle == 0) {
      p->fillRect(area, qcolour(ds.bkcolor));
    } else {
      const Qt::BrushStyle pattern = fill_pattern(ds.fillstyle);
      if (pattern != Qt::SolidPattern) p->fillRect(area, qcolour(ds.bkcolor));
      p->fillRect(area, QBrush(qcolour(ds.fillcolor), pattern));
    }
  }
  s.changed(area.translated(ds.vp_left, ds.vp_top));
}

void settextstyle(int font, int direction, int size) {
  constexpr int kKeepDirection = -999;
  DrawScope s;
  if (!s) return;
  DrawState& ds = s.ds();
  ds.font = std::clamp(font, 0, 8);
  if (direction != kKeepDirection) ds.direction = direction;
  ds.size = size > 0 ? size : kDefaultTextSize;
  ds.qfont = style_font(ds.font, ds.size);
}

void setmatchthemetextstyle() {
  DrawScope s;
  if (!s) return;
  DrawState& ds = s.ds();
  ds.qfont = interface_font();
  ds.font = 7;
  ds.size = QFontMetrics(ds.qfont).height();
}

void settextjustify(int horizontal, int vertical) {
  DrawScope s;
  if (!s) return;
  s.ds().hjust = std::clamp(horizontal, 0, 2);
  s.ds().vjust = std::clamp(vertical, 0, 2);
}

namespace {
// Writes `t` at the current position as outtextxy describes; the lock is held.
void write_text(DrawScope& s, const QString& t) {
  DrawState& ds = s.ds();
  const QFontMetrics fm(ds.qfont);
  const int w = fm.horizontalAdvance(t);
  const int h = fm.height();
  // Vertical text is the horizontal text turned a quarter turn counter-clockwise, so its box on
  // the page is h wide and w high, and justification works on that box.
  const bool vertical = ds.direction != 0;
  const int box_w = vertical ? h : w;
  const int box_h = vertical ? w : h;
  int x = ds.cp_x;
  int y = ds.cp_y;
  if (ds.hjust == 1) x -= box_w / 2;
  if (ds.hjust == 2) x -= box_w;
  if (ds.vjust == 1) y -= box_h / 2;
  if (ds.vjust == 0) y -= box_h;

  {
    PagePainter p(s);
    enter_viewport(p, ds);
    p->fillRect(QRect(x, y, box_w, box_h), qcolour(ds.bkcolor));
    p->setFont(ds.qfont);
    p->setPen(qcolour(ds.color));
    if (vertical) {
      p->translate(x, y + box_h);
      p->rotate(-90.0);
      p->drawText(QPoint(0, fm.ascent()), t);
    } else {
      p->drawText(QPoint(x, y + fm.ascent()), t);
    }
  }
  if (vertical) {
    ds.cp_x = x + box_w;
  } else {
    ds.cp_y = y + box_h;
  }
  s.changed(s.whole());
}
}  // namespace

void outtextxy(int x, int y, const char* text) {
  if (text == nullptr) return;
  bool ok = true;
  const QString t = from_program_text(text, &ok);
  DrawScope s;
  if (!s) return;
  s.ds().cp_x = x;
  s.ds().cp_y = y;
  if (ok) write_text(s, t);
}

int textwidth(const char* text) {
  if (text == nullptr) return -1;
  bool ok = true;
  const QString t = from_program_text(text, &ok);
  if (!ok) return -1;
  DrawScope s;
  if (!s) return -1;
  return QFontMetrics(s.ds().qfont).horizontalAdvance(t);
}

int beginpicture(int width, int height) {
  if (t_picture) return 0;
  auto w = std::make_shared<Window>();
  w->width = std::max(1, width);
  w->height = std::max(1, height);
  w->creator = std::this_thread::get_id();
  {
    std::lock_guard lock(w->draw_mutex);
    for (QImage& page : w->pages) page = QImage(w->width, w->height, QImage::Format_RGB32);
    reset_drawing_state(*w);
    w->ds.refresh = false;  // never shown: nothing to repaint
  }
  t_picture = std::move(w);
  return 1;
}

void endpicture() {
  t_picture.reset();
}

int textheight(const char* text) {
  if (text == nullptr) return -1;
  bool ok = true;
  from_program_text(text, &ok);
  if (!ok) return -1;
  DrawScope s;
  if (!s) return -1;
  return QFontMetrics(s.ds().qfont).height();
}

}  // namespace brx::toolkit
