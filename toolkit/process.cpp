// The process around the toolkit: the event loop on the main thread, the program thread, the
// hand-over of work to the event-loop thread, callback threads and orderly shutdown.
//
// Work for the event-loop thread goes through one queue guarded by a std::mutex. A posted Qt
// event only says "the queue has work"; each such event runs one task and posts the next one
// first, so a task that runs a modal dialog (a nested event loop) does not hold up the tasks
// queued behind it. Waiting callers are released through their own condition variable. All
// hand-over is thus visible to ThreadSanitizer, which cannot see Qt's internal locks.

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <exception>

#include "toolkit/test_hooks.h"
#include "toolkit/window_record.h"

namespace brx::toolkit::detail {
namespace {

const QEvent::Type kRunTaskEvent = static_cast<QEvent::Type>(QEvent::User + 417);

// Receives the "queue has work" events on the event-loop thread.
class Dispatcher : public QObject {
 public:
  bool event(QEvent* e) override;
};

struct CallbackThread {
  std::thread thread;
  std::shared_ptr<std::atomic<bool>> done;
};

std::mutex g_queue_mutex;  // guards the four values below
std::deque<std::function<void()>> g_queue;
bool g_event_posted = false;
Dispatcher* g_dispatcher = nullptr;  // non-null while the event loop may run tasks
int g_waiting_callers = 0;           // callers blocked in run_on_gui

std::atomic<bool> g_closing{false};
std::atomic<bool> g_running{false};
std::thread::id g_gui_thread;
std::atomic<int> g_running_callbacks{0};
std::vector<CallbackThread> g_callback_threads;  // event-loop thread only
QFont g_interface_font;                          // written once before the program starts

thread_local int t_callback_window = -1;

// Posts the wake-up event; caller holds g_queue_mutex.
void post_run_event_locked() {
  QCoreApplication::postEvent(g_dispatcher, new QEvent(kRunTaskEvent));
  g_event_posted = true;
}

bool Dispatcher::event(QEvent* e) {
  std::function<void()> task;
  {
    // Taken before the event is read: the poster allocated it under this lock, and Qt's own
    // hand-over is invisible to race detectors.
    std::lock_guard lock(g_queue_mutex);
    if (e->type() != kRunTaskEvent) return QObject::event(e);
    g_event_posted = false;
    if (g_queue.empty()) return true;
    task = std::move(g_queue.front());
    g_queue.pop_front();
    if (!g_queue.empty()) post_run_event_locked();
  }
  task();
  return true;
}

// A command handler let an exception out: say so and end the process with status 1.
[[noreturn]] void fail_in_callback(const char* what) {
  std::fprintf(stderr, "Unhandled error in a command handler: %s\n", what);
  end_process(1);
}

// Joins callback threads that have finished; they set `done` as their last act, so the
// joins return at once and the event loop does not wait on running threads.
void prune_finished_callbacks() {
  std::erase_if(g_callback_threads, [](CallbackThread& t) {
    if (!t.done->load()) return false;
    t.thread.join();
    return true;
  });
}

}  // namespace

bool on_gui_thread() {
  return g_running.load() && std::this_thread::get_id() == g_gui_thread;
}

bool toolkit_closing() {
  return g_closing.load();
}

bool run_on_gui(const std::function<void()>& work) {
  if (on_gui_thread()) {
    work();
    return true;
  }
  std::mutex done_mutex;
  std::condition_variable done_cv;
  bool done = false;
  {
    std::lock_guard lock(g_queue_mutex);
    if (g_dispatcher == nullptr || g_closing.load()) return false;
    ++g_waiting_callers;
    g_queue.push_back([&] {
      work();
      std::lock_guard done_lock(done_mutex);
      done = true;
      done_cv.notify_one();
    });
    if (!g_event_posted) post_run_event_locked();
  }
  {
    std::unique_lock done_lock(done_mutex);
    done_cv.wait(done_lock, [&] { return done; });
  }
  std::lock_guard lock(g_queue_mutex);
  --g_waiting_callers;
  return true;
}

void post_to_gui(std::function<void()> work) {
  std::lock_guard lock(g_queue_mutex);
  if (g_dispatcher == nullptr || g_closing.load()) return;
  g_queue.push_back(std::move(work));
  if (!g_event_posted) post_run_event_locked();
}

void start_callback(const WindowPtr& window, int command, Callback handler) {
  if (!handler || g_closing.load()) return;
  // A window runs many short callbacks; keep its list of threads short.
  constexpr std::size_t kPruneAbove = 20;
  if (g_callback_threads.size() > kPruneAbove) prune_finished_callbacks();
  window->last_command = command;
  auto done = std::make_shared<std::atomic<bool>>(false);
  const int window_id = window->id.load();
  ++g_running_callbacks;
  std::thread thread([handler = std::move(handler), window, command, window_id, done] {
    t_callback_window = window_id;
    // Nothing may leave the thread: an exception there would end the process without a word.
    try {
      handler();
    } catch (const std::exception& e) {
      fail_in_callback(e.what());
    } catch (...) {
      fail_in_callback("an exception of unknown type");
    }
    post_to_gui([window, command] {
      if (window->last_command == command) window->last_command = -1;
    });
    --g_running_callbacks;
    done->store(true);
  });
  g_callback_threads.push_back({std::move(thread), std::move(done)});
}

int callback_window_of_this_thread() {
  return t_callback_window;
}

void end_process(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

QFont interface_font() {
  return g_interface_font;
}

}  // namespace brx::toolkit::detail

namespace brx::toolkit {

using namespace detail;

int run_toolkit_program(int argc, char** argv, std::function<int()> program) {
  QApplication app(argc, argv);
  g_gui_thread = std::this_thread::get_id();
  g_interface_font = QApplication::font();
  apply_identity();
  Dispatcher dispatcher;
  {
    std::lock_guard lock(g_queue_mutex);
    g_dispatcher = &dispatcher;
    g_closing = false;
  }
  g_running = true;

  // Once the program has returned: stop accepting work, wake every idle loop, and keep
  // handling events until no caller waits on the event loop and no callback runs any more.
  // A callback that never ends (one waiting forever on something of its own) is given a
  // limited time, after which the process ends without joining it. Until the program returns
  // nothing polls: the program thread's last act is to hand the shutdown to the event loop.
  constexpr auto kShutdownGrace = std::chrono::seconds(5);
  constexpr int kShutdownPollMs = 10;
  std::chrono::steady_clock::time_point deadline;
  bool abandoned = false;
  QTimer shutdown_poll;  // runs only while the shutdown waits for callers and callbacks
  // exit(), not quit(): quit() first asks every window to close, so a window refusing the
  // title-bar close would keep the process alive, and one with the close flag would end it.
  const auto finished = [&] {
    int waiting;
    {
      std::lock_guard lock(g_queue_mutex);
      waiting = g_waiting_callers;
    }
    if (waiting == 0 && g_running_callbacks.load() == 0) {
      QCoreApplication::exit(0);
      return true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      abandoned = true;
      QCoreApplication::exit(0);
      return true;
    }
    return false;
  };
  QObject::connect(&shutdown_poll, &QTimer::timeout, [&] {
    if (finished()) shutdown_poll.stop();
  });
  const auto begin_shutdown = [&] {
    deadline = std::chrono::steady_clock::now() + kShutdownGrace;
    {
      std::lock_guard lock(g_queue_mutex);
      g_closing = true;
    }
    wake_all_idle_waiters();
    if (!finished()) shutdown_poll.start(kShutdownPollMs);
  };

  int status = 0;
  std::exception_ptr failure;  // rethrown here once the toolkit has shut down
  std::thread program_thread([&] {
    try {
      status = program();
    } catch (...) {
      failure = std::current_exception();
    }
    post_to_gui(begin_shutdown);
  });

  QApplication::exec();
  shutdown_poll.stop();

  if (abandoned) {
    std::fprintf(stderr, "A command handler did not end; closing anyway.\n");
    end_process(status);
  }
  program_thread.join();
  forget_all_windows();
  release_printer();
  for (auto& t : g_callback_threads) t.thread.join();
  g_callback_threads.clear();
  {
    std::lock_guard lock(g_queue_mutex);
    g_dispatcher = nullptr;
    g_queue.clear();
    g_event_posted = false;
  }
  g_running = false;
  if (failure) std::rethrow_exception(failure);
  return status;
}

void useoffscreenwindows() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
}

namespace test {
int running_callbacks() {
  return g_running_callbacks.load();
}
}  // namespace test

}  // namespace brx::toolkit

// Under ThreadSanitizer: Qt and GLib are not instrumented, and they lock with futexes of their
// own, so their thread pool and their hand-over of events between threads look like races.
// Accesses their code makes through the C library are ignored; everything compiled here stays
// checked. Under a real X server the same holds for Qt's X11 plugin and libxcb: Qt reads X events
// on a thread of its own and hands them to the event loop through a queue whose locking is inside
// those two libraries. At the end libX11 closes the display while holding the display's own lock
// and destroys that lock with it; no thread uses the display any more by then. Defined here so
// that every program built on the toolkit (the desktop and batch programs, the test programs)
// has them.
#if defined(__SANITIZE_THREAD__)
#define BRX_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define BRX_THREAD_SANITIZER 1
#endif
#endif
#ifdef BRX_THREAD_SANITIZER
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Core.so.6\n"
         "called_from_lib:libQt6Gui.so.6\n"
         "called_from_lib:libQt6Widgets.so.6\n"
         "called_from_lib:libglib-2.0.so.0\n"
         "called_from_lib:libQt6XcbQpa.so.6\n"
         "called_from_lib:libxcb.so.1\n"
         "mutex:libX11.so.6\n";
}
#endif
