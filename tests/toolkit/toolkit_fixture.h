// Shared set-up of the toolkit tests: every test starts with no window, no dialog answerer
// and the default creation options, and leaves none behind.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "tests/support/eventually.h"
#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

namespace brx::toolkit::testing {

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

// Runs loop(window) on a helper thread, does `meanwhile`, and tells whether the loop returned
// within `ms`. A loop still waiting then is released with stopidle(window); one that cannot be
// released any more (its window closed without ending the wait) is left behind.
inline bool loop_released_within(int ms, int window = kCurrentWindow,
                                 const std::function<void()>& meanwhile = {}) {
  if (window == kCurrentWindow) window = getcurrentwindow();
  auto returned = std::make_shared<std::atomic<bool>>(false);
  std::thread waiter([window, returned] {
    loop(window);
    *returned = true;
  });
  if (meanwhile) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the waiter is waiting by now
    meanwhile();
  }
  const bool in_time = eventually([&] { return returned->load(); }, ms);
  if (!in_time) stopidle(window);
  if (eventually([&] { return returned->load(); }, 1000)) {
    waiter.join();
  } else {
    waiter.detach();
  }
  return in_time;
}

}  // namespace brx::toolkit::testing
