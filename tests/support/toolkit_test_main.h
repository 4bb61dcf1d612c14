#pragma once
// What the mains of the toolkit-process test programs share.

#include <cstring>

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
