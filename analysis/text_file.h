#pragma once
// A data file or table read one line at a time, within bounds that no file can break: only a
// regular file is read (a named pipe would block for ever, a device such as /dev/zero never end),
// a line is refused as soon as it grows past kMaxLineLength characters, and nothing but the line
// being read is held. Every failure names the file and, for a line, its number.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace brx {

// The longest line a data file or table may hold, its line end not counted.
inline constexpr std::size_t kMaxLineLength = 65536;

class TextFile {
 public:
  // How lines end: LF or CR LF, or also a lone CR (as old spreadsheets write tables).
  enum class LineEnds { kLf, kLfOrCr };

  // Opens `path` for reading. nullopt when there is no such file; throws InputError when it is not
  // a regular file ("is not a regular file (a named pipe)") or cannot be opened ("cannot be read:
  // Permission denied", the system's words).
  static std::optional<TextFile> open(const std::string& path, LineEnds ends = LineEnds::kLf);

  TextFile(TextFile&& other) noexcept;
  TextFile& operator=(TextFile&& other) noexcept;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  // The next line, without its line end; a UTF-8 byte-order mark at the start of the file is
  // dropped. False at the end of the file. Throws InputError when the line is longer than
  // kMaxLineLength ("the line is longer than 65536 characters", quoting its start) or the file
  // cannot be read.
  bool next(std::string& line);

  // The number of the line `next` returned last (1 for the first line).
  int line_number() const { return line_number_; }

  // Starts again from the first line.
  void rewind();

  const std::string& path() const { return path_; }

 private:
  TextFile(std::string path, int fd, LineEnds ends);
  bool fill();  // reads more bytes into the buffer; false at the end of the file

  std::string path_;
  int fd_ = -1;
  LineEnds ends_ = LineEnds::kLf;
  std::vector<char> buffer_;
  std::size_t begin_ = 0, end_ = 0;  // the unread bytes of the buffer
  bool skip_lf_ = false;  // a lone CR ended the last line: an LF right after it belongs to it
  int line_number_ = 0;
};

}  // namespace brx
