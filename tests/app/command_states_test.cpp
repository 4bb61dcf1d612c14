#include "app/command_states.h"

#include <gtest/gtest.h>

namespace brx {
namespace {

// The commands that work in every state.
void expect_always_usable(const CommandStates& s) {
  EXPECT_TRUE(s.file_menu);
  EXPECT_TRUE(s.description);
  EXPECT_TRUE(s.example_data);
  EXPECT_TRUE(s.about);
}

void expect_no_data_file(const CommandStates& s) {
  expect_always_usable(s);
  EXPECT_TRUE(s.open_data_file);
  EXPECT_TRUE(s.quit);
  EXPECT_FALSE(s.run_analysis || s.save_screen || s.print_screen);
  EXPECT_FALSE(s.graph_labels || s.plot_title || s.ordinate_label || s.abscissa_label);
  EXPECT_FALSE(s.model1_box || s.model2_box || s.model1_checked || s.model2_checked);
  EXPECT_FALSE(s.run_button || s.results_button);
}

TEST(CommandStates, StartIsTheNoDataFileState) {
  expect_no_data_file(start_states());
}

TEST(CommandStates, ChoosingAFileAllowsRunningAndHidesEarlierResults) {
  CommandStates s = start_states();
  enter_file_chosen(s);
  expect_always_usable(s);
  EXPECT_TRUE(s.run_analysis && s.run_button && s.open_data_file);
  EXPECT_FALSE(s.results_button || s.model1_box || s.model2_box);
  EXPECT_FALSE(s.save_screen || s.graph_labels);

  // After a run, Save Screen, Print Screen and Graph Labels keep their state.
  enter_results(s);
  enter_file_chosen(s);
  EXPECT_TRUE(s.save_screen && s.print_screen && s.graph_labels && s.plot_title);
  EXPECT_FALSE(s.model1_checked || s.model2_checked || s.results_button);
}

TEST(CommandStates, ResultsMakeEverythingUsableWithBothCurvesShown) {
  CommandStates s = start_states();
  enter_file_chosen(s);
  enter_results(s);
  CommandStates all;
  all.file_menu = all.open_data_file = all.run_analysis = all.save_screen = all.print_screen = true;
  all.description = all.example_data = all.about = all.quit = true;
  all.graph_labels = all.plot_title = all.ordinate_label = all.abscissa_label = true;
  all.model1_box = all.model2_box = all.model1_checked = all.model2_checked = true;
  all.run_button = all.results_button = true;
  EXPECT_EQ(s, all);
}

TEST(CommandStates, CancelOrRunWithoutAFileFallsBackToNoDataFile) {
  CommandStates s = start_states();
  enter_file_chosen(s);
  enter_results(s);
  enter_no_data_file(s);
  expect_no_data_file(s);
}

TEST(CommandStates, TheViewerHoldsQuitAndBothButtonsUntilItCloses) {
  CommandStates s = start_states();
  enter_results(s);
  enter_viewer_open(s);
  EXPECT_FALSE(s.quit || s.run_button || s.results_button);
  EXPECT_TRUE(s.open_data_file && s.save_screen && s.model1_box);

  // A check box toggled meanwhile must not bring the buttons back.
  after_redraw(s, true, false, /*viewer_open=*/true);
  EXPECT_FALSE(s.run_button || s.results_button);

  enter_viewer_closed(s);
  EXPECT_TRUE(s.quit);
  after_redraw(s, true, true, /*viewer_open=*/false);
  EXPECT_TRUE(s.run_button && s.results_button);
}

TEST(CommandStates, RedrawFollowsTheCheckBoxes) {
  CommandStates s = start_states();
  enter_results(s);
  after_redraw(s, false, false, false);
  EXPECT_FALSE(s.results_button);
  EXPECT_TRUE(s.run_button);  // Run keeps its state
  after_redraw(s, false, true, false);
  EXPECT_TRUE(s.results_button && s.run_button);
  EXPECT_TRUE(s.model2_checked && !s.model1_checked);
}

}  // namespace
}  // namespace brx
