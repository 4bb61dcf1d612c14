// The desktop program driven as a user drives it: menu items chosen, controls clicked, dialogs
// answered, the window's picture inspected.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <initializer_list>
#include <memory>
#include <regex>
#include <string>
#include <thread>

#include "app/file_channels.h"
#include "app/file_selection.h"
#include "app/info_screens.h"
#include "app/live_file_view.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/selwyn_window.h"
#include "app/text_fields.h"
#include "base/stop.h"
#include "tests/app/desktop_fixture.h"
#include "tests/support/bmp_file.h"
#include "tests/support/temp_dir.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::test;
using testing::count_pixels;
using testing::eventually;
using tt::DialogKind;

constexpr std::uint32_t kGreen = 0x228B22;   // measured points
constexpr std::uint32_t kBlue = 0x0000FF;    // Model 1
constexpr std::uint32_t kViolet = 0x9400D3;  // Model 2
constexpr std::uint32_t kPromptRed = 0x800000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
// How often `pattern` occurs in `text`.
long count_matches(const std::string& text, const std::string& pattern) {
  const std::regex re(pattern);
  return std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator());
}

constexpr int kViewerSaveItem = 0;  // the results viewer's menu items, in the order it makes them
constexpr int kViewerExitItem = 2;

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
      }
      ended = true;
    });
    ASSERT_TRUE(eventually([&] { return w.idle_passes.load() >= 1; }));
    win = w.ids.window;
  }
  void TearDown() override {
    if (!ended) handle_quit(w);
    // A main loop that lost its wake-up never ends: fail the test instead of hanging the suite.
    if (!eventually([&] { return ended.load(); }, 30000)) {
      std::fprintf(stderr, "The main loop did not end after Quit.\n");
      std::_Exit(1);
    }
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
  void open_and_run(const fs::path& file, bool run = true) {
    user->will_answer(DialogKind::OpenFile, true, file.string());
    choose(w.ids.open);
    if (run) choose(w.ids.run);
  }
  // Waits for handlers that do not wake the main loop (check boxes, label dialogs, screens);
  // `busy` callback threads may keep running (the results viewer's loop).
  static void settle(int busy = 0) {
    ASSERT_TRUE(eventually([&] { return tt::running_callbacks() <= busy; }));
  }
  tt::PageImage page() const { return tt::grab_page(win); }
  bool item(int id) const { return tt::menu_item_enabled(win, id); }
  bool control(int id) const { return tt::control_enabled(win, id); }
  // Expects the menu items and controls named to be usable, or all greyed.
  void expect_usable(bool usable, std::initializer_list<int> items,
                     std::initializer_list<int> controls) const {
    for (int id : items) EXPECT_EQ(item(id), usable) << "item " << id;
    for (int id : controls) EXPECT_EQ(control(id), usable) << "control " << id;
  }

  test::TempDir dir;
  globalsplot gp;
  MainWindow w{gp};
  std::unique_ptr<testing::ScriptedUser> user;
  std::thread program;
  std::atomic<bool> ended{false};
  std::string stop_text;
  int win = -1;
};

TEST_F(Desktop, StartsWithOnlyOpenTheScreensAndQuitUsableAndQuitEndsIt) {
  EXPECT_EQ(tt::window_title(win), kProgramTitle);
  EXPECT_EQ(tt::client_size(win), std::make_pair(kMainWidth, kMainHeight));
  expect_usable(true, {w.ids.open, w.ids.description, w.ids.example_data, w.ids.about, w.ids.quit},
                {});
  expect_usable(false,
                {w.ids.run, w.ids.save_screen, w.ids.save_plot, w.ids.print_screen,
                 w.ids.plot_title, w.ids.ordinate, w.ids.abscissa},
                {w.ids.model1_box, w.ids.model2_box, w.ids.run_button, w.ids.results_button});
  const tt::PageImage p = page();
  EXPECT_GT(count_pixels(p, kPromptRed, 180, 280, 420, 320), 0);  // the prompt, nothing else
  EXPECT_EQ(count_pixels(p, kGreen) + count_pixels(p, kBlue) + count_pixels(p, kViolet), 0);

  // The title bar's close button is refused: the window stays and the loop sleeps on.
  const int passes = w.idle_passes.load();
  tt::press_close_button(win);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(toolkit::isvalidwindow(win));
  EXPECT_EQ(w.idle_passes.load(), passes);

  tt::choose_menu_item(win, w.ids.quit);
  ASSERT_TRUE(eventually([&] { return ended.load(); }));
  EXPECT_FALSE(toolkit::isvalidwindow(win));
  EXPECT_TRUE(stop_text.empty());
}

TEST_F(Desktop, OpenShowsTheFileAndRunBeforeAnyFileDoesNothing) {
  // Run with no file chosen does nothing but show the start state.
  act([&] { handle_run(w); });
  EXPECT_FALSE(item(w.ids.run) || control(w.ids.run_button));

  fs::create_directory(dir.path() / "sub");
  fs::copy_file(dir.path() / "Example.dat", dir.path() / "sub" / "Run1.dat");
  open_and_run(dir.path() / "sub" / "Run1.dat", false);
  const tt::DialogRequest asked = user->last();
  EXPECT_EQ(asked.title, "Enter data file");
  EXPECT_EQ(fs::path(asked.folder), dir.path());  // opened on "<cwd>/*.dat"
  EXPECT_NE(asked.filter.find("*.dat"), std::string::npos);
  EXPECT_NE(asked.filter.find("*.csv *.CSV *.tsv *.TSV *.txt"), std::string::npos);
  EXPECT_NE(asked.filter.find("All Files"), std::string::npos);

  // The name keeps its case: upper-cased it would name a file that does not exist.
  const std::string path = (dir.path() / "sub" / "Run1.dat").string();
  EXPECT_EQ(tt::window_title(win), "Run1.dat");
  EXPECT_EQ(w.datafile, path);
  EXPECT_EQ(gp.cfilenamepath, path);
  EXPECT_EQ(gp.cfilenamedata, path);
  EXPECT_EQ(gp.cfilename, "Run1.dat");
  EXPECT_EQ(gp.cpath, path.substr(0, path.size() - 8));
  EXPECT_EQ(fs::current_path(), dir.path() / "sub");
  EXPECT_TRUE(item(w.ids.run) && control(w.ids.run_button));
  EXPECT_FALSE(control(w.ids.results_button) || control(w.ids.model1_box));
  EXPECT_FALSE(item(w.ids.save_screen) || item(w.ids.plot_title));
}

// Cancel leaves everything as it was: after a run, a cancelled Open keeps the file, the plot and
// what is usable; a cancelled label dialog keeps the custom text it offered.
TEST_F(Desktop, CancelChangesNothing) {
  open_and_run(dir.path() / "Example.dat");
  user->will_answer(DialogKind::RequestText, true, "Enzyme B");
  tt::choose_menu_item(win, w.ids.plot_title);
  settle();
  const tt::PageImage before = page();
  const CommandStates states = w.states;
  const globalsplot fields = gp;

  user->will_answer(DialogKind::OpenFile, false);
  choose(w.ids.open);
  EXPECT_EQ(tt::window_title(win), "Example.dat");
  EXPECT_EQ(w.datafile, (dir.path() / "Example.dat").string());
  EXPECT_EQ(w.file_chosen.load(), 1);
  EXPECT_EQ(gp.cpath, fields.cpath);
  EXPECT_EQ(w.states, states);
  EXPECT_EQ(testing::count_changed(before, page(), 0, 0, kMainWidth, kMainHeight), 0);
  EXPECT_EQ(w.times.size(), 13u);

  for (int id : {w.ids.plot_title, w.ids.ordinate, w.ids.abscissa}) {
    user->will_answer(DialogKind::RequestText, false);
    tt::choose_menu_item(win, id);
    settle();
    EXPECT_EQ(user->last().kind, DialogKind::RequestText);
  }
  EXPECT_EQ(user->last().text, "Normalized Time");  // the x label as drawn
  EXPECT_EQ(gp.xytitlelbl, "Enzyme B");
  EXPECT_EQ(gp.xaxislbl, fields.xaxislbl);
  EXPECT_EQ(gp.yaxislbl, fields.yaxislbl);
  EXPECT_EQ(testing::count_changed(before, page(), 0, 0, kMainWidth, kMainHeight), 0);
}

TEST_F(Desktop, ARunPlotsBothCurvesAndTheCheckBoxesChooseThem) {
  open_and_run(dir.path() / "Example.dat");
  EXPECT_TRUE(fs::exists(dir.path() / "Example.out"));
  EXPECT_EQ(w.times.size(), 13u);
  expect_usable(true,
                {w.ids.open, w.ids.run, w.ids.save_screen, w.ids.print_screen, w.ids.quit,
                 w.ids.plot_title, w.ids.ordinate, w.ids.abscissa},
                {w.ids.model1_box, w.ids.model2_box, w.ids.run_button, w.ids.results_button});
  with_window(win, [&] {
    EXPECT_EQ(toolkit::checkboxischecked(w.ids.model1_box), 1);
    EXPECT_EQ(toolkit::checkboxischecked(w.ids.model2_box), 1);
  });
  tt::PageImage p = page();
  EXPECT_GT(count_pixels(p, kGreen, 0, 0, 541, 541), 13 * 9);  // 13 filled squares
  EXPECT_GT(count_pixels(p, kBlue, 0, 0, 541, 541), 100);
  EXPECT_GT(count_pixels(p, kViolet, 0, 0, 541, 541), 100);
  EXPECT_LT(count_pixels(p, kWhite, 0, 15, 541, 35), 541 * 20);  // the title at y = 25

  // Model 1 unchecked: data and Model 2 remain, in the plot and in the legend.
  tt::click_control(win, w.ids.model1_box);
  settle();
  p = page();
  EXPECT_EQ(count_pixels(p, kBlue), 0);
  EXPECT_GT(count_pixels(p, kGreen), 0);
  EXPECT_GT(count_pixels(p, kViolet), 100);
  EXPECT_TRUE(control(w.ids.results_button));
  tt::click_control(win, w.ids.model2_box);
  settle();
  p = page();
  EXPECT_EQ(count_pixels(p, kGreen) + count_pixels(p, kViolet), 0);
  EXPECT_GT(count_pixels(p, kPromptRed, 180, 280, 420, 320), 0);
  EXPECT_FALSE(control(w.ids.results_button));
  EXPECT_TRUE(control(w.ids.run_button));

  // Choosing another file keeps what the earlier run made usable; its run checks both boxes
  // again and takes the new file's point count.
  std::ofstream(dir.path() / "type2.dat")
      << "-4.5\n0.0, 0.0\n0.5, 1.0\n1.0, 1.7\n2.0, 2.6\n3.0, 3.1\n4.0, 3.4\n6.0, 3.6\n";
  open_and_run(dir.path() / "type2.dat", false);
  EXPECT_TRUE(item(w.ids.save_screen) && item(w.ids.print_screen) && item(w.ids.plot_title));
  EXPECT_FALSE(control(w.ids.results_button) || control(w.ids.model1_box));
  choose(w.ids.run);
  EXPECT_EQ(w.results.n8, 7);
  EXPECT_EQ(w.model1.size(), 7u);
  EXPECT_EQ(gp.model1lbl, "Type 2 Deactivation Model 1");
  p = page();
  EXPECT_GT(count_pixels(p, kBlue) * count_pixels(p, kViolet), 0);
}

TEST_F(Desktop, TheLabelCommandsChangeTheDrawnTitleAndLabels) {
  open_and_run(dir.path() / "Example.dat");
  const struct {
    int item;
    std::string answer, title, prompt, offered;
    int left, top, right, bottom;  // where the drawing changes
  } edits[] = {
      {w.ids.plot_title, "Enzyme B", "Plot Label", "Title of Plot", "Normalized Progress Curves", 0,
       5, 541, 45},
      {w.ids.ordinate, "   Rate", "Ordinate Label", "Y Axis Label", "Normalized Product", 0, 60, 40,
       480},
      {w.ids.abscissa, std::string(60, 'm'), "Abscissa Label", "X Axis Label", "Normalized Time",
       40, 480, 541, 541},
  };
  for (const auto& e : edits) {
    const tt::PageImage before = page();
    user->will_answer(DialogKind::RequestText, true, e.answer);
    tt::choose_menu_item(win, e.item);
    settle();
    const tt::DialogRequest asked = user->last();
    EXPECT_EQ(asked.title, e.title);
    EXPECT_EQ(asked.prompt, e.prompt);
    EXPECT_EQ(asked.text, e.offered);
    EXPECT_GT(testing::count_changed(before, page(), e.left, e.top, e.right, e.bottom), 0)
        << e.title;
  }
  EXPECT_EQ(gp.xytitlelbl, "Enzyme B");
  EXPECT_EQ(w.results.title8, "Enzyme B");
  EXPECT_EQ(w.results.label8[1], "   Rate");     // drawn left-adjusted
  EXPECT_EQ(gp.xaxislbl, std::string(50, 'm'));  // cut to 50 characters

  // Each dialog offers the text as drawn now, the earlier edit included.
  user->will_answer(DialogKind::RequestText, true, "Enzyme C");
  tt::choose_menu_item(win, w.ids.plot_title);
  settle();
  EXPECT_EQ(user->last().text, "Enzyme B");
  EXPECT_EQ(gp.xytitlelbl, "Enzyme C");
  user->will_answer(DialogKind::RequestText, true, "Time");
  tt::choose_menu_item(win, w.ids.abscissa);
  settle();
  EXPECT_EQ(user->last().text, std::string(50, 'm'));
}

TEST_F(Desktop, DisplayResultsShowsTheReportWholeAndSavesItAsText) {
  open_and_run(dir.path() / "Example.dat");
  const std::string report = test::TempDir::read(dir.path() / "Example.out");
  ASSERT_FALSE(report.empty());
  ASSERT_TRUE(tt::press_keys(win, "Alt+D"));  // Display Results
  int viewer = -1;
  ASSERT_TRUE(eventually([&] {
    std::lock_guard lock(window_mutex());
    viewer = w.windows.idactivetextwin;
    return viewer >= 0 && toolkit::isvalidwindow(viewer);
  }));
  EXPECT_TRUE(eventually([&] { return testing::textbox_text(viewer, 0) == report; }));
  EXPECT_EQ(tt::window_title(viewer), "Brevantix Results");
  // Read from the top, in columns, and not to be edited.
  const tt::TextBoxLook look = tt::textbox_look(viewer, 0);
  EXPECT_EQ(look.top_line, 0);
  EXPECT_EQ(look.left, 0);
  EXPECT_TRUE(look.read_only);
  EXPECT_TRUE(look.fixed_pitch);
  EXPECT_EQ(look.font_family, "DejaVu Sans Mono");
  EXPECT_EQ(tt::menu_item_shortcut(viewer, kViewerSaveItem), "Ctrl+S");
  EXPECT_FALSE(item(w.ids.quit) || control(w.ids.run_button) || control(w.ids.results_button));

  // A check box toggled meanwhile neither brings the buttons back nor draws into the viewer.
  tt::click_control(win, w.ids.model2_box);
  settle(1);
  EXPECT_FALSE(control(w.ids.run_button) || control(w.ids.results_button));
  EXPECT_EQ(testing::textbox_text(viewer, 0), report);

  // Open and Run are refused while the viewer is open, with a word to the user.
  handle_open(w);
  EXPECT_EQ(user->last().kind, DialogKind::Message);
  EXPECT_EQ(w.pending.load(), kActionViewerOpened);

  // Save Data (Ctrl+S) proposes the report's name with ".txt" and overwrites without asking.
  dir.write("Example.txt", "an earlier save");
  user->will_answer(DialogKind::SaveFile, true, "Example.txt");
  ASSERT_TRUE(tt::press_keys(viewer, "Ctrl+S"));
  ASSERT_TRUE(eventually(
      [&] { return test::TempDir::read(dir.path() / "Example.txt") == report + "\r\n"; }));
  EXPECT_EQ(user->last().title, "Save Data");
  EXPECT_EQ(user->last().text, "Example.txt");
  EXPECT_FALSE(user->last().confirm_overwrite);
  // A save that cannot be written says why in an error box.
  user->will_answer(DialogKind::SaveFile, true, (dir.path() / "gone" / "Example.txt").string());
  ASSERT_TRUE(tt::press_keys(viewer, "Ctrl+S"));
  ASSERT_TRUE(eventually([&] { return user->last().kind == DialogKind::Message; }));
  EXPECT_EQ(user->last().icon, 3);
  EXPECT_NE(user->last().text.find("/gone/Example.txt\nNo such file or directory"),
            std::string::npos)
      << user->last().text;

  act([&] { tt::choose_menu_item(viewer, kViewerExitItem); });
  settle();
  EXPECT_FALSE(toolkit::isvalidwindow(viewer));
  EXPECT_TRUE(item(w.ids.quit) && control(w.ids.run_button));
  EXPECT_TRUE(control(w.ids.results_button));  // Model 1 is still checked
}

// The main loop and the results viewer's loop each keep their own wake-ups while other threads
// make either window current (the live view fills the viewer, the main window's commands redraw
// the plot): a command's wake-up reaches the main loop, Save Data the viewer's, Save Screen saves
// the main window even with the viewer current, and both loops end.
TEST_F(Desktop, TheMainLoopAndTheViewersLoopKeepTheirOwnWakeUps) {
  open_and_run(dir.path() / "Example.dat");
  const std::string report = test::TempDir::read(dir.path() / "Example.out");
  tt::click_control(win, w.ids.results_button);
  int viewer = -1;
  ASSERT_TRUE(eventually([&] {
    std::lock_guard lock(window_mutex());
    viewer = w.windows.idactivetextwin;
    return viewer >= 0 && toolkit::isvalidwindow(viewer);
  }));
  ASSERT_TRUE(eventually([&] { return testing::textbox_text(viewer, 0) == report; }));

  // Makes `target` current again whenever another thread has made another window current, as
  // soon as the shell's lock is free: what any thread of the shell may do at any moment.
  struct Switcher {
    std::atomic<int> target{-1};
    std::atomic<bool> stop{false};
    std::thread thread;
    ~Switcher() {
      stop = true;
      if (thread.joinable()) thread.join();
    }
  } switcher;
  switcher.thread = std::thread([&switcher] {
    while (!switcher.stop.load()) {
      const int target = switcher.target.load();
      if (toolkit::getcurrentwindow() == target) continue;
      std::unique_lock lock(window_mutex(), std::try_to_lock);
      if (lock.owns_lock()) toolkit::setcurrentwindow(target);
    }
  });
  for (int i = 0; i < 40; ++i) {
    switcher.target = viewer;
    const int passes = w.idle_passes.load();
    with_window(win, [] { toolkit::stopidle(); });
    ASSERT_TRUE(eventually([&] { return w.idle_passes.load() > passes; }, 5000))
        << "the main loop missed wake-up " << i;
    const fs::path shot = dir.path() / ("shot" + std::to_string(i) + ".BMP");
    user->will_answer(DialogKind::SaveFile, true, shot.string());
    tt::choose_menu_item(win, w.ids.save_screen);
    ASSERT_TRUE(eventually([&] { return fs::exists(shot); }, 5000));
    // The plot's green points (blue, green, red in the file) are in the main window only.
    EXPECT_NE(test::TempDir::read(shot).find("\x22\x8B\x22"), std::string::npos)
        << "Save Screen " << i << " saved another window";
    EXPECT_EQ(user->last().window, win);

    switcher.target = win;
    const fs::path text = dir.path() / ("saved" + std::to_string(i) + ".txt");
    user->will_answer(DialogKind::SaveFile, true, text.string());
    tt::choose_menu_item(viewer, kViewerSaveItem);
    ASSERT_TRUE(eventually([&] { return test::TempDir::read(text) == report + "\r\n"; }, 5000))
        << "the viewer's loop missed wake-up " << i;
    EXPECT_EQ(user->last().window, viewer);
  }
  switcher.target = -1;
  act([&] { tt::choose_menu_item(viewer, kViewerExitItem); });
  settle();
  EXPECT_FALSE(toolkit::isvalidwindow(viewer));
  tt::choose_menu_item(win, w.ids.quit);
  EXPECT_TRUE(eventually([&] { return ended.load(); }, 5000));
}

// A folder that cannot be entered is named with the reason in an error box: a pick in such a
// folder is not taken, and a results viewer whose data folder has gone opens all the same.
TEST_F(Desktop, AFolderThatCannotBeEnteredIsNamedInAnErrorBox) {
  const auto expect_box = [&](const fs::path& folder, int window) {
    const tt::DialogRequest box = user->last();
    EXPECT_EQ(box.icon, 3);
    EXPECT_EQ(box.text, "The folder of the data file cannot be entered:\n" + folder.string() +
                            "\nNo such file or directory");
    EXPECT_EQ(box.window, window);
  };
  const fs::path nowhere = dir.path() / "nowhere";
  open_and_run(nowhere / "Example.dat", false);
  expect_box(nowhere, win);
  EXPECT_EQ(w.file_chosen.load(), 0);
  EXPECT_EQ(tt::window_title(win), kProgramTitle);
  EXPECT_EQ(fs::current_path(), dir.path());

  fs::create_directory(dir.path() / "data");
  fs::copy_file(dir.path() / "Example.dat", dir.path() / "data" / "Example.dat");
  open_and_run(dir.path() / "data" / "Example.dat");
  fs::rename(dir.path() / "data", dir.path() / "moved");
  tt::click_control(win, w.ids.results_button);
  int viewer = -1;
  ASSERT_TRUE(eventually([&] {
    std::lock_guard lock(window_mutex());
    viewer = w.windows.idactivetextwin;
    return viewer >= 0 && user->last().kind == DialogKind::Message;
  }));
  expect_box(dir.path() / "data/", viewer);
  EXPECT_TRUE(toolkit::isvalidwindow(viewer));
  act([&] { tt::choose_menu_item(viewer, kViewerExitItem); });
}

// A data file that is missing (typed in the dialog, or deleted before Run) or has a line that
// cannot be read is named in an error box, and the program goes on as it was: the file stays
// chosen and the last results stay on screen.
TEST_F(Desktop, AMissingOrUnreadableFileIsNamedInAnErrorBoxAndNothingElseChanges) {
  const fs::path typo = dir.path() / "Exmaple.dat";
  open_and_run(typo);
  EXPECT_EQ(user->last().title, "Error");
  EXPECT_EQ(user->last().icon, 3);
  EXPECT_EQ(user->last().text, "No data file was found!\n" + typo.string());
  EXPECT_EQ(tt::window_title(win), "Exmaple.dat");
  EXPECT_TRUE(item(w.ids.run) && control(w.ids.run_button));
  EXPECT_FALSE(control(w.ids.results_button) || item(w.ids.save_screen));

  const fs::path data = dir.path() / "Example.dat";
  open_and_run(data);
  const tt::PageImage before = page();
  const CommandStates states = w.states;
  const struct {
    const char* contents;  // null: the file is deleted
    std::string message;
  } cases[] = {
      {"4.5\n0, 0\n1\n2, 3\n", data.string() + ":3:"},
      {nullptr, "No data file was found!\n" + data.string()},
  };
  for (const auto& c : cases) {
    if (c.contents != nullptr) {
      std::ofstream(data) << c.contents;
    } else {
      fs::remove(data);
    }
    choose(w.ids.run);
    const tt::DialogRequest box = user->last();
    EXPECT_EQ(box.kind, DialogKind::Message);
    EXPECT_EQ(box.icon, 3);
    EXPECT_NE(box.text.find(c.message), std::string::npos) << box.text;
    EXPECT_FALSE(ended.load());
    EXPECT_TRUE(stop_text.empty());
    EXPECT_EQ(w.states, states);
    EXPECT_EQ(testing::count_changed(before, page(), 0, 0, kMainWidth, kMainHeight), 0);
    EXPECT_EQ(w.results.n8, 13);
  }
}

// An analysis that gave no curves says so across the plot, shows only the points, and leaves
// the report one click away; the next good run brings the curves back.
TEST_F(Desktop, AnAbortedAnalysisSaysSoInThePlotAndDrawsNoCurves) {
  const struct {
    const char *file, *contents;
  } cases[] = {
      {"flat.dat", "4.5\n0, 0\n1, 0\n2, 0\n3, 0\n4, 0\n5, 0\n"},  // nothing positive
      {"four.dat", "4.5\n0, 0\n1, 1.5\n2, 2.5\n3, 3.0\n"},        // too few points
  };
  // Pixels of the dark red line (its letters are smoothed into the white around them).
  const auto abort_band = [&](const tt::PageImage& p) {
    int n = 0;
    for (int y = kAbortLineY - 10; y <= kAbortLineY + 10; ++y) {
      for (int x = 0; x <= kPlotSize; ++x) {
        const std::uint32_t c = p.at(x, y);
        const int r = static_cast<int>(c >> 16), g = (c >> 8) & 0xFF, b = c & 0xFF;
        if (r > g + 60 && r > b + 60) ++n;
      }
    }
    return n;
  };
  for (const auto& c : cases) {
    std::ofstream(dir.path() / c.file) << c.contents;
    open_and_run(dir.path() / c.file);
    ASSERT_FALSE(w.abort_line.empty()) << c.file;
    const tt::PageImage p = page();
    EXPECT_GT(abort_band(p), 50) << c.file;
    EXPECT_EQ(count_pixels(p, kBlue) + count_pixels(p, kViolet), 0) << c.file;
    EXPECT_TRUE(control(w.ids.results_button) && control(w.ids.run_button)) << c.file;
    EXPECT_TRUE(item(w.ids.save_screen) && item(w.ids.plot_title)) << c.file;
    EXPECT_FALSE(control(w.ids.model1_box) || control(w.ids.model2_box)) << c.file;
  }
  EXPECT_GT(count_pixels(page(), kGreen), 0);  // the short file's four points are shown

  open_and_run(dir.path() / "Example.dat");
  EXPECT_TRUE(w.abort_line.empty());
  const tt::PageImage p = page();
  EXPECT_EQ(abort_band(p), 0);
  EXPECT_GT(count_pixels(p, kBlue) * count_pixels(p, kViolet), 0);
}

// While the analysis runs (here it waits until the test lets it go) the cursor is busy and Run
// cannot be asked for again; both come back when it ends.
TEST_F(Desktop, DuringARunTheCursorIsBusyAndRunIsGreyed) {
  std::promise<void> go;
  std::shared_future<void> released = go.get_future().share();
  std::atomic<bool> entered{false};
  w.analyse = [released, &entered](const std::string& file, globalsplot& gp_run) {
    entered = true;
    released.wait();
    return brevantix_run(file, gp_run);
  };
  open_and_run(dir.path() / "Example.dat", false);
  const int passes = w.idle_passes.load();
  tt::choose_menu_item(win, w.ids.run);
  ASSERT_TRUE(eventually([&] { return entered.load(); }));
  EXPECT_TRUE(eventually([&] { return tt::busy_cursor_shown(win); }));
  EXPECT_FALSE(item(w.ids.run) || control(w.ids.run_button));
  // A check box toggled meanwhile does not bring Run back.
  tt::click_control(win, w.ids.model1_box);
  settle();
  EXPECT_FALSE(item(w.ids.run) || control(w.ids.run_button));
  EXPECT_TRUE(item(w.ids.open) && item(w.ids.quit));
  go.set_value();
  ASSERT_TRUE(eventually([&] { return w.idle_passes.load() > passes; }, 60000));
  EXPECT_FALSE(tt::busy_cursor_shown(win));
  EXPECT_TRUE(item(w.ids.run) && control(w.ids.run_button) && control(w.ids.results_button));
  EXPECT_EQ(w.results.n8, 13);
}

// The access keys of the menus and controls and the shortcuts; the menus' words are as before,
// the "&" only marks the key. Run under a real X server too (see CMakeLists.txt).
TEST_F(Desktop, TheKeyboardReachesEveryCommand) {
  const auto words = [](std::string text) {
    std::erase(text, '&');
    return text;
  };
  EXPECT_EQ(words(tt::menu_text(win, w.ids.file_menu)), "File");
  EXPECT_EQ(words(tt::menu_text(win, w.ids.graph_menu)), "Graph Labels");
  const struct {
    int id;
    const char *words, *keys;
  } items[] = {
      {w.ids.open, "Open Data File", "Ctrl+O"},
      {w.ids.run, "Run Analysis", "Ctrl+R"},
      {w.ids.crosscheck, "Cross-check", ""},
      {w.ids.selwyn, "Selwyn Plot", ""},
      {w.ids.save_screen, "Save Screen", ""},
      {w.ids.save_plot, "Save Plot As\x85", ""},
      {w.ids.print_screen, "Print Screen", "Ctrl+P"},
      {w.ids.description, "Description", ""},
      {w.ids.example_data, "Example Data", ""},
      {w.ids.about, "About", ""},
      {w.ids.quit, "Quit", "Ctrl+Q"},
      {w.ids.plot_title, "Plot Title", ""},
      {w.ids.ordinate, "Ordinate Y Label", ""},
      {w.ids.abscissa, "Abscissa X Label", ""},
  };
  for (const auto& i : items) {
    const std::string text = tt::menu_item_text(win, i.id);
    EXPECT_EQ(words(text), i.words);
    EXPECT_EQ(std::count(text.begin(), text.end(), '&'), 1) << text;
    EXPECT_EQ(tt::menu_item_shortcut(win, i.id), i.keys) << i.words;
  }

  user->will_answer(DialogKind::OpenFile, true, (dir.path() / "Example.dat").string());
  act([&] { ASSERT_TRUE(tt::press_keys(win, "Ctrl+O")); });
  EXPECT_EQ(tt::window_title(win), "Example.dat");
  act([&] { ASSERT_TRUE(tt::press_keys(win, "Ctrl+R")); });
  EXPECT_EQ(w.times.size(), 13u);
  ASSERT_TRUE(tt::press_keys(win, "Alt+1"));  // Model 1 Curve-fit Data, clicked a moment later
  EXPECT_TRUE(eventually([&] { return count_pixels(page(), kBlue) == 0; }));
  act([&] { ASSERT_TRUE(tt::press_keys(win, "Alt+C")); });  // Run Curve-fit: both shown again
  EXPECT_GT(count_pixels(page(), kBlue), 0);

  ASSERT_TRUE(tt::press_keys(win, "F10"));  // File, then Right to the next menu
  ASSERT_TRUE(eventually([] { return tt::open_menu_text() == "&File"; }));
  ASSERT_TRUE(tt::press_keys(win, "Right"));
  ASSERT_TRUE(eventually([] { return tt::open_menu_text() == "&Graph Labels"; }));
  user->will_answer(DialogKind::RequestText, true, "Keyed in");
  ASSERT_TRUE(tt::press_keys(win, "T"));
  settle();
  EXPECT_EQ(user->last().title, "Plot Label");
  EXPECT_EQ(gp.xytitlelbl, "Keyed in");

  user->will_answer(DialogKind::Print, false);
  ASSERT_TRUE(tt::press_keys(win, "Ctrl+P"));
  settle();
  EXPECT_EQ(user->last().kind, DialogKind::Print);
  ASSERT_TRUE(tt::press_keys(win, "Ctrl+Q"));
  EXPECT_TRUE(eventually([&] { return ended.load(); }));
}

TEST_F(Desktop, TheInformationScreensSaveScreenAndPrintScreen) {
  tt::choose_menu_item(win, w.ids.example_data);
  settle();
  std::string expected = example_text();
  for (std::size_t at; (at = expected.find("\r\n")) != std::string::npos;) expected.erase(at, 1);
  EXPECT_EQ(user->last().title, "Information");
  EXPECT_EQ(user->last().icon, 1);
  EXPECT_EQ(user->last().text, expected);
  tt::choose_menu_item(win, w.ids.description);
  settle();
  EXPECT_EQ(user->last().text.substr(0, 32), "     Brevantix-kd\u2122 Description");

  open_and_run(dir.path() / "Example.dat");
  user->will_answer(DialogKind::SaveFile, true, (dir.path() / "shot").string());
  tt::choose_menu_item(win, w.ids.save_screen);
  settle();
  const test::Bmp shot = test::read_bmp(dir.path() / "shot.BMP");
  EXPECT_EQ(shot.fault, "");
  // The whole window, both edges included.
  EXPECT_EQ(std::pair(shot.width, shot.height), std::pair(kMainWidth + 1, kMainHeight + 1));
  const std::string bmp = test::TempDir::read(dir.path() / "shot.BMP");
  // The batch command's --plot saves the very same picture (when both draw off screen: on an X
  // server the interface font may differ).
  if (const char* platform = std::getenv("QT_QPA_PLATFORM");
      platform != nullptr && std::string(platform) == "offscreen") {
    test::TempDir batch_dir;
    fs::copy_file(dir.path() / "Example.dat", batch_dir.path() / "Example.dat");
    const std::string command = "cd '" + batch_dir.path().string() + "' && '" + BRX_BATCH_PROGRAM +
                                "' --plot Example.dat >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(test::TempDir::read(batch_dir.path() / "Example.bmp") == bmp);
  }
  // The page is drawn at the printer's resolution: text and lines, no picture of pixels.
  user->will_answer(DialogKind::Print, true, (dir.path() / "page.pdf").string());
  tt::choose_menu_item(win, w.ids.print_screen);
  settle();
  const std::string page_pdf = test::TempDir::read(dir.path() / "page.pdf");
  EXPECT_EQ(page_pdf.substr(0, 4), "%PDF");
  EXPECT_EQ(count_matches(page_pdf, "/Subtype\\s*/Image"), 0);
  EXPECT_GE(count_matches(page_pdf, "/FontFile2"), 1);

  // A picture that cannot be saved or printed is named in an error box with the reason; a
  // cancelled dialog is no failure.
  const struct {
    int item;
    DialogKind dialog;
    const char* box;
  } failures[] = {{w.ids.save_screen, DialogKind::SaveFile, "The screen could not be saved:"},
                  {w.ids.print_screen, DialogKind::Print, "The screen could not be printed:"}};
  for (const auto& f : failures) {
    user->will_answer(f.dialog, true, (dir.path() / "gone" / "shot.bmp").string());
    tt::choose_menu_item(win, f.item);
    settle();
    EXPECT_EQ(user->last().kind, DialogKind::Message) << f.box;
    EXPECT_EQ(user->last().icon, 3);
    EXPECT_EQ(user->last().text, std::string(f.box) + "\nNo such file or directory");
    user->will_answer(f.dialog, false);
    tt::choose_menu_item(win, f.item);
    settle();
    EXPECT_EQ(user->last().kind, f.dialog) << "no box after Cancel";
  }
}

// Save Plot As writes the window's picture in the format its name's extension asks for: the
// window's pixels as PNG, or the picture drawn anew as an SVG image or a one-page PDF document.
TEST_F(Desktop, SavePlotAsWritesPngSvgOrPdfByTheExtension) {
  open_and_run(dir.path() / "Example.dat");
  ASSERT_TRUE(item(w.ids.save_plot));
  const auto save = [&](const std::string& name) {
    user->will_answer(DialogKind::SaveFile, true, (dir.path() / name).string());
    tt::choose_menu_item(win, w.ids.save_plot);
    settle();
  };
  save("plot");  // no extension: a PNG
  EXPECT_EQ(user->last().kind, DialogKind::SaveFile);
  EXPECT_NE(user->last().filter.find("*.svg"), std::string::npos) << user->last().filter;
  const std::string png = test::TempDir::read(dir.path() / "plot.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  const auto big_endian = [&png](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) v = v << 8 | static_cast<unsigned char>(png[at + k]);
    return v;
  };
  EXPECT_EQ(big_endian(16), kMainWidth + 1u);  // Save Screen's region, both edges included
  EXPECT_EQ(big_endian(20), kMainHeight + 1u);

  save("plot.SVG");
  const std::string svg = test::TempDir::read(dir.path() / "plot.SVG");
  EXPECT_NE(svg.find("<svg width=\"550\" height=\"650\""), std::string::npos);
  EXPECT_NE(svg.find(">Normalized Time</text>"), std::string::npos);
  EXPECT_EQ(svg.find("<image"), std::string::npos);

  // The check boxes choose what the picture shows, as on screen: Model 1's curve hidden.
  tt::click_control(win, w.ids.model1_box);
  settle();
  save("plot.pdf");
  const std::string pdf = test::TempDir::read(dir.path() / "plot.pdf");
  EXPECT_EQ(count_matches(pdf, "/Type\\s*/Page[^s]"), 1);
  EXPECT_EQ(count_matches(pdf, "/Subtype\\s*/Image"), 0);
  save("blue.svg");
  EXPECT_EQ(test::TempDir::read(dir.path() / "blue.svg").find("#0000ff"), std::string::npos);

  // Another extension, or a file that cannot be written, is named in an error box.
  save("plot.gif");
  EXPECT_EQ(user->last().kind, DialogKind::Message);
  EXPECT_EQ(user->last().icon, 3);
  EXPECT_EQ(user->last().text, "The plot could not be saved:\n" +
                                   (dir.path() / "plot.gif").string() +
                                   "\nChoose a name ending in .png, .svg or .pdf.");
  EXPECT_FALSE(fs::exists(dir.path() / "plot.gif"));
  save("gone/plot.pdf");
  EXPECT_EQ(user->last().text, "The plot could not be saved:\nNo such file or directory");
}

// A report that cannot be written is named in an error box with the reason; the analysis stands
// and is shown.
TEST_F(Desktop, AReportThatCannotBeWrittenIsNamedInAnErrorBoxAndTheResultsStay) {
  fs::create_directory(dir.path() / "Example.out");  // where the report should go
  open_and_run(dir.path() / "Example.dat");
  EXPECT_EQ(user->last().kind, DialogKind::Message);
  EXPECT_EQ(user->last().icon, 3);
  EXPECT_EQ(user->last().text, "The report could not be written:\n" +
                                   (dir.path() / "Example.out").string() + "\nIs a directory");
  EXPECT_EQ(w.results.n8, 13);
  EXPECT_GT(count_pixels(page(), kBlue) * count_pixels(page(), kViolet), 0);
  EXPECT_TRUE(control(w.ids.results_button) && item(w.ids.save_screen));
}

constexpr std::uint32_t kOrange = 0xFF8C00;  // the cross-check's dashed curve

// "Cross-check" and its curve's box are greyed until a run has given a cross-check; its window
// says what the run's cross-check found, and its curve shows only while the box is ticked.
TEST_F(Desktop, TheCrossCheckWindowAndCurveFollowTheRun) {
  expect_usable(false, {w.ids.crosscheck, w.ids.selwyn}, {w.ids.crosscheck_box});
  open_and_run(dir.path() / "Example.dat");
  expect_usable(true, {w.ids.crosscheck}, {w.ids.crosscheck_box});
  EXPECT_FALSE(item(w.ids.selwyn)) << "no table is open";
  ASSERT_TRUE(w.crosscheck.has_value());
  EXPECT_EQ(w.crosscheck->verdict, crosscheck::Verdict::kDeactivation);

  tt::choose_menu_item(win, w.ids.crosscheck);
  ASSERT_TRUE(eventually([&] { return w.crosscheck_window.load() >= 0; }));
  settle();
  const int cc_window = w.crosscheck_window.load();
  const std::string text = testing::textbox_text(cc_window, 0);
  EXPECT_NE(text.find(utf8_to_cp1252(w.crosscheck->text)), std::string::npos) << text;
  for (const char* row : {"Km", "Vmax", "P0", "kd", "SSR", "AICc", "Akaike weight"}) {
    EXPECT_EQ(count_matches(text, std::string("\\n  ") + row + " "), 1) << row;
  }
  EXPECT_NE(text.find("kd, 95 % interval"), std::string::npos);
  tt::choose_menu_item(cc_window, 0);  // its File > Close
  ASSERT_TRUE(eventually([&] { return !toolkit::isvalidwindow(cc_window); }));
  EXPECT_EQ(w.crosscheck_window.load(), -1);

  const tt::PageImage without = page();
  EXPECT_EQ(count_pixels(without, kOrange), 0);
  tt::click_control(win, w.ids.crosscheck_box);
  settle();
  const int dashed = count_pixels(page(), kOrange, 0, 0, 541, 541);
  EXPECT_GT(dashed, 200);
  tt::click_control(win, w.ids.crosscheck_box);
  settle();
  EXPECT_EQ(testing::count_changed(without, page(), 0, 0, kMainWidth, kMainHeight), 0);

  // Another file: no cross-check to show until it has run.
  open_and_run(dir.path() / "Example.dat", false);
  expect_usable(false, {w.ids.crosscheck}, {w.ids.crosscheck_box});
}

// A curve-set table: one curve picked from its list is run and reported beside the table, and
// the Selwyn plot window gives the global fit of the curve's group.
TEST_F(Desktop, ACurveOfATableIsRunAndItsGroupsSelwynPlotShown) {
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "plate.csv", dir.path() / "plate.csv");
  user->will_answer(DialogKind::ChooseItem, true, "A2");
  open_and_run(dir.path() / "plate.csv", false);
  EXPECT_EQ(user->last().kind, DialogKind::ChooseItem);
  EXPECT_EQ(user->last().items, (std::vector<std::string>{"A1", "A2", "A3", "A4"}));
  EXPECT_EQ(tt::window_title(win), "plate.csv \u2014 A2");
  EXPECT_TRUE(item(w.ids.selwyn));
  choose(w.ids.run);
  EXPECT_TRUE(fs::exists(dir.path() / "plate-A2.out"));
  EXPECT_FALSE(fs::exists(dir.path() / "plate.out"));
  EXPECT_TRUE(item(w.ids.crosscheck) && item(w.ids.selwyn));
  // Display Results shows the curve's report.
  tt::click_control(win, w.ids.results_button);
  int viewer = -1;
  ASSERT_TRUE(eventually([&] {
    std::lock_guard lock(window_mutex());
    viewer = w.windows.idactivetextwin;
    return viewer >= 0 && toolkit::isvalidwindow(viewer);
  }));
  const std::string report = test::TempDir::read(dir.path() / "plate-A2.out");
  EXPECT_TRUE(eventually([&] { return testing::textbox_text(viewer, 0) == report; }));
  act([&] { tt::choose_menu_item(viewer, kViewerExitItem); });

  tt::choose_menu_item(win, w.ids.selwyn);
  ASSERT_TRUE(eventually([&] { return w.selwyn_window.load() >= 0; }));
  settle();
  const crosscheck::SelwynFit fit = selwyn_fit_of_curve(*w.table, "A2");
  EXPECT_EQ(fit.curves, 4);
  const std::string text = testing::textbox_text(w.selwyn_window.load(), 0);
  EXPECT_NE(text.find(utf8_to_cp1252(fit.text)), std::string::npos) << text;
  const tt::PageImage plot = tt::grab_page(w.selwyn_window.load());
  const SeriesColour first = selwyn_colour(0);
  EXPECT_GT(count_pixels(plot, static_cast<std::uint32_t>(first.r << 16 | first.g << 8 | first.b),
                         0, 0, kSelwynWidth, kSelwynHeight),
            50);
}

// A table with a bad cell is named with its line and column, and nothing changes.
TEST_F(Desktop, ABadTableIsNamedInAnErrorBoxAndNothingChanges) {
  std::ofstream(dir.path() / "bad.csv") << "Time,A1,A2\nSo,10,10\nE0,1,2\n0,0.1,0.2\n1,0.5,x\n";
  open_and_run(dir.path() / "bad.csv", false);
  const tt::DialogRequest box = user->last();
  EXPECT_EQ(box.kind, DialogKind::Message);
  EXPECT_EQ(box.icon, 3);
  EXPECT_NE(box.text.find("bad.csv:5"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("column 3"), std::string::npos) << box.text;
  EXPECT_EQ(tt::window_title(win), kProgramTitle);
  EXPECT_EQ(w.file_chosen.load(), 0);
  EXPECT_EQ(w.table, nullptr);
  EXPECT_FALSE(item(w.ids.run) || item(w.ids.selwyn));
  EXPECT_EQ(fs::current_path(), dir.path());
}

}  // namespace
}  // namespace brx
