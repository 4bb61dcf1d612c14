// The keyboard on menus (access keys, F10, shortcuts), and text boxes that show a report:
// read-only, in a fixed-pitch face, filled at the end while the view stays put.

#include <atomic>
#include <string>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

// A window with a "&File" menu (Open, Run, a separator) and a "&Labels" menu (Plot Title);
// counts the commands chosen.
class Keyboard : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    window = open_window(300, 200, "keys");
    const int bar = addmenu("", -1);
    file = addmenu("&File", bar);
    const int labels = addmenu("&Labels", bar);
    open = addmenuitem("&Open Data File", file, [this] { ++opened; });
    run = addmenuitem("&Run Analysis", file, [this] { ++ran; });
    addmenuseparator(file);
    addmenuitem("Plot &Title", labels, [this] { ++titled; });
  }
  void TearDown() override {
    while (test::close_open_menu()) {
    }
    ToolkitTest::TearDown();
  }
  // Presses `keys` and waits for the commands they start to end.
  void press(const char* keys) {
    ASSERT_TRUE(test::press_keys(window, keys)) << keys;
    ASSERT_TRUE(eventually([] { return test::running_callbacks() == 0; }));
  }

  int window = -1, file = -1, open = -1, run = -1;
  std::atomic<int> opened{0}, ran{0}, titled{0};
};

TEST_F(Keyboard, ShortcutsWorkOnlyWhileTheItemIsUsable) {
  EXPECT_EQ(setmenuitemshortcut(open, "Ctrl+O"), 1);
  EXPECT_EQ(setmenuitemshortcut(run, "Ctrl+R"), 1);
  EXPECT_EQ(test::menu_item_shortcut(window, open), "Ctrl+O");
  // Keys that cannot be read, unknown items and separators are refused and change nothing.
  for (auto [item, keys] : {std::pair{open, "Ctrl+Banana"}, {99, "Ctrl+Q"}, {2, "Ctrl+Q"}}) {
    EXPECT_EQ(setmenuitemshortcut(item, keys), 0) << item << " " << keys;
  }
  EXPECT_EQ(test::menu_item_shortcut(window, open), "Ctrl+O");
  press("Ctrl+O");
  enablemenuitem(run, false);
  press("Ctrl+R");
  EXPECT_EQ(ran.load(), 0) << "a greyed item's shortcut ran it";
  enablemenuitem(run, true);
  press("Ctrl+R");
  EXPECT_EQ(setmenuitemshortcut(open, ""), 1);  // taken away again
  press("Ctrl+O");
  EXPECT_EQ(opened.load(), 1);
  EXPECT_EQ(ran.load(), 1);
}

TEST_F(Keyboard, AccessKeysAndF10DropTheMenusDownAndALetterChoosesAnItem) {
  press("Alt+L");
  ASSERT_TRUE(eventually([] { return test::open_menu_text() == "&Labels"; }));
  press("T");
  EXPECT_EQ(titled.load(), 1);
  EXPECT_EQ(test::open_menu_text(), "");
  press("F10");
  ASSERT_TRUE(eventually([] { return test::open_menu_text() == "&File"; }));
  press("R");
  EXPECT_EQ(ran.load(), 1);
  enablemenu(file, false);  // F10 passes over a greyed menu
  press("F10");
  EXPECT_TRUE(eventually([] { return test::open_menu_text() == "&Labels"; }));
}

using ReportBox = ToolkitTest;

TEST_F(ReportBox, TextAppendedAtTheEndLeavesTheViewWhereItWas) {
  open_window(300, 200);
  const int multi = createmultilinetextbox(5, 5, 290, 190, false);
  settextboxreadonly(multi, true);
  settextboxfont(multi, 6, 13);
  std::string expected;
  for (int i = 0; i < 500; ++i) {
    const std::string line = "line " + std::to_string(i) + std::string(80, '.') + "\r\n";
    appendtextboxtext(multi, line.c_str());
    expected += line;
  }
  EXPECT_TRUE(gettextboxcontents(multi) == expected);
  const test::TextBoxLook look = test::textbox_look(getcurrentwindow(), multi);
  EXPECT_EQ(look.top_line, 0);
  EXPECT_EQ(look.left, 0);
  EXPECT_TRUE(look.read_only && look.fixed_pitch);
  EXPECT_EQ(look.font_family, "DejaVu Sans Mono");
}

}  // namespace
}  // namespace brx::toolkit::testing
