// The desktop program driven as a user drives it: menu items chosen, controls clicked, dialogs
// answered by a scripted user, the window's picture inspected.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <thread>

#include "app/file_channels.h"
#include "app/live_file_view.h"
#include "app/main_window.h"
#include "app/selwyn_window.h"
#include "app/text_fields.h"
#include "app/window_guard.h"
#include "base/stop.h"
#include "tests/support/bmp_file.h"
#include "tests/support/eventually.h"
#include "tests/support/temp_dir.h"
#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::test;
using test::eventually;
using tt::DialogKind;

constexpr std::uint32_t kGreen = 0x228B22;   // measured points
constexpr std::uint32_t kBlue = 0x0000FF;    // Model 1
constexpr std::uint32_t kViolet = 0x9400D3;  // Model 2
constexpr std::uint32_t kPromptRed = 0x800000;
constexpr std::uint32_t kOrange = 0xFF8C00;  // the cross-check's dashed curve
constexpr int kViewerSaveItem = 0;  // the results viewer's menu items, in the order it makes them
constexpr int kViewerExitItem = 2;

// How often `pattern` occurs in `text`.
long count_matches(const std::string& text, const std::string& pattern) {
  const std::regex re(pattern);
  return std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator());
}

// Number of pixels of one colour (0xRRGGBB) inside a rectangle of a window's page.
int count_pixels(const tt::PageImage& page, std::uint32_t rgb, int left = 0, int top = 0,
                 int right = 1 << 20, int bottom = 1 << 20) {
  int n = 0;
  for (int y = top; y < std::min(page.height, bottom); ++y) {
    for (int x = left; x < std::min(page.width, right); ++x) n += page.at(x, y) == rgb;
  }
  return n;
}

// The text of a text box of a window.
std::string textbox_text(int window, int id) {
  std::string text;
  with_window(window, [&] { text = toolkit::gettextboxcontents(id); });
  return text;
}

// Answers dialogs as a user would: queued answers per kind of dialog (none queued: a message box
// is accepted, anything else cancelled); remembers the last dialog it was shown.
class ScriptedUser {
 public:
  ScriptedUser() {
    tt::set_dialog_answerer([this](const tt::DialogRequest& r) {
      std::lock_guard lock(mutex_);
      last_ = r;
      const auto it = std::find_if(answers_.begin(), answers_.end(),
                                   [&](const auto& a) { return a.first == r.kind; });
      if (it == answers_.end()) return tt::DialogAnswer{r.kind == DialogKind::Message, {}};
      const tt::DialogAnswer a = it->second;
      answers_.erase(it);
      return a;
    });
  }
  ~ScriptedUser() { tt::set_dialog_answerer(nullptr); }
  void will_answer(DialogKind kind, bool accepted, std::string text = {}) {
    std::lock_guard lock(mutex_);
    answers_.push_back({kind, {accepted, std::move(text)}});
  }
  tt::DialogRequest last() const {
    std::lock_guard lock(mutex_);
    return last_;
  }

 private:
  mutable std::mutex mutex_;
  std::deque<std::pair<DialogKind, tt::DialogAnswer>> answers_;
  tt::DialogRequest last_;
};

// Every test starts the main window's loop on a thread of its own, in a fresh folder holding
// Example.dat, and ends it with Quit.
class Desktop : public ::testing::Test {
 protected:
  void SetUp() override {
    tt::reset_toolkit();
    cwd = fs::current_path();
    user = std::make_unique<ScriptedUser>();
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
    tt::reset_toolkit();
    fs::current_path(cwd);
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
  // Answers the next dialog of `kind`, chooses `item` and waits for its handler.
  void answer_and_choose(DialogKind kind, bool accepted, const std::string& answer, int item) {
    user->will_answer(kind, accepted, answer);
    tt::choose_menu_item(win, item);
    settle();
  }
  tt::PageImage page() const { return tt::grab_page(win); }
  // Pixels of the window that differ from `before` inside a rectangle.
  int changed_since(const tt::PageImage& before, int left = 0, int top = 0, int right = kMainWidth,
                    int bottom = kMainHeight) const {
    const tt::PageImage now = page();
    int n = 0;
    for (int y = top; y < std::min({now.height, before.height, bottom}); ++y) {
      for (int x = left; x < std::min({now.width, before.width, right}); ++x) {
        n += now.at(x, y) != before.at(x, y);
      }
    }
    return n;
  }
  bool shows_curves() const {
    const tt::PageImage p = page();
    return count_pixels(p, kBlue) > 0 && count_pixels(p, kViolet) > 0;
  }
  // The last dialog shown was an error box whose text holds `text`.
  void expect_error(const std::string& text) const {
    const tt::DialogRequest box = user->last();
    EXPECT_EQ(box.kind, DialogKind::Message);
    EXPECT_EQ(box.icon, 3);
    EXPECT_NE(box.text.find(text), std::string::npos) << box.text;
  }
  // Display Results: the results viewer's window once it is open.
  int open_viewer() {
    tt::click_control(win, w.ids.results_button);
    int viewer = -1;
    EXPECT_TRUE(eventually([&] {
      std::lock_guard lock(window_mutex());
      viewer = w.windows.idactivetextwin;
      return viewer >= 0 && toolkit::isvalidwindow(viewer);
    }));
    return viewer;
  }
  bool item(int id) const { return tt::menu_item_enabled(win, id); }
  bool control(int id) const { return tt::control_enabled(win, id); }
  // Expects the menu items and controls named to be usable, or all greyed.
  void expect_usable(bool usable, std::initializer_list<int> items,
                     std::initializer_list<int> controls) const {
    for (int id : items) EXPECT_EQ(item(id), usable) << "item " << id;
    for (int id : controls) EXPECT_EQ(control(id), usable) << "control " << id;
  }

  fs::path cwd;
  test::TempDir dir;
  globalsplot gp;
  MainWindow w{gp};
  std::unique_ptr<ScriptedUser> user;
  std::thread program;
  std::atomic<bool> ended{false};
  std::string stop_text;
  int win = -1;
};

// At the start only Open, the screens and Quit are usable, the plot shows the prompt, and the
// title bar's close button is refused: the window stays and the loop sleeps on. Open takes the
// file as it is spelled and moves into its folder. Each label dialog offers the
// text as drawn and redraws its part of the plot; labels are cut to 50 characters. Cancel in a
// dialog leaves the file, the plot, the labels and what is usable as they were.
TEST_F(Desktop, StartOpenAndTheLabelDialogsAndCancelThatChangesNothing) {
  expect_usable(true, {w.ids.open, w.ids.description, w.ids.example_data, w.ids.about, w.ids.quit},
                {});
  expect_usable(false,
                {w.ids.run, w.ids.save_screen, w.ids.save_plot, w.ids.print_screen,
                 w.ids.plot_title, w.ids.crosscheck, w.ids.selwyn},
                {w.ids.model1_box, w.ids.crosscheck_box, w.ids.run_button, w.ids.results_button});
  EXPECT_GT(count_pixels(page(), kPromptRed, 180, 280, 420, 320), 0);
  const int passes = w.idle_passes.load();
  tt::press_close_button(win);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(toolkit::isvalidwindow(win));
  EXPECT_EQ(w.idle_passes.load(), passes);

  fs::create_directory(dir.path() / "sub");
  fs::copy_file(dir.path() / "Example.dat", dir.path() / "sub" / "Run1.dat");
  open_and_run(dir.path() / "sub" / "Run1.dat");
  EXPECT_EQ(fs::path(user->last().folder), dir.path());  // opened on "<cwd>/*.dat"
  EXPECT_EQ(tt::window_title(win), "Run1.dat");
  EXPECT_EQ(fs::current_path(), dir.path() / "sub");
  const struct {
    int item;
    std::string answer, offered;
    int left, top, right, bottom;  // where the drawing changes
  } edits[] = {
      {w.ids.plot_title, "Enzyme B", "Normalized Progress Curves", 0, 5, 541, 45},
      {w.ids.ordinate, "   Rate", "Normalized Product", 0, 60, 40, 480},
      {w.ids.abscissa, std::string(60, 'm'), "Normalized Time", 40, 480, 541, 541},
      {w.ids.plot_title, "Enzyme C", "Enzyme B", 0, 5, 541, 45},
  };
  for (const auto& e : edits) {
    SCOPED_TRACE(e.answer);
    const tt::PageImage before = page();
    answer_and_choose(DialogKind::RequestText, true, e.answer, e.item);
    EXPECT_EQ(user->last().text, e.offered);
    EXPECT_GT(changed_since(before, e.left, e.top, e.right, e.bottom), 0);
  }
  EXPECT_EQ(w.results.label8[1], "   Rate");
  EXPECT_EQ(gp.xaxislbl, std::string(50, 'm'));

  const tt::PageImage before = page();
  const CommandStates states = w.states;
  user->will_answer(DialogKind::OpenFile, false);
  choose(w.ids.open);
  for (int id : {w.ids.plot_title, w.ids.ordinate, w.ids.abscissa}) {
    answer_and_choose(DialogKind::RequestText, false, "", id);
  }
  EXPECT_EQ(tt::window_title(win), "Run1.dat");
  EXPECT_EQ(w.datafile, (dir.path() / "sub" / "Run1.dat").string());
  EXPECT_EQ(gp.xytitlelbl, "Enzyme C");
  EXPECT_EQ(w.states, states);
  EXPECT_EQ(changed_since(before), 0);
}

// The results viewer shows the report whole, from the top, read-only, in a fixed-pitch face;
// while it is open the main window's commands wait. The main loop and the viewer's loop each
// keep their own wake-ups while other threads make either window current (the live view fills
// the viewer, the main window's commands redraw the plot): a command's wake-up reaches the main
// loop, Save Data the viewer's, Save Screen saves the main window even with the viewer current.
TEST_F(Desktop, TheResultsViewerAndTheMainLoopKeepTheirOwnWakeUps) {
  open_and_run(dir.path() / "Example.dat");
  const std::string report = test::TempDir::read(dir.path() / "Example.out");
  const int viewer = open_viewer();
  ASSERT_TRUE(eventually([&] { return textbox_text(viewer, 0) == report; }));
  const tt::TextBoxLook look = tt::textbox_look(viewer, 0);
  EXPECT_EQ(std::pair(look.top_line, look.left), std::pair(0, 0));
  EXPECT_TRUE(look.read_only && look.fixed_pitch);
  EXPECT_FALSE(item(w.ids.quit) || control(w.ids.run_button) || control(w.ids.results_button));
  // A check box toggled meanwhile neither brings the buttons back nor draws into the viewer.
  tt::click_control(win, w.ids.model2_box);
  settle(1);
  EXPECT_FALSE(control(w.ids.run_button) || control(w.ids.results_button));

  // Makes `target` current again whenever another thread has made another window current, as
  // soon as the shell's lock is free: what any thread of the shell may do at any moment.
  std::atomic<int> target{-1};
  std::atomic<bool> stop{false};
  std::thread switcher([&] {
    while (!stop.load()) {
      if (toolkit::getcurrentwindow() == target.load()) continue;
      std::unique_lock lock(window_mutex(), std::try_to_lock);
      if (lock.owns_lock()) toolkit::setcurrentwindow(target.load());
    }
  });
  for (int i = 0; i < 40 && !HasFailure(); ++i) {
    SCOPED_TRACE(i);
    target = viewer;
    const int passes = w.idle_passes.load();
    with_window(win, [] { toolkit::stopidle(); });
    EXPECT_TRUE(eventually([&] { return w.idle_passes.load() > passes; }, 5000))
        << "the main loop missed a wake-up";
    const fs::path shot = dir.path() / ("shot" + std::to_string(i) + ".BMP");
    user->will_answer(DialogKind::SaveFile, true, shot.string());
    tt::choose_menu_item(win, w.ids.save_screen);
    EXPECT_TRUE(eventually([&] { return fs::exists(shot); }, 5000));
    // The plot's green points (blue, green, red in the file) are in the main window only.
    EXPECT_NE(test::TempDir::read(shot).find("\x22\x8B\x22"), std::string::npos);
    EXPECT_EQ(user->last().window, win);

    target = win;
    const fs::path text = dir.path() / ("saved" + std::to_string(i) + ".txt");
    user->will_answer(DialogKind::SaveFile, true, text.string());
    tt::choose_menu_item(viewer, kViewerSaveItem);
    EXPECT_TRUE(eventually([&] { return test::TempDir::read(text) == report + "\r\n"; }, 5000))
        << "the viewer's loop missed a wake-up";
    EXPECT_EQ(user->last().window, viewer);
  }
  stop = true;
  switcher.join();
  // Save Data (Ctrl+S) proposes the report's name with ".txt" and overwrites without asking.
  dir.write("Example.txt", "an earlier save");
  user->will_answer(DialogKind::SaveFile, true, "Example.txt");
  ASSERT_TRUE(tt::press_keys(viewer, "Ctrl+S"));
  ASSERT_TRUE(eventually(
      [&] { return test::TempDir::read(dir.path() / "Example.txt") == report + "\r\n"; }));
  EXPECT_EQ(user->last().text, "Example.txt");
  EXPECT_FALSE(user->last().confirm_overwrite);

  act([&] { tt::choose_menu_item(viewer, kViewerExitItem); });
  settle();
  EXPECT_FALSE(toolkit::isvalidwindow(viewer));
  EXPECT_TRUE(item(w.ids.quit) && control(w.ids.run_button) && control(w.ids.results_button));
  tt::choose_menu_item(win, w.ids.quit);
  EXPECT_TRUE(eventually([&] { return ended.load(); }, 5000));
}
// A data file that is missing or cannot be read, or a report that cannot be written, is named in
// an error box, and the program goes on as it was: the results of the last run stay.
TEST_F(Desktop, FilesThatCannotBeUsedAreNamedInAnErrorBoxAndNothingElseChanges) {
  const fs::path data = dir.path() / "Example.dat";
  const fs::path out = dir.path() / "Example.out";
  open_and_run(data);
  const tt::PageImage before = page();
  const CommandStates states = w.states;
  const struct {
    std::function<void()> spoil;
    std::string message;
  } cases[] = {
      {[&] { fs::remove(out) && fs::create_directory(out); },
       "The report could not be written:\n" + out.string() + "\nIs a directory"},
      {[&] { std::ofstream(data) << "4.5\n0, 0\n1\n2, 3\n"; }, data.string() + ":3:"},
      {[&] { fs::remove(data); }, "No data file was found!\n" + data.string()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    c.spoil();
    choose(w.ids.run);
    expect_error(c.message);
    EXPECT_FALSE(ended.load());
    EXPECT_TRUE(stop_text.empty());
    EXPECT_EQ(w.states, states);
    EXPECT_EQ(changed_since(before), 0);
    EXPECT_EQ(w.results.n8, 13);
  }
}

// An analysis that gave no curves says so across the plot, shows only the points, and leaves
// the report one click away; the next good run brings the curves back.
TEST_F(Desktop, AnAbortedAnalysisSaysSoInThePlotAndDrawsNoCurves) {
  // Pixels of the dark red line (its letters are smoothed into the white around them).
  const auto abort_band = [&] {
    const tt::PageImage p = page();
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
  std::ofstream(dir.path() / "four.dat") << "4.5\n0, 0\n1, 1.5\n2, 2.5\n3, 3.0\n";  // too few
  open_and_run(dir.path() / "four.dat");
  EXPECT_GT(abort_band(), 50);
  EXPECT_EQ(count_pixels(page(), kBlue) + count_pixels(page(), kViolet), 0);
  EXPECT_GT(count_pixels(page(), kGreen), 0);
  EXPECT_TRUE(control(w.ids.results_button) && control(w.ids.run_button));
  EXPECT_FALSE(control(w.ids.model1_box) || control(w.ids.model2_box));

  open_and_run(dir.path() / "Example.dat");
  EXPECT_EQ(abort_band(), 0);
  EXPECT_TRUE(shows_curves());
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
  // A check box toggled meanwhile does not bring Run back.
  tt::click_control(win, w.ids.model1_box);
  settle();
  EXPECT_FALSE(item(w.ids.run) || control(w.ids.run_button));
  EXPECT_TRUE(item(w.ids.open) && item(w.ids.quit));
  go.set_value();
  ASSERT_TRUE(eventually([&] { return w.idle_passes.load() > passes; }, 60000));
  EXPECT_FALSE(tt::busy_cursor_shown(win));
  EXPECT_TRUE(item(w.ids.run) && control(w.ids.run_button) && control(w.ids.results_button));
}

// The keyboard reaches the commands: the shortcuts open, run and quit, the access keys open the
// menus and choose their items, and the controls' keys click them. A run plots the points and both
// curves; a check box hides its curve. Run under a real X server too (see CMakeLists.txt).
TEST_F(Desktop, TheKeyboardReachesEveryCommandAndTheCheckBoxesChooseTheCurves) {
  user->will_answer(DialogKind::OpenFile, true, (dir.path() / "Example.dat").string());
  act([&] { ASSERT_TRUE(tt::press_keys(win, "Ctrl+O")); });
  act([&] { ASSERT_TRUE(tt::press_keys(win, "Ctrl+R")); });
  EXPECT_TRUE(fs::exists(dir.path() / "Example.out"));
  expect_usable(true, {w.ids.save_screen, w.ids.save_plot, w.ids.print_screen, w.ids.plot_title},
                {w.ids.model1_box, w.ids.model2_box, w.ids.results_button});
  EXPECT_GT(count_pixels(page(), kGreen, 0, 0, 541, 541), 13 * 9);  // 13 filled squares
  EXPECT_TRUE(shows_curves());
  // The boxes are clicked a moment after their keys.
  ASSERT_TRUE(tt::press_keys(win, "Alt+1"));
  EXPECT_TRUE(eventually([&] { return count_pixels(page(), kBlue) == 0; }));
  settle();
  const tt::PageImage p = page();
  EXPECT_GT(count_pixels(p, kGreen) * count_pixels(p, kViolet), 0);
  act([&] { ASSERT_TRUE(tt::press_keys(win, "Alt+C")); });  // Run Curve-fit: both shown again
  EXPECT_TRUE(shows_curves());

  ASSERT_TRUE(tt::press_keys(win, "F10"));  // File, then Right to the next menu and T
  ASSERT_TRUE(eventually([] { return tt::open_menu_text() == "&File"; }));
  ASSERT_TRUE(tt::press_keys(win, "Right"));
  ASSERT_TRUE(eventually([] { return tt::open_menu_text() == "&Graph Labels"; }));
  user->will_answer(DialogKind::RequestText, true, "Keyed in");
  ASSERT_TRUE(tt::press_keys(win, "T"));
  settle();
  EXPECT_EQ(gp.xytitlelbl, "Keyed in");
  ASSERT_TRUE(tt::press_keys(win, "Ctrl+Q"));
  EXPECT_TRUE(eventually([&] { return ended.load(); }));
}

// Save Screen writes the whole window as a bitmap; Print Screen draws the page as text and lines;
// Save Plot As writes PNG, SVG or PDF by the name's extension, showing what the check boxes show. A
// picture that cannot be written is named in an error box with the reason; a cancelled dialog is no
// failure.
TEST_F(Desktop, TheWindowsPictureIsSavedPrintedAndSavedAsPngSvgOrPdf) {
  open_and_run(dir.path() / "Example.dat");
  answer_and_choose(DialogKind::SaveFile, true, (dir.path() / "shot").string(), w.ids.save_screen);
  const test::Bmp shot = test::read_bmp(dir.path() / "shot.BMP");
  EXPECT_EQ(shot.fault, "");
  EXPECT_EQ(std::pair(shot.width, shot.height), std::pair(kMainWidth + 1, kMainHeight + 1));
  const auto save = [&](int item, DialogKind kind, const std::string& name) {
    answer_and_choose(kind, true, (dir.path() / name).string(), item);
    return test::TempDir::read(dir.path() / name);
  };
  const std::string page_pdf = save(w.ids.print_screen, DialogKind::Print, "page.pdf");
  EXPECT_EQ(count_matches(page_pdf, "/Subtype\\s*/Image"), 0);
  EXPECT_GE(count_matches(page_pdf, "/FontFile2"), 1);

  save(w.ids.save_plot, DialogKind::SaveFile, "plot");  // no extension: a PNG
  EXPECT_EQ(test::TempDir::read(dir.path() / "plot.png").substr(1, 3), "PNG");
  const std::string svg = save(w.ids.save_plot, DialogKind::SaveFile, "plot.SVG");
  EXPECT_NE(svg.find(">Normalized Time</text>"), std::string::npos);
  EXPECT_NE(svg.find("#0000ff"), std::string::npos);
  tt::click_control(win, w.ids.model1_box);
  settle();
  const std::string pdf = save(w.ids.save_plot, DialogKind::SaveFile, "plot.pdf");
  EXPECT_EQ(count_matches(pdf, "/Type\\s*/Page[^s]"), 1);
  EXPECT_EQ(count_matches(pdf, "/Subtype\\s*/Image"), 0);
  EXPECT_EQ(save(w.ids.save_plot, DialogKind::SaveFile, "blue.svg").find("#0000ff"),
            std::string::npos);

  save(w.ids.save_plot, DialogKind::SaveFile, "plot.gif");
  expect_error("The plot could not be saved:\n" + (dir.path() / "plot.gif").string() +
               "\nChoose a name ending in .png, .svg or .pdf.");
  EXPECT_FALSE(fs::exists(dir.path() / "plot.gif"));
  save(w.ids.save_plot, DialogKind::SaveFile, "gone/plot.pdf");
  expect_error("The plot could not be saved:\nNo such file or directory");
  answer_and_choose(DialogKind::SaveFile, false, "", w.ids.save_plot);
  EXPECT_EQ(user->last().kind, DialogKind::SaveFile) << "no box after Cancel";
}

// "Cross-check" and its curve's box are usable once a run has given a cross-check; its window
// says what the run's cross-check found, and its curve shows only while the box is ticked.
TEST_F(Desktop, TheCrossCheckWindowAndCurveFollowTheRun) {
  open_and_run(dir.path() / "Example.dat");
  expect_usable(true, {w.ids.crosscheck}, {w.ids.crosscheck_box});
  ASSERT_TRUE(w.crosscheck.has_value());

  tt::choose_menu_item(win, w.ids.crosscheck);
  ASSERT_TRUE(eventually([&] { return w.crosscheck_window.load() >= 0; }));
  settle();
  const int cc_window = w.crosscheck_window.load();
  const std::string text = textbox_text(cc_window, 0);
  EXPECT_NE(text.find(utf8_to_cp1252(w.crosscheck->text)), std::string::npos) << text;

  const tt::PageImage without = page();
  EXPECT_EQ(count_pixels(without, kOrange), 0);
  tt::click_control(win, w.ids.crosscheck_box);
  settle();
  EXPECT_GT(count_pixels(page(), kOrange, 0, 0, 541, 541), 200);
  tt::click_control(win, w.ids.crosscheck_box);
  settle();
  EXPECT_EQ(changed_since(without), 0);

  // Another file keeps what any run makes usable, but nothing of this run's until it has run.
  open_and_run(dir.path() / "Example.dat", false);
  expect_usable(false, {w.ids.crosscheck}, {w.ids.crosscheck_box, w.ids.results_button});
  EXPECT_TRUE(item(w.ids.save_screen) && item(w.ids.plot_title));
}

// A curve-set table: one curve picked from its list is run and reported beside the table, and
// the Selwyn plot window gives the global fit of the curve's group.
TEST_F(Desktop, ACurveOfATableIsRunAndItsGroupsSelwynPlotShown) {
  fs::copy_file(fs::path(BRX_EXAMPLES_DIR) / "plate.csv", dir.path() / "plate.csv");
  user->will_answer(DialogKind::ChooseItem, true, "A2");
  open_and_run(dir.path() / "plate.csv", false);
  EXPECT_EQ(user->last().items.size(), 4u);
  EXPECT_EQ(tt::window_title(win), "plate.csv \u2014 A2");
  EXPECT_TRUE(item(w.ids.selwyn));
  choose(w.ids.run);
  EXPECT_TRUE(fs::exists(dir.path() / "plate-A2.out"));
  EXPECT_FALSE(fs::exists(dir.path() / "plate.out"));

  tt::choose_menu_item(win, w.ids.selwyn);
  ASSERT_TRUE(eventually([&] { return w.selwyn_window.load() >= 0; }));
  settle();
  const crosscheck::SelwynFit fit = selwyn_fit_of_curve(*w.table, "A2");
  EXPECT_EQ(fit.curves, 4);
  const std::string text = textbox_text(w.selwyn_window.load(), 0);
  EXPECT_NE(text.find(utf8_to_cp1252(fit.text)), std::string::npos) << text;
  const SeriesColour first = selwyn_colour(0);
  EXPECT_GT(count_pixels(tt::grab_page(w.selwyn_window.load()),
                         static_cast<std::uint32_t>(first.r << 16 | first.g << 8 | first.b)),
            50);
}

}  // namespace
}  // namespace brx
