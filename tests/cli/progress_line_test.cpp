// The progress line: what it says, and that it leaves nothing behind, or draws nothing at all
// when it is not to be shown.

#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

TEST(ProgressLine, SaysDoneTotalElapsedAndWhatIsLeftAtThePaceSoFar) {
  EXPECT_EQ(ProgressLine::text(0, 8, 0.2), "brevantix-kd-batch: 0/8 files, 0:00 elapsed");
  EXPECT_EQ(ProgressLine::text(2, 8, 61),
            "brevantix-kd-batch: 2/8 files, 1:01 elapsed, about 3:03 left");
  EXPECT_EQ(ProgressLine::text(8, 8, 130), "brevantix-kd-batch: 8/8 files, 2:10 elapsed");
}

TEST(ProgressLine, IsErasedAtTheEndAndAbsentWhenNotShown) {
  test::TempDir dir;
  dir.write("a.dat", "4.5\n1, 2\n");
  BatchOptions options;
  options.files = {(dir.path() / "a.dat").string(), (dir.path() / "b.dat").string()};
  for (const bool shown : {true, false}) {
    options.progress = shown;
    std::ostringstream out, err;
    run_batch(options, out, err);
    const std::string e = err.str();
    EXPECT_EQ(e.find("files,") != std::string::npos, shown) << e;
    // What a terminal shows: \r returns to the line's start, later characters overwrite. The
    // message about b.dat has a line of its own, and the last line is blank.
    std::vector<std::string> screen(1);
    std::size_t column = 0;
    for (const char c : e) {
      if (c == '\r') {
        column = 0;
      } else if (c == '\n') {
        screen.emplace_back();
        column = 0;
      } else {
        std::string& line = screen.back();
        if (column >= line.size()) line.resize(column + 1, ' ');
        line[column++] = c;
      }
    }
    EXPECT_EQ(screen.back().find_first_not_of(' '), std::string::npos) << screen.back();
    ASSERT_GE(screen.size(), 2u);
    EXPECT_EQ(screen[screen.size() - 2].find("brevantix-kd-batch:"), std::string::npos);
    EXPECT_NE(e.find("b.dat"), std::string::npos);
  }
}

}  // namespace
}  // namespace brx
