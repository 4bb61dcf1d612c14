#include "app/command_states.h"

#include <gtest/gtest.h>

namespace brx {
namespace {

// The window-level tests walk the usual path; these pin the transitions that keep earlier state.

TEST(CommandStates, ChoosingAFileAfterARunKeepsSaveScreenAndGraphLabels) {
  CommandStates s = start_states();
  EXPECT_FALSE(s.run_analysis || s.save_screen || s.graph_labels || s.run_button);
  enter_file_chosen(s);
  EXPECT_TRUE(s.run_analysis && s.run_button);
  EXPECT_FALSE(s.save_screen || s.graph_labels || s.results_button || s.model1_box);
  enter_results(s);
  enter_file_chosen(s);
  EXPECT_TRUE(s.save_screen && s.print_screen && s.graph_labels && s.plot_title);
  EXPECT_FALSE(s.model1_checked || s.model2_checked || s.results_button);
  enter_no_data_file(s);
  EXPECT_EQ(s, start_states());
}

TEST(CommandStates, TheViewerHoldsQuitAndBothButtonsWhateverIsRedrawn) {
  CommandStates s = start_states();
  enter_results(s);
  enter_viewer_open(s);
  EXPECT_FALSE(s.quit || s.run_button || s.results_button);
  EXPECT_TRUE(s.open_data_file && s.save_screen && s.model1_box);
  after_redraw(s, true, false, /*viewer_open=*/true);
  EXPECT_FALSE(s.run_button || s.results_button);
  enter_viewer_closed(s);
  after_redraw(s, true, true, /*viewer_open=*/false);
  EXPECT_TRUE(s.quit && s.run_button && s.results_button);
  // No curve shown: nothing to display, while Run keeps its state.
  after_redraw(s, false, false, false);
  EXPECT_FALSE(s.results_button);
  EXPECT_TRUE(s.run_button);
}

}  // namespace
}  // namespace brx
