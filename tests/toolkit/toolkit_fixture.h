// Shared set-up of the toolkit tests: every test starts with no window, no dialog answerer
// and the default creation options, and leaves none behind.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "tests/support/eventually.h"
#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

namespace brx::toolkit::testing {

// Argument that makes the test program run, instead of the tests, a program that returns while
// its window refuses the title-bar close; that program ends with status 3.
inline constexpr const char* kRefusingWindowProgram = "--refusing-window-program";

class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override { test::reset_toolkit(); }
  void TearDown() override { test::reset_toolkit(); }
};

// A window that does not end the process when closed.
inline int open_window(int width = 200, int height = 150, const char* title = "test") {
  return initwindow(width, height, title, kDefaultPosition, kDefaultPosition, 0, 0);
}

using brx::test::eventually;

// Runs loop() on a helper thread and tells whether it returned within `ms`; a loop still
// waiting then is released with stopidle() so that no thread is left behind.
inline bool loop_released_within(int ms) {
  std::atomic<bool> returned{false};
  std::thread waiter([&] {
    loop();
    returned = true;
  });
  const bool in_time = eventually([&] { return returned.load(); }, ms);
  if (!in_time) stopidle();
  waiter.join();
  return in_time;
}

}  // namespace brx::toolkit::testing
