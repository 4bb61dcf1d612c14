#pragma once
// Waiting in tests for something another thread does.

#include <chrono>
#include <functional>
#include <thread>

namespace brx::test {

// Polls `done` until it holds or `ms` milliseconds have passed; true when it held.
inline bool eventually(const std::function<bool()>& done, int ms = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace brx::test
