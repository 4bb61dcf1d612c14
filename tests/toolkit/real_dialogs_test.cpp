// The real dialogs, shown on the event-loop thread and closed as a user would close them.

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

using RealDialogs = ToolkitTest;

// Each dialog waits for the user while other threads keep working; a text request confirmed as
// shown keeps its pre-filled text, cancelled file, print and list dialogs change nothing.
TEST_F(RealDialogs, DialogsWaitForTheUserAndCancelledOnesChangeNothing) {
  open_window();
  const int box = createtextbox(5, 5, 150, 20);
  std::string label = "Normalized Time", name = "/tmp/";
  int index = 7;
  const std::vector<std::string> curves = {"A1", "A2", "B1"};
  const struct {
    const char* title;
    bool accept;
    std::function<int()> show;
  } dialogs[] = {
      {"Warning", true,
       [] {
         dlgmessage(2, "Shown for real");
         return 1;
       }},
      {"Abscissa Label", true,
       [&] { return dlgrequesttext(label, "Abscissa Label", "X Axis Label", 50); }},
      {"Save Data", false, [&] { return dlgsavefile(name, nullptr, "*.txt", "Save Data"); }},
      {"Print", false, [] { return printimage(); }},
      {"Choose a curve", false,
       [&] { return dlgchooseitem(index, curves, "Choose a curve", "Curve:"); }},
  };
  for (const auto& d : dialogs) {
    SCOPED_TRACE(d.title);
    std::atomic<int> result{-1};
    std::thread shower([&] { result = d.show(); });
    EXPECT_TRUE(eventually([&] { return test::open_dialog_title() == d.title; }))
        << test::open_dialog_title();
    settextboxcontents(box, d.title);
    EXPECT_EQ(gettextboxcontents(box), d.title);
    EXPECT_EQ(result.load(), -1) << "the dialog did not wait for the user";
    // Close whatever is open until the call returns, so that a failure cannot hang the tests.
    while (result.load() == -1) {
      test::close_open_dialog(d.accept);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    shower.join();
    EXPECT_EQ(result.load(), d.accept ? 1 : 0);
    EXPECT_EQ(test::open_dialog_title(), "");
  }
  EXPECT_EQ(label, "Normalized Time");
  EXPECT_EQ(name, "/tmp/");
  EXPECT_EQ(index, 7);
}

}  // namespace
}  // namespace brx::toolkit::testing
