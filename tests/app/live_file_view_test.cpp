#include "app/live_file_view.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/file_channels.h"
#include "app/window_guard.h"
#include "tests/app/desktop_fixture.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

using testing::eventually;
using testing::textbox_text;

class LiveFileView : public testing::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    window = toolkit::initwindow(300, 200, "view", toolkit::kDefaultPosition,
                                 toolkit::kDefaultPosition, 0, 0);
    ASSERT_GE(window, 0);
    toolkit::useansitext();
    box = toolkit::createmultilinetextbox(5, 5, 290, 190, false);
  }
  void TearDown() override {
    close_all_units();
    join_live_views();
    ToolkitTest::TearDown();
  }
  // Starts a view of `path` on channel `unit` with the test window current.
  void view(const std::string& path, int unit) {
    with_window(window, [&] { assignfiletotextbox(box, path, unit); });
  }
  std::string shown() const { return textbox_text(window, box); }

  test::TempDir dir;
  int window = -1;
  int box = -1;
};

TEST_F(LiveFileView, LoadsTheWholeFileAndEndsOnceItsChannelIsClosed) {
  std::string report;
  for (int i = 0; i < 2000; ++i) report += "line " + std::to_string(i) + " of the report\r\n";
  const auto path = dir.write("run1.out", report);
  ASSERT_TRUE(connect_unit(100, path.string(), UnitPosition::kAppend));
  with_window(window, [&] { assignunit(box, 100); });
  close_unit(100);
  join_live_views();  // within one wait of the closing
  EXPECT_EQ(shown(), report);
}

TEST_F(LiveFileView, AppendsWhatIsAddedWhileTheChannelIsOpen) {
  const auto path = dir.write("grow.out", "first\r\n");
  ASSERT_TRUE(connect_unit(100, path.string(), UnitPosition::kAppend));
  view(path.string(), 100);
  ASSERT_TRUE(eventually([&] { return shown() == "first\r\n"; }));
  {
    std::ofstream out(path, std::ios::app | std::ios::binary);
    out << "second\r\n";
  }
  EXPECT_TRUE(eventually([&] { return shown() == "first\r\nsecond\r\n"; }, 3000));
  {
    std::ofstream out(path, std::ios::app | std::ios::binary);
    out << "last\r\n";
  }
  close_unit(100);  // the growth before the closing is still shown
  join_live_views();
  EXPECT_EQ(shown(), "first\r\nsecond\r\nlast\r\n");
}

TEST_F(LiveFileView, ANulByteEndsTheTextOfItsChunk) {
  std::string bytes = std::string("abc") + '\0' + "def" + std::string(100, 'x');  // 107 bytes
  const auto path = dir.write("nul.out", bytes);
  view(path.string(), 100);  // channel 100 is not open: load, one more look, end
  join_live_views();
  // Bytes 0..62 show as "abc"; bytes 63..106 are the second chunk.
  EXPECT_EQ(shown(), "abc" + std::string(44, 'x'));
}

TEST_F(LiveFileView, NothingIsStartedWithoutAFileAndARelativePathIsInTheWorkingDirectory) {
  with_window(window, [&] { assignunit(box, 107); });  // no file on channel 107
  view("", 100);
  view((dir.path() / "missing.out").string(), 100);
  dir.write("rel.out", "relative\r\n");
  std::filesystem::current_path(dir.path());
  view("rel.out", 100);
  join_live_views();
  EXPECT_EQ(shown(), "relative\r\n");
}

}  // namespace
}  // namespace brx
