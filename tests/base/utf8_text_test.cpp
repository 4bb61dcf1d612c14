#include "base/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

namespace brx {
namespace {

using namespace std::string_literals;

// What a terminal or a JSON reader would choke on is escaped or replaced; well-formed text,
// accented letters and CJK included, passes unchanged. An excerpt says where it was cut.
TEST(Utf8Text, EscapesControlsAndStrayBytesAndKeepsTheRest) {
  const struct {
    std::string in, printable, valid;
  } cases[] = {
      {"caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80",
       "caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80"},
      {"a\x1b[31mb\x07", "a\\x1b[31mb\\x07", "a\x1b[31mb\x07"},
      {"nul\0in\nline\x7f"s, "nul\\x00in\\x0aline\\x7f", "nul\0in\nline\x7f"s},
      {"stray \xFF\xFE", "stray \\xff\\xfe", "stray \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"surrogate \xED\xA0\x80", "surrogate \\xed\\xa0\\x80",
       "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(printable(c.in), c.printable) << c.printable;
    EXPECT_EQ(valid_utf8(c.in), c.valid) << c.printable;
  }
  // An excerpt counts a multi-byte character and an escaped byte as one character each.
  EXPECT_EQ(excerpt("\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5", 2), "\xE6\x97\xA5\xE6\x97\xA5\u2026");
  EXPECT_EQ(excerpt("\x1b\x1b\x1b", 2), "\\x1b\\x1b\u2026");
}

}  // namespace
}  // namespace brx
