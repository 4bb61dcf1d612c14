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
    try {
      handler();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "Unhandled error in a command handler: %s\n", e.what());
      end_process(1);
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

  std::atomic<bool> program_done{false};
  int status = 0;
  std::exception_ptr failure;  // rethrown here once the toolkit has shut down
  std::thread program_thread([&] {
    try {
      status = program();
    } catch (...) {
      failure = std::current_exception();
    }
    program_done = true;
  });

  // Once the program has returned: stop accepting work, wake every idle loop, and keep
  // handling events until no caller waits on the event loop and no callback runs any more.
  // A callback that never ends (one waiting forever on something of its own) is given a
  // limited time, after which the process ends without joining it.
  constexpr auto kShutdownGrace = std::chrono::seconds(5);
  bool shutting_down = false;
  std::chrono::steady_clock::time_point deadline;
  bool abandoned = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!program_done.load()) return;
    if (!shutting_down) {
      shutting_down = true;
      deadline = std::chrono::steady_clock::now() + kShutdownGrace;
      {
        std::lock_guard lock(g_queue_mutex);
        g_closing = true;
      }
      wake_all_idle_waiters();
    }
    int waiting;
    {
      std::lock_guard lock(g_queue_mutex);
      waiting = g_waiting_callers;
    }
    // exit(), not quit(): quit() first asks every window to close, so a window refusing the
    // title-bar close would keep the process alive, and one with the close flag would end it.
    if (waiting == 0 && g_running_callbacks.load() == 0) {
      QCoreApplication::exit(0);
    } else if (std::chrono::steady_clock::now() > deadline) {
      abandoned = true;
      QCoreApplication::exit(0);
    }
  });
  poll.start(10);
  QApplication::exec();
  poll.stop();

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
