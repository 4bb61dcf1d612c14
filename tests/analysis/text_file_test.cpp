#include "analysis/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "analysis/input_error.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

using test::TempDir;

std::vector<std::string> lines_of(const std::string& path,
                                  TextFile::LineEnds ends = TextFile::LineEnds::kLf) {
  auto in = TextFile::open(path, ends);
  std::vector<std::string> lines;
  for (std::string line; in->next(line);) lines.push_back(line);
  return lines;
}

TEST(TextFile, SplitsLinesAtTheirEnds) {
  TempDir dir;
  using V = std::vector<std::string>;
  const auto lf = TextFile::LineEnds::kLf, cr = TextFile::LineEnds::kLfOrCr;
  const struct {
    std::string text;
    TextFile::LineEnds ends;
    V lines;
  } cases[] = {
      {"", lf, {}},
      {"\n", lf, {""}},
      {"a\nb", lf, {"a", "b"}},  // no line end after the last
      {"a\r\nb\r\n\r\n", lf, {"a", "b", ""}},
      {"\xEF\xBB\xBF"
       "a\n\xEF\xBB\xBF"
       "b\n",
       lf,
       {"a",
        "\xEF\xBB\xBF"
        "b"}},  // line 1's mark only
      {"a\rb\n", lf, {"a\rb"}},
      {"a\rb\r\nc\r\rd", cr, {"a", "b", "c", "", "d"}},
  };
  for (const auto& c : cases) EXPECT_EQ(lines_of(dir.write("t.txt", c.text), c.ends), c.lines);
}

// A line of exactly the limit is read (its CR LF not counted); one character more is refused with
// its number and a short quote, before the rest of it is read.
TEST(TextFile, RefusesALineLongerThanTheLimit) {
  TempDir dir;
  const std::string longest(kMaxLineLength, '7');
  const auto ok = dir.write("ok.txt", "1\n" + longest + "\r\n" + longest);
  EXPECT_EQ(lines_of(ok).at(1), longest);
  EXPECT_EQ(lines_of(ok).at(2), longest);
  EXPECT_EQ(lines_of(dir.write("bom.txt", "\xEF\xBB\xBF" + longest)).at(0), longest);

  for (const std::string& text : {"1\n" + longest + "8\n2\n", "1\n" + longest + "8",
                                  "1\n" + longest + "\r8\n", "1\n" + std::string(1 << 22, '9')}) {
    const auto path = dir.write("long.txt", text);
    auto in = TextFile::open(path);
    std::string line;
    ASSERT_TRUE(in->next(line));
    try {
      in->next(line);
      ADD_FAILURE() << "read a line of " << line.size();
    } catch (const InputError& e) {
      EXPECT_EQ(e.line(), 2);
      EXPECT_EQ(e.reason(), "the line is longer than 65536 characters");
      EXPECT_LE(e.text().size(), kMaxLineLength + 2);  // held no more than the limit
      EXPECT_LT(std::string(e.what()).size(), path.string().size() + 150);
    }
  }
}

// A named pipe would block the reader for ever and a device never end: only regular files are
// opened, and a missing file is no error here (the caller says what it means).
TEST(TextFile, OpensOnlyRegularFiles) {
  TempDir dir;
  const auto fifo = dir.path() / "pipe.dat";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    const char* kind;
  } cases[] = {{fifo.string(), "a named pipe"},
               {"/dev/zero", "a character device"},
               {dir.path().string(), "a folder"}};
  for (const auto& c : cases) {
    try {
      TextFile::open(c.path);
      ADD_FAILURE() << c.path;
    } catch (const InputError& e) {
      EXPECT_EQ(e.reason(), std::string("is not a regular file (") + c.kind + ")");
    }
  }
  EXPECT_FALSE(TextFile::open((dir.path() / "none.dat").string()));
  EXPECT_FALSE(TextFile::open((dir.path() / "none" / "x.dat").string()));
}

TEST(TextFile, RewindsToTheFirstLine) {
  TempDir dir;
  auto in = TextFile::open(dir.write("r.txt",
                                     "\xEF\xBB\xBF"
                                     "a\nb\n"));
  std::string line;
  ASSERT_TRUE(in->next(line) && in->next(line));
  in->rewind();
  ASSERT_TRUE(in->next(line));
  EXPECT_EQ(line, "a");
  EXPECT_EQ(in->line_number(), 1);
}

}  // namespace
}  // namespace brx
