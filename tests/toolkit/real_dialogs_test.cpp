// The real dialogs, shown on the event-loop thread and closed as a user would close them.

#include <atomic>
#include <string>
#include <thread>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

using RealDialogs = ToolkitTest;

// Runs `show` on a thread of its own, waits for a dialog titled `title` and returns once the
// dialog has been closed with `accept` and `show` has returned.
void answer_by_hand(const std::function<void()>& show, const std::string& title, bool accept) {
  std::atomic<bool> returned{false};
  std::thread shower([&] {
    show();
    returned = true;
  });
  const bool appeared = eventually([&] { return test::open_dialog_title() == title; });
  if (!appeared)
    ADD_FAILURE() << "no dialog titled " << title << ", open: " << test::open_dialog_title();
  EXPECT_FALSE(returned.load()) << "the dialog did not wait for the user";
  // Close whatever is open until the call returns, so that a failure cannot hang the tests.
  while (!returned.load()) {
    test::close_open_dialog(accept);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  shower.join();
}

TEST_F(RealDialogs, OtherThreadsKeepWorkingWhileAMessageBoxIsOpen) {
  open_window();
  const int box = createtextbox(5, 5, 150, 20);
  std::atomic<bool> returned{false};
  std::thread shower([&] {
    dlgmessage(2, "Shown for real");
    returned = true;
  });
  ASSERT_TRUE(eventually([] { return test::open_dialog_title() == "Warning"; }));
  settextboxcontents(box, "still answering");
  EXPECT_EQ(gettextboxcontents(box), "still answering");
  EXPECT_FALSE(returned.load());
  EXPECT_TRUE(test::close_open_dialog(true));
  shower.join();
  EXPECT_EQ(test::open_dialog_title(), "");
}

TEST_F(RealDialogs, ClosingTheOwnerWindowEndsItsDialog) {
  const int w = open_window();
  std::atomic<bool> returned{false};
  std::string name = "/tmp/";
  std::thread shower([&] {
    dlgsavefile(name, nullptr, "*.txt", "Save Data");
    returned = true;
  });
  ASSERT_TRUE(eventually([] { return test::open_dialog_title() == "Save Data"; }));
  closewindow(w);
  EXPECT_TRUE(eventually([&] { return returned.load(); }, 2000));
  while (!returned.load()) test::close_open_dialog(false);
  shower.join();
  EXPECT_EQ(name, "/tmp/");
}

TEST_F(RealDialogs, TextRequestConfirmedUnchangedKeepsTheTextAndCancelLeavesIt) {
  open_window();
  std::string label = "Normalized Time";
  int result = -1;
  answer_by_hand([&] { result = dlgrequesttext(label, "Abscissa Label", "X Axis Label", 50); },
                 "Abscissa Label", true);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(label, "Normalized Time");
  answer_by_hand([&] { result = dlgrequesttext(label, "Abscissa Label", "X Axis Label", 50); },
                 "Abscissa Label", false);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(label, "Normalized Time");
}

TEST_F(RealDialogs, CancelledFileAndPrintDialogsChangeNothing) {
  open_window();
  std::string name = "/tmp/";
  int result = -1;
  answer_by_hand([&] { result = dlgopenfile(name, "Data", "*.dat", "Open Data File"); },
                 "Open Data File", false);
  EXPECT_EQ(result, 0);
  answer_by_hand([&] { result = dlgsavefile(name, nullptr, "*.txt", "Save Data"); }, "Save Data",
                 false);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(name, "/tmp/");
  answer_by_hand([&] { result = printimage(); }, "Print", false);
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace brx::toolkit::testing
