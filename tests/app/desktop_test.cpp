// The desktop program driven as a user drives it: menu items chosen, controls clicked, dialogs
// answered, the window's picture inspected.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "analysis/report.h"
#include "app/file_channels.h"
#include "app/file_selection.h"
#include "app/info_screens.h"
#include "app/live_file_view.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "fitting/stop.h"
#include "tests/app/desktop_fixture.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::test;
using testing::count_changed;
using testing::count_pixels;
using testing::eventually;
using tt::DialogKind;

constexpr std::uint32_t kGreen = 0x228B22;   // measured points
constexpr std::uint32_t kBlue = 0x0000FF;    // Model 1
constexpr std::uint32_t kViolet = 0x9400D3;  // Model 2
constexpr std::uint32_t kPromptRed = 0x800000;
constexpr std::uint32_t kTitleBlue = 0x000080;
constexpr std::uint32_t kWhite = 0xFFFFFF;
// Items of the results viewer's menu, in the order it makes them.
constexpr int kViewerSaveItem = 0;
constexpr int kViewerExitItem = 2;

std::string lf_lines(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  return text;
}

class Desktop : public testing::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    user = std::make_unique<testing::ScriptedUser>();
    fs::current_path(dir.path());
    fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "example.dat", dir.path() / "Example.dat");
    program = std::thread([this] {
      try {
        plot_embeded(w, {"Normalized Time", "Normalized Product"}, "Normalized Progress Curves");
      } catch (const Stop& s) {
        stop_text = s.text();
        stop_message = s.message();
      }
      ended = true;
    });
    ASSERT_TRUE(eventually([&] { return w.idle_passes.load() >= 1; }));
    win = w.ids.window;
  }

  void TearDown() override {
    if (!ended) handle_quit(w);
    program.join();
    close_all_units();
    join_live_views();
    user.reset();
    ToolkitTest::TearDown();
  }

  // Does what the user does and waits until the main loop has handled it and sleeps again.
  void act(const std::function<void()>& action) {
    const int before = w.idle_passes.load();
    action();
    ASSERT_TRUE(eventually([&] { return w.idle_passes.load() > before || ended.load(); }, 60000));
  }
  void choose(int item) {
    act([&] { tt::choose_menu_item(win, item); });
  }
  void open(const fs::path& file) {
    user->will_answer(DialogKind::OpenFile, true, file.string());
    choose(w.ids.open);
  }
  void open_and_run(const fs::path& file) {
    open(file);
    choose(w.ids.run);
  }
  // Clicks a check box (its handler redraws at once, without the main loop).
  void click_and_settle(int control) {
    tt::click_control(win, control);
    ASSERT_TRUE(eventually([] { return tt::running_callbacks() == 0; }));
  }
  // Chooses a menu item whose handler shows a dialog and redraws.
  void choose_and_settle(int item) {
    tt::choose_menu_item(win, item);
    ASSERT_TRUE(eventually([] { return tt::running_callbacks() == 0; }));
  }
  tt::PageImage page() const { return tt::grab_page(win); }
  bool item(int id) const { return tt::menu_item_enabled(win, id); }
  bool control(int id) const { return tt::control_enabled(win, id); }

  // Opens the results viewer and waits until the report is shown whole.
  int open_viewer(const std::string& report) {
    tt::click_control(win, w.ids.results_button);
    int viewer = -1;
    EXPECT_TRUE(eventually([&] {
      {
        std::lock_guard lock(window_mutex());
        viewer = w.gp.idactivetextwin;
      }
      return viewer >= 0 && toolkit::isvalidwindow(viewer);
    }));
    EXPECT_TRUE(eventually([&] { return testing::textbox_text(viewer, 0) == report; }));
    return viewer;
  }
  // Clicks a check box while the viewer's loop runs on a callback thread of its own.
  void click_and_settle_while_viewer(int control) {
    tt::click_control(win, control);
    ASSERT_TRUE(eventually([] { return tt::running_callbacks() <= 1; }));
  }
  void exit_viewer(int viewer) {
    act([&] { tt::choose_menu_item(viewer, kViewerExitItem); });
    ASSERT_TRUE(eventually([] { return tt::running_callbacks() == 0; }));
  }

  test::TempDir dir;
  nrtype nr;
  globalsplot gp;
  MainWindow w{nr, gp};
  std::unique_ptr<testing::ScriptedUser> user;
  std::thread program;
  std::atomic<bool> ended{false};
  std::string stop_text, stop_message;
  int win = -1;
};

TEST_F(Desktop, StartsWithOnlyOpenTheInformationScreensAndQuitUsable) {
  EXPECT_EQ(tt::window_title(win), kProgramTitle);
  EXPECT_EQ(tt::client_size(win), std::make_pair(kMainWidth, kMainHeight));
  for (int id : {w.ids.open, w.ids.description, w.ids.example_data, w.ids.about, w.ids.quit}) {
    EXPECT_TRUE(item(id)) << "item " << id;
  }
  for (int id : {w.ids.run, w.ids.save_screen, w.ids.print_screen, w.ids.plot_title, w.ids.ordinate,
                 w.ids.abscissa}) {
    EXPECT_FALSE(item(id)) << "item " << id;
  }
  for (int id : {w.ids.model1_box, w.ids.model2_box, w.ids.run_button, w.ids.results_button}) {
    EXPECT_FALSE(control(id)) << "control " << id;
  }
  EXPECT_TRUE(tt::control_visible(win, w.ids.run_button));
  EXPECT_TRUE(tt::control_visible(win, w.ids.results_button));
  // The prompt, and nothing else, in the plot square.
  const tt::PageImage p = page();
  EXPECT_GT(count_pixels(p, kPromptRed, 180, 280, 420, 320), 0);
  EXPECT_EQ(count_pixels(p, kGreen) + count_pixels(p, kBlue) + count_pixels(p, kViolet), 0);

  // The title bar's close button is refused: the window stays and the loop sleeps on.
  const int passes = w.idle_passes.load();
  tt::press_close_button(win);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(toolkit::isvalidwindow(win));
  EXPECT_EQ(w.idle_passes.load(), passes);
}

TEST_F(Desktop, OpeningAFileShowsItsNameAndAllowsRunning) {
  open(dir.path() / "Example.dat");
  const tt::DialogRequest asked = user->last();
  EXPECT_EQ(asked.kind, DialogKind::OpenFile);
  EXPECT_EQ(asked.title, "Enter data file");
  EXPECT_EQ(fs::path(asked.folder), dir.path());
  EXPECT_NE(asked.filter.find("*.dat"), std::string::npos);
  EXPECT_NE(asked.filter.find("All Files"), std::string::npos);

  // The name keeps its case: upper-cased it would name a file that does not exist.
  EXPECT_EQ(tt::window_title(win), "Example.dat");
  const std::string path = (dir.path() / "Example.dat").string();
  EXPECT_EQ(w.datafile, path);
  EXPECT_EQ(gp.cfilenamepath, path);
  EXPECT_EQ(gp.cfilenamedata, path);
  EXPECT_EQ(gp.cfilename, "Example.dat");
  EXPECT_EQ(gp.cpath, dir.path().string() + "/");
  EXPECT_EQ(w.file_chosen.load(), 1);
  EXPECT_TRUE(item(w.ids.run));
  EXPECT_TRUE(control(w.ids.run_button));
  EXPECT_FALSE(control(w.ids.results_button) || control(w.ids.model1_box));
  EXPECT_FALSE(item(w.ids.save_screen) || item(w.ids.plot_title));
}

TEST_F(Desktop, CancellingTheOpenDialogReturnsToNoDataFile) {
  fs::create_directory(dir.path() / "sub");
  fs::copy_file(dir.path() / "Example.dat", dir.path() / "sub" / "run1.dat");
  open(dir.path() / "sub" / "run1.dat");
  EXPECT_EQ(fs::current_path(), dir.path() / "sub");  // the data folder is the working one

  user->will_answer(DialogKind::OpenFile, false);
  choose(w.ids.open);
  EXPECT_EQ(tt::window_title(win), kProgramTitle);
  EXPECT_EQ(w.datafile, kCancelledDataFile);
  EXPECT_EQ(w.file_chosen.load(), 0);
  EXPECT_EQ(gp.cpath, (dir.path() / "sub").string() + "/");
  EXPECT_EQ(gp.cfilename, "run1.dat");  // the earlier pick's fields stay
  EXPECT_FALSE(item(w.ids.run) || control(w.ids.run_button));
  EXPECT_TRUE(item(w.ids.open));

  // Run with no file chosen does nothing but show that state.
  act([&] { handle_run(w); });
  EXPECT_FALSE(item(w.ids.run) || control(w.ids.run_button));
  EXPECT_FALSE(fs::exists(dir.path() / "sub" / "run1.out"));
}

TEST_F(Desktop, ARunPlotsTheDataWithBothCurvesAndMakesEverythingUsable) {
  open_and_run(dir.path() / "Example.dat");
  EXPECT_TRUE(fs::exists(dir.path() / "Example.out"));
  ASSERT_EQ(nr.n8, 13);
  EXPECT_EQ(w.times.size(), 13u);
  for (int id : {w.ids.open, w.ids.run, w.ids.save_screen, w.ids.print_screen, w.ids.description,
                 w.ids.example_data, w.ids.about, w.ids.quit, w.ids.plot_title, w.ids.ordinate,
                 w.ids.abscissa}) {
    EXPECT_TRUE(item(id)) << "item " << id;
  }
  for (int id : {w.ids.model1_box, w.ids.model2_box, w.ids.run_button, w.ids.results_button}) {
    EXPECT_TRUE(control(id)) << "control " << id;
  }
  with_window(win, [&] {
    EXPECT_EQ(toolkit::checkboxischecked(w.ids.model1_box), 1);
    EXPECT_EQ(toolkit::checkboxischecked(w.ids.model2_box), 1);
  });
  const tt::PageImage p = page();
  EXPECT_GT(count_pixels(p, kGreen, 0, 0, 541, 541), 13 * 9);  // 13 filled squares
  EXPECT_GT(count_pixels(p, kBlue, 0, 0, 541, 541), 100);
  EXPECT_GT(count_pixels(p, kViolet, 0, 0, 541, 541), 100);
  EXPECT_GT(count_pixels(p, kTitleBlue, 0, 10, 541, 40), 0);  // the title at y = 25
  EXPECT_EQ(count_pixels(p, kPromptRed), 0);
}

TEST_F(Desktop, TheCheckBoxesChooseTheCurves) {
  open_and_run(dir.path() / "Example.dat");
  click_and_settle(w.ids.model1_box);
  tt::PageImage p = page();
  // Data and Model 2 remain, in the plot and the legend; Model 1 is gone from both.
  EXPECT_EQ(count_pixels(p, kBlue), 0);
  EXPECT_GT(count_pixels(p, kGreen), 0);
  EXPECT_GT(count_pixels(p, kViolet), 100);
  EXPECT_TRUE(control(w.ids.results_button));

  click_and_settle(w.ids.model2_box);
  p = page();
  EXPECT_EQ(count_pixels(p, kGreen) + count_pixels(p, kViolet), 0);
  EXPECT_GT(count_pixels(p, kPromptRed, 180, 280, 420, 320), 0);
  EXPECT_FALSE(control(w.ids.results_button));
  EXPECT_TRUE(control(w.ids.run_button));

  // A second run checks both boxes again and takes the new file's point count.
  std::ofstream(dir.path() / "type2.dat")
      << "-4.5\n0.0, 0.0\n0.5, 1.0\n1.0, 1.7\n2.0, 2.6\n3.0, 3.1\n4.0, 3.4\n6.0, 3.6\n";
  open_and_run(dir.path() / "type2.dat");
  EXPECT_EQ(nr.n8, 7);
  EXPECT_EQ(w.model1.size(), 7u);
  EXPECT_EQ(gp.model1lbl, "Type 2 Deactivation Model 1");
  p = page();
  EXPECT_GT(count_pixels(p, kBlue), 0);
  EXPECT_GT(count_pixels(p, kViolet), 0);
}

TEST_F(Desktop, TheLabelCommandsChangeTheDrawnTitleAndLabels) {
  open_and_run(dir.path() / "Example.dat");
  const tt::PageImage before = page();

  user->will_answer(DialogKind::RequestText, true, "Enzyme B");
  choose_and_settle(w.ids.plot_title);
  tt::DialogRequest asked = user->last();
  EXPECT_EQ(asked.title, "Plot Label");
  EXPECT_EQ(asked.prompt, "Title of Plot");
  EXPECT_EQ(asked.text, "Normalized Progress Curves");
  EXPECT_EQ(gp.xytitlelbl, "Enzyme B");
  EXPECT_EQ(nr.title8, "Enzyme B");
  tt::PageImage after = page();
  EXPECT_GT(count_changed(before, after, 0, 5, 541, 45), 0);
  // A shorter title inks fewer pixels.
  const int white = count_pixels(before, kWhite, 0, 5, 541, 45);
  EXPECT_GT(count_pixels(after, kWhite, 0, 5, 541, 45), white);

  user->will_answer(DialogKind::RequestText, true, "   Rate");
  choose_and_settle(w.ids.ordinate);
  asked = user->last();
  EXPECT_EQ(asked.title, "Ordinate Label");
  EXPECT_EQ(asked.prompt, "Y Axis Label");
  EXPECT_EQ(asked.text, "Normalized Product");
  EXPECT_EQ(w.labels[1], "   Rate");
  EXPECT_EQ(nr.label8[1], "   Rate");
  const tt::PageImage after_y = page();
  EXPECT_GT(count_changed(after, after_y, 0, 60, 40, 480), 0);

  user->will_answer(DialogKind::RequestText, true, std::string(60, 'm'));
  choose_and_settle(w.ids.abscissa);
  EXPECT_EQ(user->last().title, "Abscissa Label");
  EXPECT_EQ(user->last().prompt, "X Axis Label");
  EXPECT_EQ(gp.xaxislbl, std::string(50, 'm'));  // cut to 50 characters
  EXPECT_GT(count_changed(after_y, page(), 40, 480, 541, 541), 0);

  // The title dialog offers the run's title again, not the earlier edit.
  user->will_answer(DialogKind::RequestText, true, "Enzyme C");
  choose_and_settle(w.ids.plot_title);
  EXPECT_EQ(user->last().text, "Normalized Progress Curves");
  EXPECT_EQ(gp.xytitlelbl, "Enzyme C");
}

TEST_F(Desktop, DisplayResultsShowsTheReportWholeAndSavesItAsText) {
  open_and_run(dir.path() / "Example.dat");
  const std::string report = test::TempDir::read(dir.path() / "Example.out");
  ASSERT_FALSE(report.empty());
  const int viewer = open_viewer(report);
  EXPECT_EQ(tt::window_title(viewer), "Brevantix Results");
  EXPECT_FALSE(item(w.ids.quit));
  EXPECT_FALSE(control(w.ids.run_button) || control(w.ids.results_button));
  EXPECT_TRUE(item(w.ids.open));

  // A check box toggled meanwhile must not bring the buttons back.
  click_and_settle_while_viewer(w.ids.model2_box);
  EXPECT_FALSE(control(w.ids.run_button) || control(w.ids.results_button));
  EXPECT_EQ(testing::textbox_text(viewer, 0), report);  // nothing went into the wrong window

  // Open and Run are refused while the viewer is open, with a word to the user.
  const std::size_t dialogs = user->shown_count();
  handle_open(w);
  EXPECT_EQ(user->shown_count(), dialogs + 1);
  EXPECT_EQ(w.pending.load(), kActionViewerOpened);

  // Save Data proposes the report's name with ".txt" and writes the text there, twice over.
  for (int round = 0; round < 2; ++round) {
    user->will_answer(DialogKind::SaveFile, true, "Example.txt");
    tt::choose_menu_item(viewer, kViewerSaveItem);
    ASSERT_TRUE(eventually([&] { return fs::exists(dir.path() / "Example.txt"); }));
    ASSERT_TRUE(eventually([&] { return !fs::exists(dir.path() / "Example.txt.part"); }));
    const tt::DialogRequest asked = user->last();
    EXPECT_EQ(asked.kind, DialogKind::SaveFile);
    EXPECT_EQ(asked.title, "Save Data");
    EXPECT_EQ(asked.text, "Example.txt");
    EXPECT_FALSE(asked.confirm_overwrite);
    EXPECT_TRUE(eventually(
        [&] { return test::TempDir::read(dir.path() / "Example.txt") == report + "\r\n"; }));
    if (round == 0) fs::remove(dir.path() / "Example.txt");
  }

  exit_viewer(viewer);
  EXPECT_FALSE(toolkit::isvalidwindow(viewer));
  EXPECT_TRUE(item(w.ids.quit));
  EXPECT_TRUE(control(w.ids.run_button));
  EXPECT_TRUE(control(w.ids.results_button));  // Model 1 is still checked
}

TEST_F(Desktop, QuitEndsTheProgramLoopAndClosesTheWindow) {
  tt::choose_menu_item(win, w.ids.quit);
  ASSERT_TRUE(eventually([&] { return ended.load(); }));
  EXPECT_FALSE(toolkit::isvalidwindow(win));
  EXPECT_TRUE(stop_text.empty());
}

TEST_F(Desktop, TiedTimesStopTheProgramWithTheirMessage) {
  std::ofstream(dir.path() / "tied.dat") << "4.5\n1, 1\n1, 2\n1, 3\n1, 4\n1, 5\n";
  open(dir.path() / "tied.dat");
  tt::choose_menu_item(win, w.ids.run);
  ASSERT_TRUE(eventually([&] { return ended.load(); }));
  EXPECT_EQ(stop_text, "Run Aborted!");
  EXPECT_EQ(stop_message, "Time values in file must not be equal! Program terminated!");
  EXPECT_TRUE(toolkit::isvalidwindow(win));  // left open for the error box
}

TEST_F(Desktop, AFileThatCannotBeReadIsReportedAndStaysChosen) {
  std::ofstream(dir.path() / "bad.dat") << "4.5\n0, 0\n1\n2, 3\n";
  open_and_run(dir.path() / "bad.dat");
  const tt::DialogRequest box = user->last();
  EXPECT_EQ(box.kind, DialogKind::Message);
  EXPECT_EQ(box.title, "Error");
  EXPECT_EQ(box.icon, 3);
  EXPECT_NE(box.text.find((dir.path() / "bad.dat").string() + ":3:"), std::string::npos);
  EXPECT_FALSE(ended.load());
  EXPECT_TRUE(item(w.ids.run) && control(w.ids.run_button));
  EXPECT_FALSE(control(w.ids.results_button));
}

TEST_F(Desktop, TheInformationScreensShowTheirTexts) {
  choose_and_settle(w.ids.example_data);
  tt::DialogRequest box = user->last();
  EXPECT_EQ(box.title, "Information");
  EXPECT_EQ(box.icon, 1);
  EXPECT_EQ(box.text, lf_lines(example_text()));

  choose_and_settle(w.ids.description);
  box = user->last();
  EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "     Brevantix-kd\u2122 Description");

  choose_and_settle(w.ids.about);
  box = user->last();
  EXPECT_EQ(box.text.substr(0, box.text.find('\n')).substr(0, 15), "Brevantix-kd\u2122");
  EXPECT_TRUE(toolkit::isvalidwindow(win));
}

TEST_F(Desktop, SaveScreenWritesTheWindowAsABitmapAndPrintScreenPrints) {
  open_and_run(dir.path() / "Example.dat");
  user->will_answer(DialogKind::SaveFile, true, (dir.path() / "shot").string());
  choose_and_settle(w.ids.save_screen);
  const std::string bmp = test::TempDir::read(dir.path() / "shot.BMP");
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  auto le32 = [&](std::size_t at) {
    return static_cast<int>(static_cast<unsigned char>(bmp[at]) |
                            static_cast<unsigned char>(bmp[at + 1]) << 8 |
                            static_cast<unsigned char>(bmp[at + 2]) << 16);
  };
  // The whole window, both edges included.
  EXPECT_EQ(le32(18), kMainWidth + 1);
  EXPECT_EQ(le32(22), kMainHeight + 1);

  user->will_answer(DialogKind::Print, true, (dir.path() / "page.pdf").string());
  choose_and_settle(w.ids.print_screen);
  EXPECT_EQ(test::TempDir::read(dir.path() / "page.pdf").substr(0, 4), "%PDF");
}

}  // namespace
}  // namespace brx
