#pragma once
// A data file that cannot be analysed as it stands. The message names the file and, where there
// is one, the line number and the line itself, so the user can go straight to the fault:
//
//   /data/run7.dat:5: expected a time and a product value: "0.40"
//
// Whatever bytes the file's name and line hold, the message is safe to show: control characters
// and bytes that are not UTF-8 appear as \xNN, and only the first kQuotedCharacters characters of
// the line are quoted, with "…" after a line that was cut.

#include <stdexcept>
#include <string>
#include <utility>

#include "base/utf8_text.h"

namespace brx {

class InputError : public std::runtime_error {
 public:
  static constexpr std::size_t kQuotedCharacters = 80;

  // line = 0 when the fault is not on one line (the file cannot be read, ...); an empty text is
  // not quoted. file() and text() give the name and the line as they were, whole.
  InputError(std::string file, int line, std::string text, std::string reason)
      : std::runtime_error(compose(file, line, text, reason)),
        file_(std::move(file)),
        line_(line),
        text_(std::move(text)),
        reason_(std::move(reason)) {}

  const std::string& file() const { return file_; }
  int line() const { return line_; }
  const std::string& text() const { return text_; }
  const std::string& reason() const { return reason_; }

 private:
  static std::string compose(const std::string& file, int line, const std::string& text,
                             const std::string& reason) {
    // Appended piece by piece: GCC 12 at -O3 takes `":" + std::to_string(line)` for an
    // overlapping copy (-Wrestrict), which -Werror turns into a failed build.
    std::string m = printable(file);
    if (line > 0) m.append(":").append(std::to_string(line));
    m.append(": ").append(printable(reason));
    if (line > 0 && !text.empty()) {
      m.append(": \"").append(excerpt(text, kQuotedCharacters)).append("\"");
    }
    return m;
  }

  std::string file_;
  int line_;
  std::string text_;
  std::string reason_;
};

}  // namespace brx
