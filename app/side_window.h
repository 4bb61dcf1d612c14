#pragma once
// Windows beside the main window that show one finding of the last run and wait for nothing: the
// cross-check window and the Selwyn plot window. Each has "File > Close" (Ctrl+W); the title
// bar's close button is refused, as in the program's other windows, so that no window closes
// while another thread draws into it.
//
//   open_side_window   a new window with its menu, current, under window_mutex()
//   close_side_window  close one, the main window current again
//   show_side_text     a read-only, fixed-pitch text box in the current side window

#include <atomic>
#include <string>

namespace brx {

struct MainWindow;

// Creates a window of width x height with the title and a "File" menu whose "Close" closes it,
// closing first the window `slot` names (the same kind of window from an earlier choice) and
// storing the new one there. Call under window_mutex(); the new window is then current. Returns
// the window, or -1 when it cannot be created.
int open_side_window(MainWindow& w, std::atomic<int>& slot, int width, int height,
                     const std::string& title);

// Closes `window` (when open) and makes the main window current; `slot` forgets it when it names
// it.
void close_side_window(MainWindow& w, std::atomic<int>& slot, int window);

// Fills the band of the current window from `top`, `width` x `height`, less a margin, with a
// read-only text box in the fixed-pitch font showing `text` (single-byte) from its start.
void show_side_text(int top, int width, int height, const std::string& text);

}  // namespace brx
