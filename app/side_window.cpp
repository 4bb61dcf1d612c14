#include "app/side_window.h"

#include "app/main_window.h"
#include "app/window_guard.h"
#include "app/window_look.h"
#include "toolkit/toolkit.h"

namespace brx {

namespace tk = toolkit;

int open_side_window(MainWindow& w, std::atomic<int>& slot, int width, int height,
                     const std::string& title) {
  std::lock_guard lock(window_mutex());
  const int old = slot.exchange(-1);
  if (old >= 0) tk::closewindow(old);
  const int win = tk::initwindow(width, height, title.c_str(), tk::kDefaultPosition,
                                 tk::kDefaultPosition, tk::kKeepOption, 0);
  if (win < 0) {
    if (tk::isvalidwindow(w.ids.window)) tk::setcurrentwindow(w.ids.window);
    return -1;
  }
  tk::setwindowsystemclosecallback(closeflag_cancel);
  const int bar = tk::addmenu("", -1);
  const int file = tk::addmenu("&File", bar);
  const int close =
      tk::addmenuitem("&Close", file, [&w, &slot, win] { close_side_window(w, slot, win); });
  tk::setmenuitemshortcut(close, "Ctrl+W");
  tk::setcolor(kBlack);
  tk::setbkcolor(kWhite);
  tk::clearviewport();
  slot = win;
  return win;
}

void close_side_window(MainWindow& w, std::atomic<int>& slot, int window) {
  std::lock_guard lock(window_mutex());
  int named = window;
  slot.compare_exchange_strong(named, -1);
  if (tk::isvalidwindow(w.ids.window)) tk::setcurrentwindow(w.ids.window);
  tk::closewindow(window);
}

void show_side_text(int top, int width, int height, const std::string& text) {
  constexpr int kMargin = 5;
  constexpr int kFixedPitchFont = 6;  // tables are laid out in columns
  constexpr int kTextSize = 15;
  const int box = tk::createmultilinetextbox(kMargin, top + kMargin, width - 2 * kMargin,
                                             height - 2 * kMargin, true);
  tk::settextboxreadonly(box, true);
  tk::settextboxfont(box, kFixedPitchFont, kTextSize);
  tk::settextboxcontents(box, text.c_str());
  tk::settextboxcursorposition(box, 0);
  tk::refreshall();
}

}  // namespace brx
