// Windows: the window table, the current window, creation and closing, titles, close
// callbacks, the idle loop and the page switches.

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <utility>

#include "toolkit/window_widgets.h"

namespace brx::toolkit::detail {
namespace {

std::mutex g_table_mutex;
std::vector<WindowPtr> g_table;  // identifier -> window; a closed window leaves a null slot
std::atomic<int> g_current{kNoWindow};

std::atomic<bool> g_sticky_dbflag{false};
std::atomic<bool> g_sticky_closeflag{true};

std::mutex g_idle_mutex;  // guards every Window::idle_set
std::condition_variable g_idle_cv;

constexpr int kTitleLimit = 255;
const char* const kDefaultTitle = "Brevantix graphics window";
const char* const kNoWindowText =
    "Drawing operation was attempted when there was no current window.";

// Fatal: an operation needed a current window and there was none.
[[noreturn]] void fail_without_window() {
  std::fprintf(stderr, "%s\n", kNoWindowText);
  dlgmessage(3, kNoWindowText);
  end_process(1);
}

QString window_title_from(const char* title) {
  QString t = title == nullptr ? QString::fromLatin1(kDefaultTitle) : from_program_text(title);
  if (t.size() > kTitleLimit) t.truncate(kTitleLimit);
  while (!t.isEmpty() && t.back() == QLatin1Char(' ')) t.chop(1);
  return t;
}

Qt::WindowFlags frame_flags(bool titled) {
  if (!titled) return Qt::Window | Qt::FramelessWindowHint;
  return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

// Marks the whole visual page for repainting, whatever the refresh flag says.
void repaint_whole(const WindowPtr& w) {
  bool post;
  {
    std::lock_guard lock(w->draw_mutex);
    w->dirty = QRect(0, 0, w->width, w->height);
    post = !w->repaint_posted;
    w->repaint_posted = true;
  }
  if (post) post_repaint(w);
}

}  // namespace

Canvas::Canvas(WindowPtr window, QWidget* parent) : QWidget(parent), window_(std::move(window)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(window_->width, window_->height);
}

void Canvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  std::lock_guard lock(window_->draw_mutex);
  painter.drawImage(event->rect(), window_->pages[window_->ds.visual], event->rect());
}

Frame::Frame(WindowPtr window)
    : QWidget(nullptr, frame_flags(!window->title.isEmpty())), window_(std::move(window)) {
  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  layout_->setSizeConstraint(QLayout::SetFixedSize);
  canvas_ = new Canvas(window_, this);
  layout_->addWidget(canvas_);
  setWindowTitle(window_->title);
}

QMenuBar* Frame::add_menu_bar() {
  auto* bar = new QMenuBar(this);
  bar->setNativeMenuBar(false);
  layout_->setMenuBar(bar);
  layout_->activate();
  // F10 drops down the first usable menu, as desktop programs do.
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
  QObject::connect(f10, &QShortcut::activated, bar, [bar] {
    for (QAction* menu : bar->actions()) {
      if (menu->isEnabled() && menu->isVisible() && !menu->isSeparator()) {
        bar->setActiveAction(menu);
        return;
      }
    }
  });
  return bar;
}

// The user asked to close the window (title-bar button, system menu, keyboard).
void Frame::closeEvent(QCloseEvent* event) {
  event->ignore();  // the window is destroyed below, or not at all
  WindowPtr w = window_;
  if (w->system_close_callback && w->system_close_callback() == 0) return;
  if (w->closeflag) end_process(0);
  if (w->close_callback) w->close_callback();
  wake_current_window();
  destroy_window(w);
}

WindowPtr window_by_id(int id) {
  std::lock_guard lock(g_table_mutex);
  if (id < 0 || static_cast<std::size_t>(id) >= g_table.size()) return nullptr;
  const WindowPtr& w = g_table[static_cast<std::size_t>(id)];
  return w && w->open.load() ? w : nullptr;
}

int current_window_id() {
  return g_current.load();
}

WindowPtr current_window() {
  if (WindowPtr w = window_by_id(g_current.load())) return w;
  if (toolkit_closing()) return nullptr;
  fail_without_window();
}

WindowPtr addressed_window(int window) {
  return window == kCurrentWindow ? current_window() : window_by_id(window);
}

void wake_current_window() {
  WindowPtr w = window_by_id(g_current.load());
  if (!w) return;
  std::lock_guard lock(g_idle_mutex);
  w->idle_set = true;
  g_idle_cv.notify_all();
}

void wake_all_idle_waiters() {
  std::lock_guard lock(g_idle_mutex);
  g_idle_cv.notify_all();
}

namespace {
// A wait on a window ends when the window is closed or the toolkit shuts down.
bool idle_wait_over(const Window& w) {
  return !w.open.load() || toolkit_closing();
}

void destroy_window_now(const WindowPtr& w, bool defer_delete) {
  if (w->frame == nullptr) return;
  w->open = false;
  wake_all_idle_waiters();  // a loop still waiting on this window would wait for ever
  Frame* frame = w->frame;
  w->frame = nullptr;
  w->canvas = nullptr;
  w->menubar = nullptr;
  w->menus.clear();
  w->items.clear();
  w->item_handlers.clear();
  w->controls.clear();
  w->close_callback = nullptr;
  w->system_close_callback = nullptr;
  frame->hide();
  if (defer_delete) {
    frame->deleteLater();  // we may be inside one of the frame's own event handlers
  } else {
    delete frame;
  }
  const int id = w->id.load();
  {
    std::lock_guard lock(g_table_mutex);
    if (id >= 0 && static_cast<std::size_t>(id) < g_table.size() &&
        g_table[static_cast<std::size_t>(id)] == w) {
      g_table[static_cast<std::size_t>(id)] = nullptr;
    }
  }
  int expected = id;
  g_current.compare_exchange_strong(expected, kNoWindow);
}
}  // namespace

void destroy_window(const WindowPtr& w) {
  destroy_window_now(w, true);
}

void forget_all_windows() {
  std::vector<WindowPtr> all;
  {
    std::lock_guard lock(g_table_mutex);
    all = g_table;
  }
  for (const WindowPtr& w : all) {
    if (w) destroy_window_now(w, false);
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  std::lock_guard lock(g_table_mutex);
  g_table.clear();
  g_current = kNoWindow;
}

void reset_sticky_options() {
  g_sticky_dbflag = false;
  g_sticky_closeflag = true;
}

}  // namespace brx::toolkit::detail

namespace brx::toolkit {

using namespace detail;

// Creates a window with its pages, shows it and makes it current.
int initwindow(int width, int height, const char* title, int left, int top, int dbflag,
               int closeflag) {
  if (dbflag != kKeepOption) g_sticky_dbflag = dbflag != 0;
  if (closeflag != kKeepOption) g_sticky_closeflag = closeflag != 0;
  auto w = std::make_shared<Window>();
  w->width = std::max(1, width);
  w->height = std::max(1, height);
  w->dbflag = g_sticky_dbflag.load();
  w->closeflag = g_sticky_closeflag.load();
  w->creator = std::this_thread::get_id();
  w->title = window_title_from(title);
  {
    std::lock_guard lock(w->draw_mutex);
    for (QImage& page : w->pages) page = QImage(w->width, w->height, QImage::Format_RGB32);
    reset_drawing_state(*w);
  }
  const bool created = run_on_gui([&] {
    auto* frame = new Frame(w);
    if (left != kDefaultPosition && top != kDefaultPosition) frame->move(left, top);
    w->frame = frame;
    w->canvas = frame->canvas();
    frame->show();
    w->open = true;
  });
  if (!created) return -1;
  int id;
  {
    std::lock_guard lock(g_table_mutex);
    id = static_cast<int>(g_table.size());
    w->id = id;
    g_table.push_back(w);
  }
  g_current = id;
  return id;
}

// Destroys one window, the current one or all of them.
void closewindow(int window) {
  std::vector<WindowPtr> doomed;
  if (window == kAllWindows) {
    std::lock_guard lock(g_table_mutex);
    for (const WindowPtr& w : g_table) {
      if (w) doomed.push_back(w);
    }
  } else {
    const int id = window == kCurrentWindow ? g_current.load() : window;
    if (WindowPtr w = window_by_id(id)) doomed.push_back(w);
  }
  if (doomed.empty()) return;
  run_on_gui([&] {
    for (const WindowPtr& w : doomed) destroy_window(w);
  });
}

// Bringing the window to the front waits for the event loop; requests made meanwhile are merged,
// so a program that switches windows often does not flood the event loop.
void setcurrentwindow(int window) {
  WindowPtr w = window_by_id(window);
  if (!w) return;
  g_current = window;
  if (w->raise_posted.exchange(true)) return;
  post_to_gui([w] {
    w->raise_posted = false;
    if (w->frame != nullptr && !w->frame->isActiveWindow()) {
      w->frame->raise();
      w->frame->activateWindow();
    }
  });
}

int getcurrentwindow() {
  return g_current.load();
}

bool isvalidwindow(int window) {
  return window_by_id(window) != nullptr;
}

// The window running a callback on this thread, else the first window this thread created;
// the event-loop thread belongs to every window.
int getsignallingwindow() {
  const int cb = callback_window_of_this_thread();
  if (cb >= 0) return window_by_id(cb) ? cb : -1;
  const auto me = std::this_thread::get_id();
  const bool gui = on_gui_thread();
  std::lock_guard lock(g_table_mutex);
  for (const WindowPtr& w : g_table) {
    if (w && w->open.load() && (gui || w->creator == me)) return w->id.load();
  }
  return -1;
}

void setwindowtitle(const char* title) {
  WindowPtr w = current_window();
  if (!w) return;
  QString t = title == nullptr ? QString() : from_program_text(title);
  run_on_gui([&] {
    w->title = t;
    if (w->frame != nullptr) w->frame->setWindowTitle(t);
  });
}

void setwindowclosecallback(Callback handler) {
  WindowPtr w = current_window();
  if (!w) return;
  run_on_gui([&] { w->close_callback = std::move(handler); });
}

void setwindowsystemclosecallback(CloseQuery handler) {
  WindowPtr w = current_window();
  if (!w) return;
  run_on_gui([&] { w->system_close_callback = std::move(handler); });
}

// Qt 6 is always aware of the display's scaling: the toolkit keeps its pages in logical
// pixels and lets Qt scale them on screen, so there is nothing to declare.
void setapplicationdpiaware() {}

void useansitext() {
  set_ansi_text(true);
}

void setbusycursor(bool busy) {
  WindowPtr w = current_window();
  if (!w) return;
  run_on_gui([&] {
    if (w->frame == nullptr) return;
    if (busy) {
      w->frame->setCursor(Qt::WaitCursor);
    } else {
      w->frame->unsetCursor();
    }
  });
}

// The waits hold on to the window they were started for, never to "the current window" at some
// later moment: two loops on two windows (a program's main loop and a second window's loop on
// a callback thread) each keep their own wake-up whatever either makes current.
void startidle(int milliseconds, int window) {
  WindowPtr w = addressed_window(window);
  if (!w) return;
  std::unique_lock lock(g_idle_mutex);
  g_idle_cv.wait_for(lock, std::chrono::milliseconds(std::max(0, milliseconds)),
                     [&] { return w->idle_set || idle_wait_over(*w); });
  w->idle_set = false;
}

void stopidle(int window) {
  WindowPtr w = addressed_window(window);
  if (!w) return;
  std::lock_guard lock(g_idle_mutex);
  w->idle_set = true;
  g_idle_cv.notify_all();
}

void loop(int window) {
  WindowPtr w = addressed_window(window);
  if (!w) return;
  std::unique_lock lock(g_idle_mutex);
  g_idle_cv.wait(lock, [&] { return w->idle_set || idle_wait_over(*w); });
  w->idle_set = false;
}

void refreshall() {
  WindowPtr w = current_window();
  if (!w) return;
  bool shown;
  {
    std::lock_guard lock(w->draw_mutex);
    shown = w->ds.active == w->ds.visual;
  }
  if (shown) repaint_whole(w);
}

void setactivepage(int page) {
  WindowPtr w = current_window();
  if (!w || page < 0 || page > 3) return;
  std::lock_guard lock(w->draw_mutex);
  w->ds.active = page;
}

void setvisualpage(int page) {
  WindowPtr w = current_window();
  if (!w || page < 0 || page > 3) return;
  {
    std::lock_guard lock(w->draw_mutex);
    w->ds.visual = page;
  }
  repaint_whole(w);
}

int getactivepage() {
  WindowPtr w = current_window();
  if (!w) return 0;
  std::lock_guard lock(w->draw_mutex);
  return w->ds.active;
}

int getvisualpage() {
  WindowPtr w = current_window();
  if (!w) return 0;
  std::lock_guard lock(w->draw_mutex);
  return w->ds.visual;
}

void swapbuffers() {
  WindowPtr w = current_window();
  if (!w || !w->dbflag) return;
  {
    std::lock_guard lock(w->draw_mutex);
    std::swap(w->pages[0], w->pages[1]);
  }
  repaint_whole(w);
}

}  // namespace brx::toolkit
