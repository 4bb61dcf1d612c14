#pragma once
// The live file view: a thread copies a file into a multi-line text box and keeps appending what
// is added to the file for as long as the file's channel stays open; once the channel is closed
// it appends the last growth and ends. The results viewer loads the report this way.
//
//   assignunit           start a view of the file connected to a channel
//   assignfiletotextbox  start a view of a named file
//   MonitorThread        the view thread: load, watch, load the growth, end
//   PopulateFrom         append a file's bytes from a position to a text box
//   join_live_views      wait until every started view has ended

#include <cstdint>
#include <string>

namespace brx {

// How long the view waits for a change before it looks at the file and the channel anyway.
inline constexpr int kLiveViewPollMs = 1500;
// Bytes appended per insertion into the text box.
inline constexpr int kLiveViewChunk = 63;

// What a view thread is started with; it owns the record.
struct LiveViewStart {
  int window = -1;   // the window of the text box (current when the view was started)
  int textbox = -1;  // the text box
  int unit = 0;      // the file channel whose closing ends the view
  std::string path;  // the file, absolute or relative to the working directory
};

// Starts a view of the file connected to `unit` into `textbox` of the current window; does
// nothing when no file is connected.
void assignunit(int textbox, int unit);

// Starts a view of `path` into `textbox` of the current window and returns at once; an empty
// path starts nothing.
void assignfiletotextbox(int textbox, const std::string& path, int unit);

// The view thread's body.
void MonitorThread(LiveViewStart start);

// Appends everything of the open file `fd` from `position` to the end into the text box, 63
// bytes per insertion (a NUL byte ends its chunk's text; a CR that ends a chunk goes with the
// next one, so that a CR LF line end is never split), at the end of the text whatever the caret
// and the view show; `position` becomes the offset after the last byte read. Returns the file's
// size.
std::int64_t PopulateFrom(int fd, int window, int textbox, std::int64_t& position);

// Waits for every view thread started so far (each ends within one wait of its channel closing).
void join_live_views();

}  // namespace brx
