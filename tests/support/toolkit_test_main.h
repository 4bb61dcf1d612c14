#pragma once
// What the mains of the toolkit-process test programs share. Include it from the file with main()
// only: it defines the ThreadSanitizer suppressions of the program.

#include <cstring>

// Under ThreadSanitizer: Qt and GLib are not instrumented, so their own thread pool and their
// event hand-over between threads look like races. Accesses that their code makes through the C
// library are ignored; everything compiled here stays checked.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Core.so.6\n"
         "called_from_lib:libQt6Gui.so.6\n"
         "called_from_lib:libQt6Widgets.so.6\n"
         "called_from_lib:libglib-2.0.so.0\n";
}

namespace brx::test {

// True when the program is only asked to list its tests, as the build does: that needs no
// display and no event loop.
inline bool only_listing_tests(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return true;
  }
  return false;
}

}  // namespace brx::test
