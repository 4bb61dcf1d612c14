#pragma once
// The few conditions that end a whole run ("Run Aborted!", "EXECUTION L4275", ...) are thrown as
// Stop and caught only by the two entry points, which show the message, write "STOP <text>" to
// standard error and end with a failure status (the desktop program) or go on with the next file
// (the batch command).

#include <stdexcept>
#include <string>
#include <utility>

namespace brx {

class Stop : public std::runtime_error {
 public:
  // How the user learns of the stop before the stop text itself.
  enum class Notice {
    kNone,      // nothing but the stop text
    kStdout,    // `message` on standard output, with an empty line before and after it
    kErrorBox,  // `message` in an error message box (kind 3, title "Error")
  };

  explicit Stop(std::string text, Notice notice = Notice::kNone, std::string message = {})
      : std::runtime_error(text),
        text_(std::move(text)),
        notice_(notice),
        message_(std::move(message)) {}

  const std::string& text() const { return text_; }
  Notice notice() const { return notice_; }
  const std::string& message() const { return message_; }

 private:
  std::string text_;
  Notice notice_;
  std::string message_;
};

}  // namespace brx
