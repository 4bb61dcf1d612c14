#include "cli/progress_line.h"

#include <cmath>
#include <cstdio>

namespace brx {
namespace {

std::string minutes(double seconds) {
  const long s = std::lround(seconds);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
  return buf;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, std::size_t total, bool shown)
    : err_(err), total_(total), shown_(shown) {}

std::string ProgressLine::text(std::size_t done, std::size_t total, double elapsed) {
  std::string t = "brevantix-kd-batch: " + std::to_string(done) + "/" + std::to_string(total) +
                  " files, " + minutes(elapsed) + " elapsed";
  // The rest at the pace so far; nothing to go on before the first file is done.
  if (done > 0 && done < total) {
    t += ", about " +
         minutes(elapsed / static_cast<double>(done) * static_cast<double>(total - done)) + " left";
  }
  return t;
}

void ProgressLine::update(std::size_t done) {
  if (!shown_) return;
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const std::string t = text(done, total_, elapsed);
  // Blanks over what a longer line before left.
  err_ << '\r' << t << std::string(width_ > t.size() ? width_ - t.size() : 0, ' ') << std::flush;
  width_ = t.size();
}

void ProgressLine::erase() {
  if (!shown_ || width_ == 0) return;
  err_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
  width_ = 0;
}

}  // namespace brx
