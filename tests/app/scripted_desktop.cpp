// brevantix-kd-scripted STEP...: the desktop program's entry with a scripted user, for tests
// that need the exit status and the output streams of the real process. Steps, one per
// argument: "open:PATH" (Open Data File, the dialog answered with PATH), "run" (Run Analysis),
// "quit" (Quit). Every message box is answered with OK and echoed as "BOX <title>: <text>" on
// standard output. Runs headless unless QT_QPA_PLATFORM says otherwise.

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

// Chooses the steps' menu items one after the other, each once the main loop sleeps again.
void play(brx::MainWindow& w, const std::vector<std::string>& steps,
          const std::atomic<bool>& ended) {
  int passes = 0;
  for (const std::string& step : steps) {
    while (w.idle_passes.load() <= passes) {
      if (ended.load()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    passes = w.idle_passes.load();
    tt::choose_menu_item(w.ids.window, step.starts_with("open:") ? w.ids.open
                                       : step == "run"           ? w.ids.run
                                                                 : w.ids.quit);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> steps(argv + 1, argv + argc);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  std::mutex mutex;
  std::deque<std::string> files;  // the answers of the open dialogs, in turn
  for (const std::string& step : steps) {
    if (step.starts_with("open:")) files.push_back(step.substr(5));
  }
  tt::set_dialog_answerer([&](const tt::DialogRequest& r) -> tt::DialogAnswer {
    std::lock_guard lock(mutex);
    if (r.kind == tt::DialogKind::Message) {
      std::cout << "BOX " << r.title << ": " << r.text << std::endl;
      return {true, {}};
    }
    if (r.kind != tt::DialogKind::OpenFile || files.empty()) return {false, {}};
    tt::DialogAnswer a{true, files.front()};
    files.pop_front();
    return a;
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
