// A small program on the toolkit: one window with a menu, two check boxes, two buttons and a
// drawing, driven the way the desktop program is (callbacks store an action and wake the loop).
//
//   toolkit_demo [--quit-after MILLISECONDS]

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "toolkit/toolkit.h"

namespace {

using namespace brx::toolkit;

constexpr int kQuit = 0;
constexpr int kRedraw = 1;

struct Demo {
  std::atomic<int> action{kRedraw};
  int sine_box = -1;
  int cosine_box = -1;
};

// Plots the checked curves in the square (0, 0)-(540, 540) above the controls.
void draw(const Demo& demo) {
  setbkcolor(creatergb(255, 255, 255));
  setviewport(0, 0, 540, 540, 1);
  clearviewport();
  const int left = 60, top = 60, right = 520, bottom = 480;
  setcolor(0);
  line(left, top, left, bottom);
  line(left, bottom, right, bottom);
  auto curve = [&](int colour, double (*f)(double)) {
    setcolor(colour);
    int px = 0, py = 0;
    for (int x = left; x <= right; ++x) {
      const double t = (x - left) * 2.0 * 3.14159265358979 / (right - left);
      const int y = static_cast<int>((top + bottom) / 2.0 - f(t) * (bottom - top) / 2.2);
      if (x > left) line(px, py, x, y);
      px = x;
      py = y;
    }
  };
  const bool sine = checkboxischecked(demo.sine_box) == 1;
  const bool cosine = checkboxischecked(demo.cosine_box) == 1;
  if (sine) curve(creatergb(0, 0, 255), [](double t) { return std::sin(t); });
  if (cosine) curve(creatergb(148, 0, 211), [](double t) { return std::cos(t); });
  setfillstyle(1, creatergb(34, 139, 34));
  bar(left + 1, bottom - 12, left + 12, bottom - 1);  // a corner marker
  settextstyle(1, 0, 16);
  setcolor(0);
  settextjustify(1, 1);
  outtextxy(290, 505, "Normalized Time");
  settextstyle(1, 1, 16);
  outtextxy(25, 270, "Normalized Product");
  settextstyle(1, 0, 16);
  setcolor(creatergb(0, 0, 128));
  setmatchthemetextstyle();
  outtextxy(270, 25, sine || cosine ? "Toolkit demonstration" : "Select a curve to plot...");
  settextjustify(0, 2);
  resetviewport();
  refreshall();
}

int run(int quit_after_ms) {
  Demo demo;
  auto wake = [&demo](int action) {
    return [&demo, action] {
      demo.action = action;
      stopidle();
    };
  };
  setapplicationdpiaware();
  initwindow(550, 650, "Toolkit demo", kDefaultPosition, kDefaultPosition, 0, 0);
  setwindowsystemclosecallback([&demo] {
    demo.action = kQuit;
    stopidle();
    return 0;
  });
  const int root = addmenu("", -1);
  const int file = addmenu("File", root);
  const int view = addmenu("View", root);
  addmenuitem("Save Screen", file, [] { writeimagefile(); });
  addmenuitem("Print Screen", file, [] { printimage(); });
  addmenuseparator(file);
  addmenuitem("Quit", file, wake(kQuit));
  addmenuitem("Redraw", view, wake(kRedraw));
  addmenuitem("About", view, [] { dlgmessage(1, "A window of the Brevantix-kd toolkit."); });

  setbkcolor(creatergb(255, 255, 255));
  clearviewport();
  demo.sine_box = createcheckbox(90, 540, 200, 20, "Show sine", wake(kRedraw));
  demo.cosine_box = createcheckbox(300, 540, 200, 20, "Show cosine", wake(kRedraw));
  createbutton(90, 575, 155, 35, "Redraw", wake(kRedraw));
  createbutton(300, 575, 155, 35, "Quit", wake(kQuit));
  checkboxsetchecked(demo.sine_box, true);
  checkboxsetchecked(demo.cosine_box, true);

  std::thread timer;
  if (quit_after_ms > 0) {
    timer = std::thread([&demo, quit_after_ms] {
      std::this_thread::sleep_for(std::chrono::milliseconds(quit_after_ms));
      demo.action = kQuit;
      stopidle();
    });
  }
  while (demo.action != kQuit) {
    startidle(3);
    draw(demo);
    if (demo.action != kQuit) loop();
  }
  if (timer.joinable()) timer.join();
  closewindow(kCurrentWindow);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int quit_after_ms = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc) {
      quit_after_ms = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("usage: toolkit_demo [--quit-after MILLISECONDS]\n");
      return 0;
    } else {
      std::fprintf(stderr, "toolkit_demo: unknown argument '%s' (try --help)\n", argv[i]);
      return 2;
    }
  }
  return run_toolkit_program(argc, argv, [quit_after_ms] { return run(quit_after_ms); });
}
