// The toolkit tests run as the program of a toolkit process: the event loop on the main thread,
// the tests on the program thread, exactly as the desktop program runs.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/toolkit_test_main.h"
#include "toolkit/toolkit.h"

int main(int argc, char** argv) {
  const bool listing = brx::test::only_listing_tests(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  if (listing) return RUN_ALL_TESTS();
  // Death tests re-run this program for the one test instead of forking a threaded process.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setenv("XDG_RUNTIME_DIR", BRX_TEST_RUNTIME_DIR, 0);
  return brx::toolkit::run_toolkit_program(argc, argv, [] { return RUN_ALL_TESTS(); });
}
