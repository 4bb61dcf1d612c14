// Shared set-up of the shell's window tests: a fresh toolkit for every test, a scripted user
// who answers the dialogs, polling helpers and pixel counts of a window's picture.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "app/window_guard.h"
#include "tests/support/eventually.h"
#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

namespace brx::testing {

namespace tt = toolkit::test;

using brx::test::eventually;

// Answers dialogs as a user would: queued answers per kind of dialog (an empty queue accepts
// a message box and cancels anything else), and remembers the last dialog it was shown.
class ScriptedUser {
 public:
  ScriptedUser() {
    tt::set_dialog_answerer([this](const tt::DialogRequest& r) { return answer(r); });
  }
  ~ScriptedUser() { tt::set_dialog_answerer(nullptr); }

  void will_answer(tt::DialogKind kind, bool accepted, std::string text = {}) {
    std::lock_guard lock(mutex_);
    answers_.push_back({kind, {accepted, std::move(text)}});
  }
  tt::DialogRequest last() const {
    std::lock_guard lock(mutex_);
    return last_;
  }

 private:
  struct Queued {
    tt::DialogKind kind;
    tt::DialogAnswer answer;
  };
  tt::DialogAnswer answer(const tt::DialogRequest& r) {
    std::lock_guard lock(mutex_);
    last_ = r;
    for (auto it = answers_.begin(); it != answers_.end(); ++it) {
      if (it->kind == r.kind) {
        tt::DialogAnswer a = it->answer;
        answers_.erase(it);
        return a;
      }
    }
    return {r.kind == tt::DialogKind::Message, {}};
  }

  mutable std::mutex mutex_;
  std::deque<Queued> answers_;
  tt::DialogRequest last_;
};

// Number of pixels of one colour (0xRRGGBB) inside a rectangle of a window's visual page.
inline int count_pixels(const tt::PageImage& page, std::uint32_t rgb, int left = 0, int top = 0,
                        int right = 1 << 20, int bottom = 1 << 20) {
  int n = 0;
  for (int y = std::max(0, top); y < std::min(page.height, bottom); ++y) {
    for (int x = std::max(0, left); x < std::min(page.width, right); ++x) {
      if (page.at(x, y) == rgb) ++n;
    }
  }
  return n;
}

// Pixels that differ between two pictures of the same size inside a rectangle.
inline int count_changed(const tt::PageImage& a, const tt::PageImage& b, int left, int top,
                         int right, int bottom) {
  int n = 0;
  for (int y = top; y < std::min({a.height, b.height, bottom}); ++y) {
    for (int x = left; x < std::min({a.width, b.width, right}); ++x) {
      if (a.at(x, y) != b.at(x, y)) ++n;
    }
  }
  return n;
}

// The text of a text box of a window.
inline std::string textbox_text(int window, int id) {
  std::string text;
  with_window(window, [&] { text = toolkit::gettextboxcontents(id); });
  return text;
}

// Every test starts with no window and the working directory it found, and leaves it so.
class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tt::reset_toolkit();
    cwd_ = std::filesystem::current_path();
  }
  void TearDown() override {
    tt::reset_toolkit();
    std::filesystem::current_path(cwd_);
  }

 private:
  std::filesystem::path cwd_;
};

}  // namespace brx::testing
