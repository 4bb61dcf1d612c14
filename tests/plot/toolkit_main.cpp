// The plot's toolkit tests run as the program of a toolkit process: the event loop on the main
// thread, the tests on the program thread, as the desktop program draws its plots.
#include <gtest/gtest.h>

#include "toolkit/toolkit.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests (as the build does) needs no display. InitGoogleTest has taken the flag
  // out of argv, so ask gtest for it.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  return brx::toolkit::run_toolkit_program(argc, argv, [] { return RUN_ALL_TESTS(); });
}
