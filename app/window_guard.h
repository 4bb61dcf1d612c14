#pragma once
// The toolkit addresses "the current window", one value for the whole process, and the shell
// works with two windows from several threads (main loop, callbacks, the results viewer's loop,
// the live file view). Every sequence of toolkit calls that depends on which window is current
// runs under one lock, with its window made current first, so a check-box redraw never draws into
// the results viewer and the live view never inserts into a control of the main window. Calls that
// wait (the idle loop, dialogs, saving and printing the screen) must not hold the lock; they name
// their window instead of relying on the current one, which another thread may change meanwhile.

#include <mutex>

#include "toolkit/toolkit.h"

namespace brx {

// The lock of the shell's toolkit work. Recursive: a redraw inside a locked callback is fine.
std::recursive_mutex& window_mutex();

// Runs `work` under window_mutex() with `window` current; returns false (and runs nothing) when
// the window is no longer open. The window stays current afterwards: outside the lock only the
// information screens take the current window, as the owner of their boxes. Never call a modal
// dialog or a waiting loop inside `work`.
template <typename Work>
bool with_window(int window, Work&& work) {
  std::lock_guard lock(window_mutex());
  if (!toolkit::isvalidwindow(window)) return false;
  if (toolkit::getcurrentwindow() != window) toolkit::setcurrentwindow(window);
  work();
  return true;
}

}  // namespace brx
