#include "app/live_file_view.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "app/file_channels.h"
#include "app/window_guard.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

struct ViewThreads {
  std::mutex mutex;
  std::vector<std::thread> threads;
};

ViewThreads& view_threads() {
  static ViewThreads v;
  return v;
}

struct FileStamp {
  std::int64_t size = -1;
  std::int64_t mtime_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp stamp_of(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return {};
  return {static_cast<std::int64_t>(st.st_size),
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string watched_folder(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path p(path);
  if (p.is_relative()) p = fs::current_path(ec) / p;
  return p.parent_path().string();
}

// Waits for a change in the watched folder. Returns 1 on a change, 0 on a time-out and -1 when
// the notification cannot be read any more.
int wait_for_change(int notify_fd) {
  if (notify_fd < 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kLiveViewPollMs));
    return 0;
  }
  pollfd p{notify_fd, POLLIN, 0};
  const int ready = poll(&p, 1, kLiveViewPollMs);
  if (ready == 0) return 0;
  if (ready < 0) return errno == EINTR ? 0 : -1;
  // Drain the queued events; reading them is what re-arms the notification.
  alignas(inotify_event) std::array<char, 4096> events;
  const ssize_t got = read(notify_fd, events.data(), events.size());
  if (got < 0 && errno != EAGAIN && errno != EINTR) return -1;
  return 1;
}

}  // namespace

void assignunit(int textbox, int unit) {
  const std::string name = unit_file_name(unit);
  if (name.find_first_not_of(' ') == std::string::npos) return;
  assignfiletotextbox(textbox, name, unit);
}

void assignfiletotextbox(int textbox, const std::string& path, int unit) {
  if (path.empty()) return;
  LiveViewStart start{toolkit::getcurrentwindow(), textbox, unit, path};
  ViewThreads& v = view_threads();
  std::lock_guard lock(v.mutex);
  v.threads.emplace_back(MonitorThread, std::move(start));
}

void MonitorThread(LiveViewStart start) {
  const std::string folder = watched_folder(start.path);
  const int fd = open(start.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  std::int64_t position = 0;
  PopulateFrom(fd, start.window, start.textbox, position);
  FileStamp seen = stamp_of(fd);

  // inotify where the kernel offers it; otherwise the same loop polls every 1.5 s.
  int notify_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (notify_fd >= 0 &&
      inotify_add_watch(notify_fd, folder.c_str(),
                        IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE) < 0) {
    close(notify_fd);
    notify_fd = -1;
  }

  bool unit_closed = false;
  bool rearm_failed = false;
  do {
    const int change = wait_for_change(notify_fd);
    const FileStamp now = stamp_of(fd);
    // A changed write time (either way) or a file longer than what was shown means new text.
    if (!(now == seen) || now.size > position) {
      PopulateFrom(fd, start.window, start.textbox, position);
      seen = stamp_of(fd);
    }
    if (change < 0) rearm_failed = true;
    unit_closed = isunitopen(start.unit) == 0;
  } while (!unit_closed && !rearm_failed);

  // The growth between the last look and the closing of the channel.
  if (unit_closed) PopulateFrom(fd, start.window, start.textbox, position);
  if (notify_fd >= 0) close(notify_fd);
  close(fd);
}

std::int64_t PopulateFrom(int fd, int window, int textbox, std::int64_t& position) {
  std::array<char, kLiveViewChunk + 1> buffer;
  off_t offset = static_cast<off_t>(position);
  for (;;) {
    buffer.fill('\0');  // a chunk is inserted as text up to its first NUL
    ssize_t got = pread(fd, buffer.data(), kLiveViewChunk, offset);
    if (got <= 0) break;
    // A CR LF line end split between two chunks would show as two line breaks: the CR waits
    // for the next chunk.
    if (got > 1 && buffer[static_cast<std::size_t>(got - 1)] == '\r') {
      buffer[static_cast<std::size_t>(--got)] = '\0';
    }
    offset += got;
    // Appended at the end without moving the caret or the view: the reader stays where they
    // are (a report opens at its top) and a click into the text cannot misplace the growth.
    const bool shown =
        with_window(window, [&] { toolkit::appendtextboxtext(textbox, buffer.data()); });
    if (!shown) break;  // the window was closed: nothing left to show the text in
  }
  position = static_cast<std::int64_t>(offset);
  struct stat st {};
  return fstat(fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : position;
}

void join_live_views() {
  std::vector<std::thread> threads;
  {
    ViewThreads& v = view_threads();
    std::lock_guard lock(v.mutex);
    threads.swap(v.threads);
  }
  for (std::thread& t : threads) t.join();
}

}  // namespace brx
