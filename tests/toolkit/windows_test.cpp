// Windows, the current window, close handling, menus, command threads and the idle loop.

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

using WindowTable = ToolkitTest;

TEST_F(WindowTable, IdentifiersAreNeverReusedAndClosingTheCurrentWindowLeavesNone) {
  EXPECT_EQ(open_window(), 0);
  EXPECT_EQ(open_window(), 1);
  closewindow(0);
  EXPECT_FALSE(isvalidwindow(0));
  EXPECT_EQ(open_window(), 2);
  EXPECT_EQ(getcurrentwindow(), 2);
  EXPECT_FALSE(isvalidwindow(3));
  EXPECT_FALSE(isvalidwindow(-1));
  closewindow(2);
  EXPECT_EQ(getcurrentwindow(), kNoWindow);
  closewindow(kCurrentWindow);  // none current: does nothing
  EXPECT_TRUE(isvalidwindow(1));
  setcurrentwindow(2);  // closed: ignored
  EXPECT_EQ(getcurrentwindow(), kNoWindow);
  setcurrentwindow(1);
  EXPECT_EQ(getcurrentwindow(), 1);
  closewindow(kAllWindows);
  EXPECT_FALSE(isvalidwindow(1));
}

TEST_F(WindowTable, TitlesAreCutTo255CharactersWithoutTrailingBlanks) {
  const int long_title = open_window(100, 100, std::string(300, 'x').c_str());
  EXPECT_EQ(test::window_title(long_title), std::string(255, 'x'));
  const int padded = open_window(100, 100, "Brevantix-kd      ");
  EXPECT_EQ(test::window_title(padded), "Brevantix-kd");
  setwindowtitle("Brevantix-kd Progress Curve Modeling Software");
  EXPECT_EQ(test::window_title(padded), "Brevantix-kd Progress Curve Modeling Software");
}

using CloseButton = ToolkitTest;

TEST_F(CloseButton, SystemCloseCallbackReturningZeroMakesItInert) {
  const int w = open_window();
  std::atomic<int> asked{0};
  setwindowsystemclosecallback([&] {
    ++asked;
    return 0;
  });
  test::press_close_button(w);
  EXPECT_EQ(asked.load(), 1);
  EXPECT_TRUE(isvalidwindow(w));
  EXPECT_FALSE(loop_released_within(100)) << "the refused close woke the idle loop";
}

TEST_F(CloseButton, AcceptedCloseRunsTheCallbackWakesTheCurrentWindowAndDestroys) {
  const int closing = open_window();
  std::atomic<int> closed{0};
  setwindowsystemclosecallback([] { return 1; });
  setwindowclosecallback([&] { ++closed; });
  const int main_window = open_window();  // current: its loop is the one woken
  test::press_close_button(closing);
  EXPECT_EQ(closed.load(), 1);
  EXPECT_FALSE(isvalidwindow(closing));
  EXPECT_EQ(getcurrentwindow(), main_window);
  EXPECT_TRUE(loop_released_within(2000));
}

TEST_F(CloseButton, WithTheCloseFlagTheProcessEnds) {
  EXPECT_EXIT(
      {
        const int w = initwindow(100, 100, "ends", kDefaultPosition, kDefaultPosition, 0, 1);
        test::press_close_button(w);
        std::this_thread::sleep_for(std::chrono::seconds(5));
      },
      ::testing::ExitedWithCode(0), "");
}

// Ending the event loop must not ask the windows to close: the refusing window would keep the
// process alive, and a window with the close flag would end it with status 0.
TEST_F(CloseButton, ProcessEndsWhenTheProgramReturnsDespiteARefusingWindow) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string command = "QT_QPA_PLATFORM=offscreen timeout 20 '" + self + "' " +
                              kRefusingWindowProgram + " >/dev/null 2>&1";
  const int result = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(result));
  EXPECT_EQ(WEXITSTATUS(result), 3) << "124: still running after 20 s";
}

using NoCurrentWindow = ToolkitTest;

TEST_F(NoCurrentWindow, DrawingShowsTheErrorAndEndsTheProcess) {
  EXPECT_EXIT(
      {
        test::set_dialog_answerer([](const test::DialogRequest& r) {
          std::fprintf(stderr, "box %s\n", r.title.c_str());
          return test::DialogAnswer{true, ""};
        });
        line(0, 0, 10, 10);
      },
      ::testing::ExitedWithCode(1),
      "Drawing operation was attempted when there was no current window.\nbox Error");
}

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

// Times the event-loop thread (the process's first thread) has gone to sleep and woken up.
long event_loop_wake_ups() {
  std::ifstream status("/proc/self/task/" + std::to_string(getpid()) + "/status");
  long total = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.find("ctxt_switches:") != std::string::npos) {
      total += std::stol(line.substr(line.find(':') + 1));
    }
  }
  return total;
}

// Until the program returns, nothing wakes the event loop but work for it.
TEST_F(IdleLoop, TheEventLoopSleepsWhileNothingHappens) {
  const long before = event_loop_wake_ups();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_LT(event_loop_wake_ups() - before, 10);
}

using Menus = ToolkitTest;

TEST_F(Menus, MenusAndItemsHaveSeparateSequencesRefuseBadRequestsAndKeepTheDrawingArea) {
  const int w = open_window(550, 650);
  EXPECT_EQ(addmenu(nullptr, 0), -2) << "no menu bar yet";
  const int bar = addmenu("", -1);
  EXPECT_EQ(bar, 0);
  EXPECT_EQ(addmenu("", -1), -2) << "second menu bar";
  const int file = addmenu("File", bar);
  const int labels = addmenu("Graph Labels", bar);
  EXPECT_EQ(file, 1);
  EXPECT_EQ(labels, 2);
  EXPECT_EQ(addmenu(nullptr, file), -2) << "drop-down menu without a name";
  EXPECT_EQ(addmenu("Lost", 7), -2) << "unknown parent";
  EXPECT_EQ(addmenuitem("Open Data File", file, [] {}), 0);
  EXPECT_EQ(addmenuseparator(file), 1);
  EXPECT_EQ(addmenuitem(nullptr, file, [] {}), 2) << "a handler without a name is a separator";
  EXPECT_EQ(addmenuitem("No handler", file, nullptr), -2);
  EXPECT_EQ(addmenuitem("Lost", 9, [] {}), -2);
  EXPECT_EQ(addmenuitem("Plot Title", labels, [] {}), 3);
  EXPECT_EQ(test::client_size(w), std::make_pair(550, 650)) << "the menu bar took drawing area";
}

TEST_F(Menus, ItemCallbackRunsOnItsOwnThreadWhileTheProgramWaitsInLoop) {
  const int w = open_window();
  const int file = addmenu("File", addmenu("", -1));
  std::atomic<std::thread::id> ran_on{};
  std::atomic<bool> ran{false};
  const int item = addmenuitem("Run Analysis", file, [&] {
    ran_on = std::this_thread::get_id();
    ran = true;
    stopidle();
  });
  std::thread user([&] {
    test::choose_menu_item(w, item);
    if (!eventually([&] { return ran.load(); })) stopidle();  // do not leave loop() hanging
  });
  loop();
  user.join();
  ASSERT_TRUE(ran.load());
  EXPECT_NE(ran_on.load(), std::this_thread::get_id());
}

// Sixty commands also outgrow the window's list of finished threads, which is then pruned.
TEST_F(Menus, GreyedItemsDoNothingAndEveryCommandGetsAThreadThatFinishes) {
  const int w = open_window();
  const int file = addmenu("File", addmenu("", -1));
  std::atomic<int> runs{0};
  const int item = addmenuitem("Save Screen", file, [&] { ++runs; });
  enablemenuitem(item, false);
  EXPECT_FALSE(test::menu_item_enabled(w, item));
  test::choose_menu_item(w, item);
  enablemenuitem(item, true);
  EXPECT_TRUE(test::menu_item_enabled(w, item));
  for (int i = 0; i < 60; ++i) test::choose_menu_item(w, item);
  EXPECT_TRUE(eventually([&] { return test::running_callbacks() == 0; }));
  EXPECT_EQ(runs.load(), 60);
}

// A handler's exception of any type ends the process with status 1 and a line saying so.
TEST_F(Menus, AnExceptionLeavingAHandlerEndsTheProcessWithStatusOne) {
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
