// Modal dialogs, answered through the test seam: what they show and what they hand back.

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
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

struct MessageLook {
  int kind;
  const char* title;
  int icon;
};

class MessageBoxes : public Dialogs, public ::testing::WithParamInterface<MessageLook> {};

TEST_P(MessageBoxes, KindChoosesTitleAndIcon) {
  auto& seen = answering(true);
  dlgmessage(GetParam().kind, "Run Aborted!\r\nsecond line");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, DialogKind::Message);
  EXPECT_EQ(seen[0].title, GetParam().title);
  EXPECT_EQ(seen[0].icon, GetParam().icon);
  EXPECT_EQ(seen[0].text, "Run Aborted!\nsecond line");
}

INSTANTIATE_TEST_SUITE_P(Kinds, MessageBoxes,
                         ::testing::Values(MessageLook{0, "Message", 0},
                                           MessageLook{1, "Information", 1},
                                           MessageLook{2, "Warning", 2}, MessageLook{3, "Error", 3},
                                           MessageLook{9, "Message", 0}),
                         [](const auto& p) { return "Kind" + std::to_string(p.param.kind); });

TEST_F(Dialogs, AbsentMessageTextShowsNothing) {
  auto& seen = answering(true);
  dlgmessage(1, nullptr);
  EXPECT_TRUE(seen.empty());
}

TEST_F(Dialogs, TextRequestCancelledAfterEditingLeavesTheText) {
  open_window();
  auto& seen = answering(false, "Edited but cancelled");
  std::string label = "Normalized Time";
  EXPECT_EQ(dlgrequesttext(label, "Abscissa Label", "X Axis Label", 50), 0);
  EXPECT_EQ(label, "Normalized Time");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, "Abscissa Label");
  EXPECT_EQ(seen[0].prompt, "X Axis Label");
  EXPECT_EQ(seen[0].text, "Normalized Time");
}

TEST_F(Dialogs, TextRequestConfirmedStoresTheEntryCutToItsLimit) {
  open_window();
  auto& seen = answering(true, std::string(60, 'y'));
  std::string label = "Normalized Product      ";
  EXPECT_EQ(dlgrequesttext(label, nullptr, nullptr, 50), 1);
  EXPECT_EQ(label, std::string(50, 'y'));
  EXPECT_EQ(seen[0].text, "Normalized Product") << "pre-filled without trailing blanks";
  EXPECT_EQ(seen[0].title, "Input Requested");
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

struct InitialState {
  const char* name_of_case;
  const char* given;
  const char* folder;
  const char* name;
  const char* first_filter;
};

class FileDialogStart : public Dialogs, public ::testing::WithParamInterface<InitialState> {};

TEST_P(FileDialogStart, FolderOrNameComesFromTheGivenFileName) {
  auto& seen = answering(false);
  std::string name = GetParam().given;
  dlgopenfile(name, "Data", "*.dat", "Open");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].folder, GetParam().folder);
  EXPECT_EQ(seen[0].text, GetParam().name);
  EXPECT_EQ(seen[0].filter.substr(0, seen[0].filter.find(";;")), GetParam().first_filter);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileDialogStart,
    ::testing::Values(
        InitialState{"Folder", "/data/runs/", "/data/runs/", "", "Data (*.dat *.DAT)"},
        InitialState{"PathAndName", "/data/runs/run1.dat", "/data/runs", "run1.dat",
                     "Data (*.dat *.DAT)"},
        InitialState{"FolderAndPattern", "/data/*.dat", "/data", "", "*.dat (*.dat *.DAT)"},
        InitialState{"BareName", "run1.dat", "", "run1.dat", "Data (*.dat *.DAT)"}),
    [](const auto& p) { return std::string(p.param.name_of_case); });

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
