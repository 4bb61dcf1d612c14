// Child controls: identifiers, check marks and handlers, text boxes that never lose text.

#include <atomic>
#include <string>
#include <tuple>
#include <vector>

#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

using Controls = ToolkitTest;

TEST_F(Controls, IdentifiersAreSharedByAllKindsInCreationOrder) {
  open_window(550, 650);
  EXPECT_EQ(createcheckbox(90, 540, 200, 20, "Model 1 Curve-fit Data"), 0);
  EXPECT_EQ(createcheckbox(300, 540, 200, 20, "Model 2 Curve-fit Data"), 1);
  EXPECT_EQ(createbutton(90, 575, 155, 35, "Run Curve-fit"), 2);
  EXPECT_EQ(createbutton(300, 575, 155, 35, "Display Results"), 3);
  EXPECT_EQ(createmultilinetextbox(5, 5, 100, 100, false), 4);
  open_window();
  EXPECT_EQ(createbutton(5, 5, 100, 20, "b"), 0) << "each window counts from 0";
  // Unknown identifiers are ignored.
  EXPECT_EQ(checkboxischecked(5), 0);
  EXPECT_EQ(gettextboxlength(5), -1);
  EXPECT_EQ(gettextboxcontents(5, nullptr, 0), -1);
  enablebutton(5, true);
}

TEST_F(Controls, HandlersRunOnClicksButNotOnSettingTheCheckMarkNorOnGreyedButtons) {
  const int w = open_window();
  std::atomic<int> box_calls{0}, button_calls{0}, seen{-1};
  int box = -1;
  box = createcheckbox(10, 10, 150, 20, "Model 1", [&] {
    seen = checkboxischecked(box);
    ++box_calls;
  });
  const int button = createbutton(10, 40, 100, 30, "Run Curve-fit", [&] { ++button_calls; });
  checkboxsetchecked(box, true);
  EXPECT_EQ(checkboxischecked(box), 1);
  checkboxsetchecked(box, false);
  EXPECT_EQ(checkboxischecked(box), 0);
  enablebutton(button, false);
  test::click_control(w, button);
  setbuttonvisible(button, false);
  EXPECT_FALSE(test::control_visible(w, button));
  setbuttonvisible(button, true);
  EXPECT_TRUE(test::control_visible(w, button));
  EXPECT_FALSE(test::control_enabled(w, button)) << "hiding kept the enabled state";
  enablebutton(button, true);
  test::click_control(w, button);
  test::click_control(w, box);
  EXPECT_TRUE(eventually([&] { return box_calls + button_calls == 2; }));
  EXPECT_TRUE(eventually([] { return test::running_callbacks() == 0; }));
  EXPECT_EQ(box_calls.load(), 1);
  EXPECT_EQ(button_calls.load(), 1);
  EXPECT_EQ(seen.load(), 1) << "the box toggles before its handler runs";
}

}  // namespace
}  // namespace brx::toolkit::testing
