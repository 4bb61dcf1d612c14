// Modal dialogs, answered through the test seam: what they show and what they hand back.

#include <array>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/toolkit/toolkit_fixture.h"

namespace brx::toolkit::testing {
namespace {

using test::DialogAnswer;
using test::DialogKind;
using test::DialogRequest;

// Answers every dialog the same way and records what each one would have shown.
class Dialogs : public ToolkitTest {
 protected:
  std::vector<DialogRequest>& answering(bool accepted, std::string text = "") {
    auto seen = seen_;
    const DialogAnswer answer{accepted, std::move(text)};
    test::set_dialog_answerer([seen, answer](const DialogRequest& r) {
      seen->push_back(r);
      return answer;
    });
    return *seen_;
  }
  std::shared_ptr<std::vector<DialogRequest>> seen_ =
      std::make_shared<std::vector<DialogRequest>>();
};

// A dialog belongs to the window it is given, whichever is current; without one, to the current
// window; a window that is not open gives it no owner.
TEST_F(Dialogs, ADialogBelongsToTheWindowItIsGiven) {
  auto& seen = answering(false);
  const int first = open_window();
  const int second = open_window();
  std::string name = "a.txt";
  dlgsavefile(name, "*.txt", "*.txt", "Save", first);
  dlgmessage(1, "current");
  closewindow(first);
  dlgmessage(1, "closed", first);
  const int owners[] = {first, second, -1};
  ASSERT_EQ(seen.size(), std::size(owners));
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].window, owners[i]) << i;
}

TEST_F(Dialogs, MessageKindChoosesTitleAndIconAndAbsentTextShowsNothing) {
  auto& seen = answering(true);
  const std::tuple<int, const char*, int> looks[] = {{0, "Message", 0},
                                                     {1, "Information", 1},
                                                     {2, "Warning", 2},
                                                     {3, "Error", 3},
                                                     {9, "Message", 0}};
  for (const auto& [kind, title, icon] : looks) dlgmessage(kind, "Run Aborted!\r\nsecond line");
  dlgmessage(1, nullptr);
  ASSERT_EQ(seen.size(), std::size(looks));
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].kind, DialogKind::Message);
    EXPECT_EQ(seen[i].title, std::get<1>(looks[i]));
    EXPECT_EQ(seen[i].icon, std::get<2>(looks[i])) << seen[i].title;
    EXPECT_EQ(seen[i].text, "Run Aborted!\nsecond line");
  }
}

TEST_F(Dialogs, TextRequestCancelledLeavesTheTextAndConfirmedStoresItCutToItsLimit) {
  open_window();
  auto& seen = answering(false, "Edited but cancelled");
  std::string label = "Normalized Time      ";
  EXPECT_EQ(dlgrequesttext(label, "Abscissa Label", "X Axis Label", 50), 0);
  EXPECT_EQ(label, "Normalized Time      ");
  answering(true, std::string(60, 'y'));
  EXPECT_EQ(dlgrequesttext(label, nullptr, nullptr, 50), 1);
  EXPECT_EQ(label, std::string(50, 'y'));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].title, "Abscissa Label");
  EXPECT_EQ(seen[0].prompt, "X Axis Label");
  EXPECT_EQ(seen[0].text, "Normalized Time") << "pre-filled without trailing blanks";
  EXPECT_EQ(seen[1].title, "Input Requested");
}

// A list choice stores the place of the entry chosen; an entry not offered, Cancel and an empty
// list (which asks nothing) leave the place as it was.
TEST_F(Dialogs, AListChoiceStoresThePlaceOfTheEntryChosen) {
  open_window();
  const std::vector<std::string> curves = {"A1", "A2", "B1"};
  auto& seen = answering(true, "B1");
  int index = 1;
  EXPECT_EQ(dlgchooseitem(index, curves, "Choose a curve", "Curve to analyse:"), 1);
  EXPECT_EQ(index, 2);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, DialogKind::ChooseItem);
  EXPECT_EQ(seen[0].items, curves);
  EXPECT_EQ(seen[0].text, "A2") << "the entry selected at first";
  EXPECT_EQ(seen[0].prompt, "Curve to analyse:");
  for (const auto& [accepted, text] : {std::pair{true, "C9"}, std::pair{false, "A1"}}) {
    answering(accepted, text);
    EXPECT_EQ(dlgchooseitem(index, curves, nullptr, nullptr), 0) << text;
    EXPECT_EQ(index, 2);
  }
  EXPECT_EQ(seen.back().title, "Choose");
  const std::size_t asked = seen.size();
  EXPECT_EQ(dlgchooseitem(index, {}, "Choose a curve", nullptr), 0);
  EXPECT_EQ(seen.size(), asked);
}

TEST_F(Dialogs, DialogsCanBeOpenedFromCommandThreads) {
  const int w = open_window();
  auto& seen = answering(true, "New title");
  const int file = addmenu("Graph Labels", addmenu("", -1));
  std::string title = "Normalized Progress Curves";
  std::atomic<int> result{-1};
  const int item = addmenuitem("Plot Title", file, [&] {
    result = dlgrequesttext(title, "Plot Label", "Title of Plot", 50);
    stopidle();
  });
  test::choose_menu_item(w, item);
  EXPECT_TRUE(loop_released_within(5000));
  EXPECT_TRUE(eventually([] { return test::running_callbacks() == 0; }));
  EXPECT_EQ(result.load(), 1);
  EXPECT_EQ(title, "New title");
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(Dialogs, FileDialogFilterListsTheDescriptionOrPatternThenAllFiles) {
  auto& seen = answering(false);
  std::string name = "x";
  EXPECT_EQ(dlgopenfile(name, "Data files", "*.dat", "Open"), 0);
  EXPECT_EQ(dlgsavefile(name, nullptr, "*.txt", "Save Data"), 0);
  EXPECT_EQ(dlgsavefile(name, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(name, "x") << "a cancelled dialog leaves the name";
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].filter, "Data files (*.dat *.DAT);;All Files (*)");
  EXPECT_EQ(seen[1].filter, "*.txt files (*.txt *.TXT);;All Files (*)");
  EXPECT_EQ(seen[2].filter, "All Files (*)");
  EXPECT_EQ(seen[1].kind, DialogKind::SaveFile);
  EXPECT_FALSE(seen[1].confirm_overwrite) << "saving never asks before overwriting";
}

TEST_F(Dialogs, FileDialogStartsFromTheFolderOrNameOfTheGivenFileName) {
  auto& seen = answering(false);
  // Given name, then the folder, name and first filter the dialog starts with.
  const std::array<const char*, 4> cases[] = {
      {"/data/runs/", "/data/runs/", "", "Data (*.dat *.DAT)"},
      {"/data/runs/run1.dat", "/data/runs", "run1.dat", "Data (*.dat *.DAT)"},
      {"/data/*.dat", "/data", "", "*.dat (*.dat *.DAT)"},
      {"run1.dat", "", "run1.dat", "Data (*.dat *.DAT)"}};
  for (const auto& [given, folder, name, first_filter] : cases) {
    std::string file = given;
    dlgopenfile(file, "Data", "*.dat", "Open");
    ASSERT_FALSE(seen.empty());
    const DialogRequest& r = seen.back();
    EXPECT_EQ(r.folder, folder) << given;
    EXPECT_EQ(r.text, name) << given;
    EXPECT_EQ(r.filter.substr(0, r.filter.find(";;")), first_filter) << given;
  }
}

TEST_F(Dialogs, OpeningAFileMovesTheWorkingDirectoryToItsFolder) {
  brx::test::TempDir dir;
  const auto before = std::filesystem::current_path();
  const std::string chosen = (dir.path() / "run1.dat").string();
  answering(true, chosen);
  std::string name = dir.path().string() + "/";
  EXPECT_EQ(dlgopenfile(name, nullptr, "*.dat", nullptr), 1);
  EXPECT_EQ(name, chosen);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir.path()));
  std::filesystem::current_path(before);
}

}  // namespace
}  // namespace brx::toolkit::testing
