#pragma once
// The batch's progress on a terminal: one line on standard error, redrawn in place with \r,
// "brevantix-kd-batch: 12/96 files, 0:41 elapsed, about 4:47 left", and erased at the end. Other
// messages are written between an erase and a redraw, so they never share its line.

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace brx {

class ProgressLine {
 public:
  // Draws nothing at all unless `shown` (the caller's decision: standard error is a terminal and
  // there is more than one file).
  ProgressLine(std::ostream& err, std::size_t total, bool shown);
  ~ProgressLine() { erase(); }

  // `done` files of the total are finished: the line redrawn.
  void update(std::size_t done);
  // The line removed, for a message or at the end.
  void erase();

  // The line's text after `done` of `total` files in `elapsed` seconds.
  static std::string text(std::size_t done, std::size_t total, double elapsed);

 private:
  std::ostream& err_;
  std::size_t total_;
  bool shown_;
  std::size_t width_ = 0;  // characters on the terminal's line now
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace brx
