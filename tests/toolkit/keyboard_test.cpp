// The keyboard on menus (access keys, F10, shortcuts), the busy cursor, and text boxes that show
// a report: read-only, in a fixed-pitch face, filled at the end while the view stays put.

#include <atomic>
#include <string>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

// A window with a "&File" menu (Open with Ctrl+O, Run with Ctrl+R) and a "&Labels" menu;
// counts the commands chosen.
class Keyboard : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    window = open_window(300, 200, "keys");
    const int bar = addmenu("", -1);
    file = addmenu("&File", bar);
    labels = addmenu("&Labels", bar);
    open = addmenuitem("&Open Data File", file, [this] { ++opened; });
    run = addmenuitem("&Run Analysis", file, [this] { ++ran; });
    addmenuseparator(file);
    title = addmenuitem("Plot &Title", labels, [this] { ++titled; });
  }
  void TearDown() override {
    while (test::close_open_menu()) {
    }
    ToolkitTest::TearDown();
  }
  // Waits for the commands started so far to end.
  static void settle() {
    ASSERT_TRUE(eventually([] { return test::running_callbacks() == 0; }));
  }

  int window = -1, file = -1, labels = -1, open = -1, run = -1, title = -1;
  std::atomic<int> opened{0}, ran{0}, titled{0};
};

TEST_F(Keyboard, ShortcutsAreShownBesideTheWordsAndWorkOnlyWhileTheItemIsUsable) {
  EXPECT_EQ(setmenuitemshortcut(open, "Ctrl+O"), 1);
  EXPECT_EQ(setmenuitemshortcut(run, "Ctrl+R"), 1);
  EXPECT_EQ(test::menu_item_shortcut(window, open), "Ctrl+O");
  EXPECT_EQ(test::menu_item_text(window, open), "&Open Data File");
  EXPECT_EQ(test::menu_text(window, file), "&File");
  // Keys that cannot be read, unknown items and separators are refused and change nothing.
  EXPECT_EQ(setmenuitemshortcut(open, "Ctrl+Banana"), 0);
  EXPECT_EQ(setmenuitemshortcut(99, "Ctrl+Q"), 0);
  EXPECT_EQ(setmenuitemshortcut(2, "Ctrl+Q"), 0);  // the separator
  EXPECT_EQ(test::menu_item_shortcut(window, open), "Ctrl+O");

  ASSERT_TRUE(test::press_keys(window, "Ctrl+O"));
  settle();
  EXPECT_EQ(opened.load(), 1);
  enablemenuitem(run, false);
  ASSERT_TRUE(test::press_keys(window, "Ctrl+R"));
  settle();
  EXPECT_EQ(ran.load(), 0) << "a greyed item's shortcut ran it";
  enablemenuitem(run, true);
  ASSERT_TRUE(test::press_keys(window, "Ctrl+R"));
  settle();
  EXPECT_EQ(ran.load(), 1);
  EXPECT_EQ(setmenuitemshortcut(open, ""), 1);  // taken away again
  ASSERT_TRUE(test::press_keys(window, "Ctrl+O"));
  settle();
  EXPECT_EQ(opened.load(), 1);
}

TEST_F(Keyboard, AccessKeysAndF10DropTheMenusDownAndALetterChoosesAnItem) {
  ASSERT_TRUE(test::press_keys(window, "Alt+L"));
  ASSERT_TRUE(eventually([] { return test::open_menu_text() == "&Labels"; }));
  ASSERT_TRUE(test::press_keys(window, "T"));
  settle();
  EXPECT_EQ(titled.load(), 1);
  EXPECT_EQ(test::open_menu_text(), "");

  ASSERT_TRUE(test::press_keys(window, "F10"));
  ASSERT_TRUE(eventually([] { return test::open_menu_text() == "&File"; }));
  ASSERT_TRUE(test::press_keys(window, "R"));
  settle();
  EXPECT_EQ(ran.load(), 1);

  // F10 passes over a greyed menu to the first usable one.
  enablemenu(file, false);
  ASSERT_TRUE(test::press_keys(window, "F10"));
  EXPECT_TRUE(eventually([] { return test::open_menu_text() == "&Labels"; }));
}

TEST_F(Keyboard, TheBusyCursorShowsOnlyOverItsOwnWindowAndOnlyWhileAsked) {
  const int other = open_window(100, 100, "other");
  setcurrentwindow(window);
  EXPECT_FALSE(test::busy_cursor_shown(window));
  setbusycursor(true);
  EXPECT_TRUE(test::busy_cursor_shown(window));
  EXPECT_FALSE(test::busy_cursor_shown(other));
  setbusycursor(false);
  EXPECT_FALSE(test::busy_cursor_shown(window));
}

using ReportBox = ToolkitTest;

TEST_F(ReportBox, TextAppendedAtTheEndLeavesTheViewAndTheCaretWhereTheyWere) {
  open_window(300, 200);
  const int multi = createmultilinetextbox(5, 5, 290, 190, false);
  const int single = createtextbox(5, 5, 100, 20);
  settextboxreadonly(multi, true);
  settextboxfont(multi, 6, 13);
  std::string expected;
  for (int i = 0; i < 500; ++i) {
    const std::string line = "line " + std::to_string(i) + std::string(80, '.') + "\r\n";
    appendtextboxtext(multi, line.c_str());
    expected += line;
  }
  EXPECT_TRUE(gettextboxcontents(multi) == expected);
  test::TextBoxLook look = test::textbox_look(getcurrentwindow(), multi);
  EXPECT_EQ(look.top_line, 0);
  EXPECT_EQ(look.left, 0);
  EXPECT_TRUE(look.read_only);
  EXPECT_TRUE(look.fixed_pitch);
  EXPECT_EQ(look.font_family, "DejaVu Sans Mono");

  // The caret stays where the user left it, here in the middle: new text still goes to the end.
  settextboxcursorposition(multi, 7);
  appendtextboxtext(multi, "end");
  inserttextboxtext(multi, "|");
  EXPECT_EQ(gettextboxcontents(multi).substr(0, 10), "line 0.|..");
  EXPECT_EQ(gettextboxcontents(multi).substr(expected.size() + 1), "end");

  settextboxcontents(single, "abc");
  settextboxcursorposition(single, 1);
  appendtextboxtext(single, "def");
  inserttextboxtext(single, "|");
  EXPECT_EQ(gettextboxcontents(single), "a|bcdef");
  EXPECT_FALSE(test::textbox_look(getcurrentwindow(), single).read_only);
}

}  // namespace
}  // namespace brx::toolkit::testing
