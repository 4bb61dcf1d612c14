// The shell's tests run as the program of a toolkit process, as the desktop program does: the
// event loop on the main thread, the tests on the program thread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "toolkit/toolkit.h"

// Under ThreadSanitizer: Qt and GLib are not instrumented, so their own hand-over between threads
// looks like races; what they do through the C library is ignored, everything built here checked.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Core.so.6\n"
         "called_from_lib:libQt6Gui.so.6\n"
         "called_from_lib:libQt6Widgets.so.6\n"
         "called_from_lib:libglib-2.0.so.0\n";
}

int main(int argc, char** argv) {
  bool listing = false;  // listing the tests, as the build does, needs no event loop
  for (int i = 1; i < argc; ++i)
    listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
  ::testing::InitGoogleTest(&argc, argv);
  if (listing) return RUN_ALL_TESTS();
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("XDG_RUNTIME_DIR", BRX_TEST_RUNTIME_DIR, 0);
  return brx::toolkit::run_toolkit_program(argc, argv, [] { return RUN_ALL_TESTS(); });
}
