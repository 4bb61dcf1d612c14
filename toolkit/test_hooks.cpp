// The toolkit's test seam: dialog answers, page pixels, user actions and a fresh start.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPixmap>
#include <chrono>

#include "toolkit/window_widgets.h"

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

std::string window_title(int window) {
  std::string title;
  with_window(window, [&](Window& w) { title = w.frame->windowTitle().toStdString(); });
  return title;
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
