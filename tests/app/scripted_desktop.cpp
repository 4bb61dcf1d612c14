// brevantix-kd-scripted STEP...: the desktop program's entry with a scripted user, for tests
// that need the exit status and the output streams of the real process. Steps, one per
// argument: "open:PATH" (Open Data File, the dialog answered with PATH), "run" (Run Analysis),
// "shot:PATH" (the window as shown on screen, menu bar and controls included, saved as PNG),
// "curve:NAME" (the curve chosen when a table is opened), "crosscheck" and "selwyn" (the menu
// items, waited for until their windows show), "shot-crosscheck:PATH" and "shot-selwyn:PATH"
// (those windows as shown), "tick-crosscheck" (the cross-check curve's box), "quit" (Quit). Every
// message box is answered with OK and echoed as "BOX <title>: <text>" on standard output. Runs
// headless unless QT_QPA_PLATFORM says otherwise.

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/desktop_program.h"
#include "app/main_window.h"
#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

namespace {

namespace tt = brx::toolkit::test;

// Waits until `done` holds or the program has ended; false when it ended first.
template <typename Done>
bool wait_for(const std::atomic<bool>& ended, Done done) {
  while (!done()) {
    if (ended.load()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

void play(brx::MainWindow& w, const std::vector<std::string>& steps,
          const std::atomic<bool>& ended) {
  if (!wait_for(ended, [&] { return w.idle_passes.load() >= 1; })) return;
  const auto shot = [](int window, const std::string& path) {
    if (!tt::save_window_snapshot(window, path)) std::cerr << "cannot save " << path << "\n";
  };
  for (const std::string& step : steps) {
    if (step.starts_with("shot:")) {
      shot(w.ids.window, step.substr(5));
      continue;
    }
    if (step.starts_with("shot-crosscheck:")) {
      shot(w.crosscheck_window.load(), step.substr(16));
      continue;
    }
    if (step.starts_with("shot-selwyn:")) {
      shot(w.selwyn_window.load(), step.substr(12));
      continue;
    }
    if (step == "crosscheck" || step == "selwyn") {
      std::atomic<int>& slot = step == "selwyn" ? w.selwyn_window : w.crosscheck_window;
      tt::choose_menu_item(w.ids.window, step == "selwyn" ? w.ids.selwyn : w.ids.crosscheck);
      if (!wait_for(ended, [&] { return slot.load() >= 0 && tt::running_callbacks() == 0; })) {
        return;
      }
      continue;
    }
    if (step == "tick-crosscheck") {
      tt::click_control(w.ids.window, w.ids.crosscheck_box);
      if (!wait_for(ended, [] { return tt::running_callbacks() == 0; })) return;
      continue;
    }
    const int item = step.starts_with("open:") ? w.ids.open
                     : step == "run"           ? w.ids.run
                     : step == "quit"          ? w.ids.quit
                                               : -1;
    if (item < 0) continue;
    const int before = w.idle_passes.load();
    tt::choose_menu_item(w.ids.window, item);
    if (step == "quit") return;
    if (!wait_for(ended, [&] { return w.idle_passes.load() > before; })) return;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> steps(argv + 1, argv + argc);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  std::mutex mutex;
  std::deque<std::string> files, curves;
  for (const std::string& step : steps) {
    if (step.starts_with("open:")) files.push_back(step.substr(5));
    if (step.starts_with("curve:")) curves.push_back(step.substr(6));
  }
  tt::set_dialog_answerer([&](const tt::DialogRequest& r) -> tt::DialogAnswer {
    std::lock_guard lock(mutex);
    if (r.kind == tt::DialogKind::Message) {
      std::cout << "BOX " << r.title << ": " << r.text << std::endl;
      return {true, {}};
    }
    if (r.kind == tt::DialogKind::ChooseItem && !curves.empty()) {
      tt::DialogAnswer a{true, curves.front()};
      curves.pop_front();
      return a;
    }
    if (r.kind == tt::DialogKind::OpenFile && !files.empty()) {
      tt::DialogAnswer a{true, files.front()};
      files.pop_front();
      return a;
    }
    return {false, {}};
  });

  brx::globalsplot gp;
  brx::MainWindow w(gp);
  int qt_argc = 1;
  return brx::toolkit::run_toolkit_program(qt_argc, argv, [&] {
    std::atomic<bool> ended{false};
    std::thread user([&] { play(w, steps, ended); });
    const int status = brx::desktop_main(w);
    ended = true;
    user.join();
    return status;
  });
}
