// The desktop program's "Run Analysis" on files of 13 (the example), 200 and 1001 points, in
// the real main window (off screen): from the command chosen to the main loop asleep again, by
// which time the run has written its report and the plot with both curves has been drawn. The
// file is opened once, outside the timing, as a user opens it and runs it.
//
//   desktop_run_bench [benchmark options]
//
// Runs headless unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "app/desktop_program.h"
#include "app/main_window.h"
#include "app/window_guard.h"
#include "bench/support/bench_curves.h"
#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

namespace {

namespace fs = std::filesystem;
namespace tt = brx::toolkit::test;

brx::MainWindow* window = nullptr;
std::string answer;  // the path the open dialog is answered with

// Chooses a menu item and waits, polling finely, until the main loop has handled it and sleeps
// again.
void act(int item) {
  const int before = window->idle_passes.load();
  tt::choose_menu_item(window->ids.window, item);
  while (window->idle_passes.load() <= before)
    std::this_thread::sleep_for(std::chrono::microseconds(100));
}

void BM_DesktopRun(benchmark::State& state) {
  const int points = static_cast<int>(state.range(0));
  const fs::path folder =
      fs::temp_directory_path() / ("brx-desktop-bench-" + std::to_string(::getpid()));
  answer = brx::bench::write_curve(folder, points).string();
  act(window->ids.open);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    act(window->ids.run);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::lock_guard lock(brx::window_mutex());
  state.counters["cpu_ms"] = window->results.cpu_seconds * 1e3;  // the last run's fits
  fs::remove_all(folder);
}
BENCHMARK(BM_DesktopRun)
    ->Arg(13)
    ->Arg(200)
    ->Arg(1001)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  tt::set_dialog_answerer([](const tt::DialogRequest& r) -> tt::DialogAnswer {
    if (r.kind == tt::DialogKind::OpenFile) return {true, answer};
    return {r.kind == tt::DialogKind::Message, {}};
  });

  brx::globalsplot gp;
  brx::MainWindow w(gp);
  window = &w;
  int qt_argc = 1;
  return brx::toolkit::run_toolkit_program(qt_argc, argv, [&] {
    std::thread user([&] {
      while (w.idle_passes.load() < 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      benchmark::RunSpecifiedBenchmarks();
      benchmark::Shutdown();
      tt::choose_menu_item(w.ids.window, w.ids.quit);
    });
    const int status = brx::desktop_main(w);
    user.join();
    return status;
  });
}
