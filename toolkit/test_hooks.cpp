// The toolkit's test seam: dialog answers, page pixels, user actions and a fresh start.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWindow>
#include <chrono>

#include "toolkit/window_widgets.h"

// Qt GUI's entry for key events as the windowing system delivers them (shortcuts, access keys,
// open menus, focus); exported for Qt's own test library, which declares it the same way.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key,
                                    Qt::KeyboardModifiers modifiers, const QString& text,
                                    bool autorepeat, ushort count);

namespace brx::toolkit::detail {
namespace {
std::mutex g_answerer_mutex;
test::DialogAnswerer g_answerer;

// Runs `work` with an open window on the event-loop thread.
template <typename Work>
void with_window(int window, Work&& work) {
  WindowPtr w = window_by_id(window);
  if (!w) return;
  run_on_gui([&] {
    if (w->frame != nullptr) work(*w);
  });
}
}  // namespace

bool answer_by_test(const test::DialogRequest& request, test::DialogAnswer& answer) {
  test::DialogAnswerer answerer;
  {
    std::lock_guard lock(g_answerer_mutex);
    answerer = g_answerer;
  }
  if (!answerer) return false;
  answer = answerer(request);
  return true;
}

}  // namespace brx::toolkit::detail

namespace brx::toolkit::test {

using namespace detail;

void set_dialog_answerer(DialogAnswerer answerer) {
  std::lock_guard lock(g_answerer_mutex);
  g_answerer = std::move(answerer);
}

PageImage grab_page(int window, int page) {
  PageImage out;
  WindowPtr w = window_by_id(window);
  if (!w) return out;
  std::lock_guard lock(w->draw_mutex);
  const QImage& img = w->pages[page >= 0 && page <= 3 ? page : w->ds.visual];
  out.width = img.width();
  out.height = img.height();
  out.pixels.reserve(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  for (int y = 0; y < img.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) out.pixels.push_back(line[x] & 0xFFFFFFu);
  }
  return out;
}

bool save_window_snapshot(int window, const std::string& png_path) {
  bool saved = false;
  with_window(window, [&](Window& w) {
    saved = w.frame->grab().save(QString::fromStdString(png_path), "PNG");
  });
  return saved;
}

std::pair<int, int> client_size(int window) {
  std::pair<int, int> size{0, 0};
  with_window(window, [&](Window& w) { size = {w.canvas->width(), w.canvas->height()}; });
  return size;
}

void choose_menu_item(int window, int item) {
  with_window(window, [&](Window& w) {
    if (item >= 0 && static_cast<std::size_t>(item) < w.items.size()) {
      w.items[static_cast<std::size_t>(item)]->trigger();
    }
  });
}

void click_control(int window, int id) {
  with_window(window, [&](Window& w) {
    if (id < 0 || static_cast<std::size_t>(id) >= w.controls.size()) return;
    if (auto* b = qobject_cast<QAbstractButton*>(w.controls[static_cast<std::size_t>(id)].widget)) {
      b->click();
    }
  });
}

void press_close_button(int window) {
  with_window(window, [&](Window& w) { w.frame->close(); });
}

bool menu_item_enabled(int window, int item) {
  bool enabled = false;
  with_window(window, [&](Window& w) {
    if (item >= 0 && static_cast<std::size_t>(item) < w.items.size()) {
      enabled = w.items[static_cast<std::size_t>(item)]->isEnabled();
    }
  });
  return enabled;
}

namespace {
QWidget* control_widget(Window& w, int id) {
  if (id < 0 || static_cast<std::size_t>(id) >= w.controls.size()) return nullptr;
  return w.controls[static_cast<std::size_t>(id)].widget.data();
}
}  // namespace

bool control_enabled(int window, int id) {
  bool enabled = false;
  with_window(window, [&](Window& w) {
    if (QWidget* c = control_widget(w, id)) enabled = c->isEnabled();
  });
  return enabled;
}

bool control_visible(int window, int id) {
  bool visible = false;
  with_window(window, [&](Window& w) {
    if (QWidget* c = control_widget(w, id)) visible = c->isVisibleTo(w.frame);
  });
  return visible;
}

std::string desktop_file_name() {
  std::string name;
  run_on_gui([&] { name = QGuiApplication::desktopFileName().toStdString(); });
  return name;
}

std::vector<std::pair<int, int>> window_icon_sizes(int window) {
  std::vector<std::pair<int, int>> sizes;
  with_window(window, [&](Window& w) {
    for (const QSize& s : w.frame->windowIcon().availableSizes()) {
      sizes.emplace_back(s.width(), s.height());
    }
  });
  return sizes;
}

std::string window_title(int window) {
  std::string title;
  with_window(window, [&](Window& w) { title = w.frame->windowTitle().toStdString(); });
  return title;
}

std::string menu_text(int window, int menu) {
  std::string text;
  with_window(window, [&](Window& w) {
    if (menu < 0 || static_cast<std::size_t>(menu) >= w.menus.size()) return;
    if (auto* drop = qobject_cast<QMenu*>(w.menus[static_cast<std::size_t>(menu)])) {
      text = to_program_text(drop->title());
    }
  });
  return text;
}

namespace {
QAction* item_action(Window& w, int item) {
  if (item < 0 || static_cast<std::size_t>(item) >= w.items.size()) return nullptr;
  return w.items[static_cast<std::size_t>(item)];
}
}  // namespace

std::string menu_item_text(int window, int item) {
  std::string text;
  with_window(window, [&](Window& w) {
    if (QAction* a = item_action(w, item)) text = to_program_text(a->text());
  });
  return text;
}

std::string menu_item_shortcut(int window, int item) {
  std::string keys;
  with_window(window, [&](Window& w) {
    if (QAction* a = item_action(w, item)) {
      keys = a->shortcut().toString(QKeySequence::PortableText).toStdString();
    }
  });
  return keys;
}

bool press_keys(int window, const std::string& keys) {
  const QKeySequence sequence = keys_from_text(keys.c_str());
  if (sequence.isEmpty() || !window_by_id(window)) return false;
  with_window(window, [](Window& w) {
    w.frame->raise();
    w.frame->activateWindow();
  });
  // Activation is reported back by the windowing system a moment later.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  bool active = false;
  while (!active && std::chrono::steady_clock::now() < deadline) {
    with_window(window, [&](Window& w) { active = QApplication::activeWindow() == w.frame; });
    if (!active) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!active) return false;
  bool pressed = false;
  with_window(window, [&](Window& w) {
    QWindow* native = w.frame->windowHandle();
    if (native == nullptr) return;
    for (int i = 0; i < sequence.count(); ++i) {
      const int key = sequence[i].key();
      const Qt::KeyboardModifiers mods = sequence[i].keyboardModifiers();
      // Only a plain printable key types a character.
      const bool types = key < Qt::Key_Escape && (mods & ~Qt::ShiftModifier) == Qt::NoModifier;
      QString text;
      if (types) {
        text = QString(QChar(key));
        if (!(mods & Qt::ShiftModifier)) text = text.toLower();
      }
      qt_handleKeyEvent(native, QEvent::KeyPress, key, mods, text, false, 1);
      qt_handleKeyEvent(native, QEvent::KeyRelease, key, mods, text, false, 1);
    }
    pressed = true;
  });
  return pressed;
}

std::string open_menu_text() {
  std::string text;
  run_on_gui([&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      text = to_program_text(menu->title());
    }
  });
  return text;
}

bool close_open_menu() {
  bool closed = false;
  run_on_gui([&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      menu->close();
      closed = true;
    }
  });
  return closed;
}

bool busy_cursor_shown(int window) {
  bool busy = false;
  with_window(window, [&](Window& w) { busy = w.canvas->cursor().shape() == Qt::WaitCursor; });
  return busy;
}

TextBoxLook textbox_look(int window, int id) {
  TextBoxLook look;
  with_window(window, [&](Window& w) {
    if (id < 0 || static_cast<std::size_t>(id) >= w.controls.size()) return;
    QWidget* widget = w.controls[static_cast<std::size_t>(id)].widget.data();
    if (widget == nullptr) return;
    const QFontInfo info(widget->font());
    look.font_family = info.family().toStdString();
    look.fixed_pitch = info.fixedPitch();
    if (auto* multi = qobject_cast<QPlainTextEdit*>(widget)) {
      look.read_only = multi->isReadOnly();
      look.top_line = multi->verticalScrollBar()->value();
      look.left = multi->horizontalScrollBar()->value();
    } else if (auto* single = qobject_cast<QLineEdit*>(widget)) {
      look.read_only = single->isReadOnly();
      look.left = 0;
    }
  });
  return look;
}

std::string open_dialog_title() {
  std::string title;
  run_on_gui([&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      title = modal->windowTitle().toStdString();
    }
  });
  return title;
}

bool close_open_dialog(bool accept) {
  bool closed = false;
  run_on_gui([&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    if (accept) {
      dialog->accept();
    } else {
      dialog->reject();
    }
    closed = true;
  });
  return closed;
}

void reset_toolkit() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (running_callbacks() > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  run_on_gui([] { forget_all_windows(); });
  reset_sticky_options();
  set_ansi_text(false);
  set_dialog_answerer(nullptr);
}

}  // namespace brx::toolkit::test
