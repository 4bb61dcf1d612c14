// The idle loop and its wake-ups, and the end of a handler that throws.

#include <atomic>
#include <thread>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

using IdleLoop = ToolkitTest;

TEST_F(IdleLoop, WakeUpsDoNotCountAndStartidleSwallowsOneThatCameWhileBusy) {
  open_window();
  stopidle();
  stopidle();
  EXPECT_TRUE(loop_released_within(1000));
  EXPECT_FALSE(loop_released_within(100)) << "two wake-ups released two loops";
  stopidle();
  startidle(3);
  EXPECT_FALSE(loop_released_within(100));
  stopidle();
  EXPECT_TRUE(loop_released_within(1000));
}

// Each window has its own wake-up, and a wait keeps the window it was started for whatever becomes
// current meanwhile; closing that window ends the wait, and a closed one is not waited on.
TEST_F(IdleLoop, AWaitStaysWithItsWindowAndEndsWhenTheWindowCloses) {
  const int first = open_window();
  const int second = open_window();
  EXPECT_FALSE(loop_released_within(100, first, [&] {
    setcurrentwindow(second);
    stopidle();
  })) << "another window's wake-up ended the wait";
  startidle(0, second);
  EXPECT_TRUE(loop_released_within(1000, first, [&] { stopidle(first); }));
  EXPECT_TRUE(loop_released_within(1000, first, [&] { closewindow(first); }));
  EXPECT_TRUE(loop_released_within(100, first)) << "waited on a closed window";
}

using Handlers = ToolkitTest;

// A handler's exception of any type ends the process with status 1 and a line saying so.
TEST_F(Handlers, AnExceptionLeavingAHandlerEndsTheProcessWithStatusOne) {
  EXPECT_EXIT(
      {
        const int w = open_window();
        const int item = addmenuitem("Go", addmenu("File", addmenu("", -1)), [] { throw 42; });
        test::choose_menu_item(w, item);
        std::this_thread::sleep_for(std::chrono::seconds(10));
      },
      ::testing::ExitedWithCode(1),
      "Unhandled error in a command handler: an exception of unknown type");
}

}  // namespace
}  // namespace brx::toolkit::testing
