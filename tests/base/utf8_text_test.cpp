#include "base/utf8_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brx {
namespace {

using namespace std::string_literals;

// What a terminal or a JSON reader would choke on is escaped or replaced; well-formed text,
// accented letters and CJK included, passes unchanged.
TEST(Utf8Text, EscapesControlsAndStrayBytesAndKeepsTheRest) {
  const struct {
    std::string in, printable, valid;
  } cases[] = {
      {"run7.dat", "run7.dat", "run7.dat"},
      {"caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80",
       "caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80"},
      {"a\x1b[31mb\x07", "a\\x1b[31mb\\x07", "a\x1b[31mb\x07"},
      {"nul\0in\nline\x7f"s, "nul\\x00in\\x0aline\\x7f", "nul\0in\nline\x7f"s},
      {"c1 \xC2\x9B csi", "c1 \\xc2\\x9b csi", "c1 \xC2\x9B csi"},  // U+009B, 8-bit CSI
      {"stray \xFF\xFE", "stray \\xff\\xfe", "stray \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"cut \xE6\x97", "cut \\xe6\\x97", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},  // a sequence cut short
      {"overlong \xC0\xAF", "overlong \\xc0\\xaf", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"surrogate \xED\xA0\x80", "surrogate \\xed\\xa0\\x80",
       "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"beyond \xF4\x90\x80\x80", "beyond \\xf4\\x90\\x80\\x80",
       "beyond \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"back\\slash", "back\\slash", "back\\slash"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(printable(c.in), c.printable) << c.printable;
    EXPECT_EQ(valid_utf8(c.in), c.valid) << c.printable;
  }
}

TEST(Utf8Text, AnExcerptCountsCharactersAndSaysWhenItWasCut) {
  EXPECT_EQ(excerpt("short", 80), "short");
  EXPECT_EQ(excerpt(std::string(80, 'x'), 80), std::string(80, 'x'));
  EXPECT_EQ(excerpt(std::string(81, 'x'), 80), std::string(80, 'x') + "\u2026");
  // A multi-byte character and an escaped byte are one character each.
  EXPECT_EQ(excerpt("\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5", 2), "\xE6\x97\xA5\xE6\x97\xA5\u2026");
  EXPECT_EQ(excerpt("\x1b\x1b\x1b", 2), "\\x1b\\x1b\u2026");
  // However long the text, the excerpt stays short.
  EXPECT_LT(excerpt(std::string(1 << 20, '\x1b'), 80).size(), 80u * 4 + 4);
}

TEST(Utf8Text, CharacterStartsSkipWholeSequences) {
  EXPECT_EQ(character_starts(""), std::vector<std::size_t>{});
  EXPECT_EQ(character_starts("ab"), (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(character_starts("a\xE6\x97\xA5"
                             "b"),
            (std::vector<std::size_t>{0, 1, 4}));
  EXPECT_EQ(character_starts("\xFF\xE6\x97"), (std::vector<std::size_t>{0, 1, 2}));
}

}  // namespace
}  // namespace brx
