// Child controls: identifiers, check marks and handlers, text boxes that never lose text.

#include <atomic>
#include <string>
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
}

TEST_F(Controls, SettingTheCheckMarkDoesNotCallTheHandlerButAClickDoes) {
  const int w = open_window();
  std::atomic<int> calls{0};
  std::atomic<int> seen{-1};
  int box = -1;
  box = createcheckbox(10, 10, 150, 20, "Model 1", [&] {
    seen = checkboxischecked(box);
    ++calls;
  });
  checkboxsetchecked(box, true);
  EXPECT_EQ(checkboxischecked(box), 1);
  checkboxsetchecked(box, false);
  EXPECT_EQ(checkboxischecked(box), 0);
  test::click_control(w, box);
  ASSERT_TRUE(eventually([&] { return calls.load() == 1; }));
  EXPECT_EQ(seen.load(), 1) << "the box toggles before its handler runs";
  EXPECT_TRUE(eventually([] { return test::running_callbacks() == 0; }));
  EXPECT_EQ(calls.load(), 1);
}

TEST_F(Controls, GreyedButtonsIgnoreClicksAndHidingKeepsTheEnabledState) {
  const int w = open_window();
  std::atomic<int> calls{0};
  const int button = createbutton(10, 10, 100, 30, "Run Curve-fit", [&] { ++calls; });
  enablebutton(button, false);
  test::click_control(w, button);
  setbuttonvisible(button, false);
  EXPECT_FALSE(test::control_visible(w, button));
  setbuttonvisible(button, true);
  EXPECT_TRUE(test::control_visible(w, button));
  EXPECT_FALSE(test::control_enabled(w, button));
  enablebutton(button, true);
  test::click_control(w, button);
  EXPECT_TRUE(eventually([&] { return calls.load() == 1; }));
  EXPECT_TRUE(eventually([] { return test::running_callbacks() == 0; }));
  EXPECT_EQ(calls.load(), 1);
}

TEST_F(Controls, UnknownIdentifiersAreIgnored) {
  open_window();
  EXPECT_EQ(checkboxischecked(5), 0);
  EXPECT_EQ(gettextboxlength(5), -1);
  EXPECT_EQ(gettextboxcontents(5, nullptr, 0), -1);
  settextboxcontents(5, "nothing");
  enablebutton(5, true);
}

// Small pieces appended one after another, as the live file view does.
struct Appending {
  const char* name;
  bool multiline;
  std::string piece;
  int pieces;
};

class TextBoxAppend : public ToolkitTest, public ::testing::WithParamInterface<Appending> {};

TEST_P(TextBoxAppend, NothingIsLost) {
  const Appending& a = GetParam();
  open_window(550, 650);
  const int box =
      a.multiline ? createmultilinetextbox(5, 5, 540, 640, false) : createtextbox(5, 5, 540, 20);
  std::string expected;
  for (int i = 0; i < a.pieces; ++i) {
    inserttextboxtext(box, a.piece.c_str());
    expected += a.piece;
  }
  EXPECT_EQ(gettextboxlength(box), static_cast<int>(expected.size()));
  EXPECT_TRUE(gettextboxcontents(box) == expected);
}

// Every piece costs the box a repaint, so the single-line case stays smaller: going past its
// initial limit of 32767 characters is what matters there.
INSTANTIATE_TEST_SUITE_P(
    Pieces, TextBoxAppend,
    ::testing::Values(Appending{"MultiLine200000", true, std::string(198, 'k') + "\r\n", 1000},
                      Appending{"SingleLine40000", false, std::string(1000, 'd'), 40}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(Controls, CopiesAreCutToTheBufferAndLineEndsComeBackAsCrLf) {
  open_window();
  const int box = createmultilinetextbox(5, 5, 150, 100, true);
  settextboxcontents(box, "one\ntwo\r\nthree");
  EXPECT_EQ(gettextboxcontents(box), "one\r\ntwo\r\nthree");
  EXPECT_EQ(gettextboxlength(box), 15);
  char buffer[6];
  EXPECT_EQ(gettextboxcontents(box, buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "one\r\n");
  EXPECT_EQ(gettextboxcontents(box, nullptr, 0), 15);
}

TEST_F(Controls, InsertionGoesToTheCaret) {
  open_window();
  const int box = createmultilinetextbox(5, 5, 150, 100, false);
  settextboxcontents(box, "line 1\r\nline 3");
  settextboxcursorposition(box, 8);  // after "line 1\r\n"
  inserttextboxtext(box, "line 2\r\n");
  settextboxcursorposition(box, kTextEnd);
  inserttextboxtext(box, "\r\nline 4");
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
