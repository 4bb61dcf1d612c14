// The real dialogs, shown on the event-loop thread and closed as a user would close them.

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

using RealDialogs = ToolkitTest;

// Runs `show` on a thread of its own, waits for a dialog titled `title`, runs `while_open` and
// returns once the dialog has been closed with `accept` and `show` has returned.
void answer_by_hand(
    const std::function<void()>& show, const std::string& title, bool accept,
    const std::function<void()>& while_open = [] {}) {
  std::atomic<bool> returned{false};
  std::thread shower([&] {
    show();
    returned = true;
  });
  if (!eventually([&] { return test::open_dialog_title() == title; }))
    ADD_FAILURE() << "no dialog titled " << title << ", open: " << test::open_dialog_title();
  while_open();
  EXPECT_FALSE(returned.load()) << "the dialog did not wait for the user";
  // Close whatever is open until the call returns, so that a failure cannot hang the tests.
  while (!returned.load()) {
    test::close_open_dialog(accept);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  shower.join();
  EXPECT_EQ(test::open_dialog_title(), "");
}

TEST_F(RealDialogs, OtherThreadsKeepWorkingWhileAMessageBoxIsOpen) {
  open_window();
  const int box = createtextbox(5, 5, 150, 20);
  answer_by_hand([] { dlgmessage(2, "Shown for real"); }, "Warning", true,
                 [box] {
                   settextboxcontents(box, "still answering");
                   EXPECT_EQ(gettextboxcontents(box), "still answering");
                 });
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

// Every kind of real dialog, closed by the user: a text request confirmed as shown keeps its
// pre-filled text, cancelled file and print dialogs change nothing.
TEST_F(RealDialogs, ConfirmedTextRequestKeepsTheTextAndCancelledFileAndPrintDialogsChangeNothing) {
  open_window();
  std::string label = "Normalized Time";
  int result = -1;
  answer_by_hand([&] { result = dlgrequesttext(label, "Abscissa Label", "X Axis Label", 50); },
                 "Abscissa Label", true);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(label, "Normalized Time");
  std::string name = "/tmp/";
  answer_by_hand([&] { result = dlgopenfile(name, "Data", "*.dat", "Open Data File"); },
                 "Open Data File", false);
  EXPECT_EQ(result, 0);
  answer_by_hand([&] { result = dlgsavefile(name, nullptr, "*.txt", "Save Data"); }, "Save Data",
                 false);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(name, "/tmp/");
  answer_by_hand([&] { result = printimage(); }, "Print", false);
  EXPECT_EQ(result, 0);
  int index = 1;
  const std::vector<std::string> curves = {"A1", "A2", "B1"};
  answer_by_hand([&] { result = dlgchooseitem(index, curves, "Choose a curve", "Curve:"); },
                 "Choose a curve", true);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(index, 1) << "confirmed as shown: the entry selected at first";
  index = 7;
  answer_by_hand([&] { result = dlgchooseitem(index, curves, "Choose a curve", "Curve:"); },
                 "Choose a curve", false);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(index, 7);
}

}  // namespace
}  // namespace brx::toolkit::testing
