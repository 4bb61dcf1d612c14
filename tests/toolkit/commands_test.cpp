// Commands from menus, shortcuts, access keys and controls: greyed ones do nothing, setting a
// check mark is no click, and every command runs on a thread of its own that finishes.

#include <atomic>
#include <string>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

// A window with a "&File" menu holding "&Run Analysis"; counts the runs.
class Commands : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    window = open_window(300, 200, "keys");
    const int bar = addmenu("", -1);
    const int file = addmenu("&File", bar);
    run = addmenuitem("&Run Analysis", file, [this] { ++ran; });
  }
  // Presses `keys` and waits for the commands they start to end.
  void press(const char* keys) {
    ASSERT_TRUE(test::press_keys(window, keys)) << keys;
    ASSERT_TRUE(eventually([] { return test::running_callbacks() == 0; }));
  }

  int window = -1, run = -1;
  std::atomic<int> ran{0};
};

TEST_F(Commands, GreyedItemsShortcutsAndButtonsDoNothingAndEveryCommandsThreadFinishes) {
  EXPECT_EQ(setmenuitemshortcut(run, "Ctrl+R"), 1);
  std::atomic<int> clicks{0}, seen{-1};
  int box = -1;
  box = createcheckbox(10, 10, 150, 20, "Model 1", [&] {
    seen = checkboxischecked(box);
    ++clicks;
  });
  const int button = createbutton(10, 40, 100, 30, "Run Curve-fit", [&] { ++clicks; });
  checkboxsetchecked(box, true);
  enablemenuitem(run, false);
  enablebutton(button, false);
  press("Ctrl+R");
  test::choose_menu_item(window, run);
  test::click_control(window, button);
  EXPECT_TRUE(eventually([] { return test::running_callbacks() == 0; }));
  EXPECT_EQ(ran.load() + clicks.load(), 0);

  // Sixty commands also outgrow the window's list of finished threads, which is then pruned.
  enablemenuitem(run, true);
  enablebutton(button, true);
  for (int i = 0; i < 60; ++i) test::choose_menu_item(window, run);
  press("Ctrl+R");
  test::click_control(window, button);
  test::click_control(window, box);
  EXPECT_TRUE(eventually([] { return test::running_callbacks() == 0; }));
  EXPECT_EQ(ran.load(), 61);
  EXPECT_EQ(clicks.load(), 2);
  EXPECT_EQ(seen.load(), 0) << "the box toggles before its handler runs";
}

}  // namespace
}  // namespace brx::toolkit::testing
