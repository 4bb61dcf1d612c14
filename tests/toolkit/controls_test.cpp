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
  EXPECT_EQ(createtextbox(5, 5, 100, 20), 0) << "each window counts from 0";
  // Unknown identifiers are ignored.
  EXPECT_EQ(checkboxischecked(5), 0);
  EXPECT_EQ(gettextboxlength(5), -1);
  EXPECT_EQ(gettextboxcontents(5, nullptr, 0), -1);
  settextboxcontents(5, "nothing");
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

// Small pieces appended one after another, as the live file view does. Every piece costs the
// box a repaint, so the single-line case stays smaller: passing its initial limit of 32767
// characters is what matters there.
TEST_F(Controls, TextAppendedInSmallPiecesIsNeverLost) {
  open_window(550, 650);
  const int multi = createmultilinetextbox(5, 5, 540, 600, false);
  const int single = createtextbox(5, 620, 540, 20);
  for (const auto& [box, piece, pieces] : {std::tuple{multi, std::string(198, 'k') + "\r\n", 1000},
                                           std::tuple{single, std::string(1000, 'd'), 40}}) {
    std::string expected;
    for (int i = 0; i < pieces; ++i) {
      inserttextboxtext(box, piece.c_str());
      expected += piece;
    }
    EXPECT_EQ(gettextboxlength(box), static_cast<int>(expected.size())) << "box " << box;
    EXPECT_TRUE(gettextboxcontents(box) == expected) << "box " << box;
  }
}

TEST_F(Controls, LineEndsComeBackAsCrLfCopiesAreCutAndInsertionGoesToTheCaret) {
  open_window();
  const int box = createmultilinetextbox(5, 5, 150, 100, true);
  settextboxcontents(box, "line 1\nline 3\r\n");
  EXPECT_EQ(gettextboxcontents(box), "line 1\r\nline 3\r\n");
  EXPECT_EQ(gettextboxlength(box), 16);
  char buffer[9];
  EXPECT_EQ(gettextboxcontents(box, buffer, sizeof buffer), 8);
  EXPECT_STREQ(buffer, "line 1\r\n");
  EXPECT_EQ(gettextboxcontents(box, nullptr, 0), 16);
  settextboxcursorposition(box, 8);  // after "line 1\r\n"
  inserttextboxtext(box, "line 2\r\n");
  settextboxcursorposition(box, kTextEnd);
  inserttextboxtext(box, "line 4");
  EXPECT_EQ(gettextboxcontents(box), "line 1\r\nline 2\r\nline 3\r\nline 4");
}

TEST_F(Controls, TextTravelsAsUtf8OrAfterUseansitextAsWindows1252Bytes) {
  open_window();
  const int box = createtextbox(5, 5, 150, 20);
  settextboxcontents(box, "\xc2\xb5M");  // micro sign in UTF-8
  EXPECT_EQ(gettextboxlength(box), 3);
  useansitext();
  EXPECT_EQ(gettextboxcontents(box), "\xb5M");
  settextboxcontents(box, "\x80 5 \xb5M");  // euro sign, micro sign
  EXPECT_EQ(gettextboxcontents(box), "\x80 5 \xb5M");
  EXPECT_EQ(gettextboxlength(box), 6);
}

}  // namespace
}  // namespace brx::toolkit::testing
