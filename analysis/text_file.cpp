#include "analysis/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#include "analysis/input_error.h"

namespace brx {
namespace {

constexpr std::size_t kChunk = 65536;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string system_reason(int error) {
  return std::system_category().message(error);
}

// What a file that is not a regular one is, in a few words.
std::string kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a plain file";
}

[[noreturn]] void not_regular(const std::string& path, mode_t mode) {
  throw InputError(path, 0, "", "is not a regular file (" + kind_of(mode) + ")");
}

[[noreturn]] void unreadable(const std::string& path, int error) {
  throw InputError(path, 0, "", "cannot be read: " + system_reason(error));
}

}  // namespace

std::optional<TextFile> TextFile::open(const std::string& path, LineEnds ends) {
  // Looked at before it is opened, so that opening a device cannot act on it; looked at again
  // once open, in case the name was pointed elsewhere meanwhile. O_NONBLOCK: opening a named pipe
  // must not wait for a writer.
  struct stat s {};
  if (::stat(path.c_str(), &s) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    unreadable(path, errno);
  }
  if (!S_ISREG(s.st_mode)) not_regular(path, s.st_mode);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    unreadable(path, errno);
  }
  TextFile file(path, fd, ends);
  if (::fstat(fd, &s) != 0) unreadable(path, errno);
  if (!S_ISREG(s.st_mode)) not_regular(path, s.st_mode);
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return file;
}

TextFile::TextFile(std::string path, int fd, LineEnds ends)
    : path_(std::move(path)), fd_(fd), ends_(ends), buffer_(kChunk) {}

TextFile::TextFile(TextFile&& other) noexcept
    : path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      ends_(other.ends_),
      buffer_(std::move(other.buffer_)),
      begin_(other.begin_),
      end_(other.end_),
      skip_lf_(other.skip_lf_),
      line_number_(other.line_number_) {}

TextFile& TextFile::operator=(TextFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    path_ = std::move(other.path_);
    fd_ = std::exchange(other.fd_, -1);
    ends_ = other.ends_;
    buffer_ = std::move(other.buffer_);
    begin_ = other.begin_;
    end_ = other.end_;
    skip_lf_ = other.skip_lf_;
    line_number_ = other.line_number_;
  }
  return *this;
}

TextFile::~TextFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool TextFile::fill() {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) unreadable(path_, errno);
    begin_ = 0;
    end_ = static_cast<std::size_t>(got);
    return got > 0;
  }
}

void TextFile::rewind() {
  if (::lseek(fd_, 0, SEEK_SET) < 0) unreadable(path_, errno);
  begin_ = end_ = 0;
  skip_lf_ = false;
  line_number_ = 0;
}

bool TextFile::next(std::string& line) {
  line.clear();
  const bool first = line_number_ == 0;
  // The most of a line that is ever held: the limit, a CR before the LF and, on line 1, a
  // byte-order mark. A line that grows past it is refused there, unread beyond.
  const std::size_t hold = kMaxLineLength + 1 + (first ? 3 : 0);
  const auto ends_line = [this](char c) {
    return c == '\n' || (c == '\r' && ends_ == LineEnds::kLfOrCr);
  };
  bool any = false;  // a byte of this line, or its end, was read
  for (;;) {
    if (begin_ == end_ && !fill()) break;
    if (skip_lf_) {
      skip_lf_ = false;
      if (buffer_[begin_] == '\n') {
        ++begin_;
        continue;
      }
    }
    any = true;
    const char* from = buffer_.data() + begin_;
    const std::size_t available = end_ - begin_;
    std::size_t k = 0;
    while (k < available && !ends_line(from[k])) ++k;
    line.append(from, std::min(k, hold + 1 - line.size()));
    begin_ += k;
    if (line.size() > hold) break;
    if (k < available) {
      skip_lf_ = from[k] == '\r';
      ++begin_;
      break;
    }
  }
  if (!any) return false;
  ++line_number_;
  if (first && line.compare(0, 3, kByteOrderMark) == 0) line.erase(0, 3);
  if (!line.empty() && line.back() == '\r' && line.size() <= kMaxLineLength + 1) line.pop_back();
  if (line.size() > kMaxLineLength) {
    throw InputError(path_, line_number_, line,
                     "the line is longer than " + std::to_string(kMaxLineLength) + " characters");
  }
  return true;
}

}  // namespace brx
