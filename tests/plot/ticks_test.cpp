// Tick spacing, label formats and the walk over the ticks of a linear axis.

#include "plot/ticks.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace brx {
namespace {

// Every tick of the axis [min, max]: its value, and its label when it is a major tick.
std::vector<std::pair<float, std::string>> Walk(float min, float max, const TickInfo& ti) {
  AxisSetup axis;
  axis.min = min;
  axis.max = max;
  LinTickIterator it(&axis, &ti);
  std::vector<std::pair<float, std::string>> ticks;
  float value = 0.0f;
  bool major = false;
  std::string format;
  if (!it.Init()) return ticks;
  while (ticks.size() < 10000 && it.GetNextTick(value, major, format)) {
    ticks.emplace_back(value, major ? FormatTickLabel(format, value) : "");
  }
  return ticks;
}

// Majors every 0.2 labelled "%.1f", minors every 0.04.
const TickInfo kFifths{.tickDivision = 5, .majorTickSpan = 0.2f, .formatString = "%.1f"};

TEST(TickInfo, SpansRoundToOneTwoOrFiveTimesAPowerOfTenAndGetJustEnoughDecimals) {
  constexpr float kFail = TickInfo::kRoundSpanFailure;
  for (const auto& [x, expected] :
       {std::pair{0.22f, 0.2f}, std::pair{0.8f, 0.5f}, std::pair{7.0f, 5.0f},
        std::pair{96.0f, 100.0f}, std::pair{0.0034f, 0.002f}, std::pair{0.0f, kFail},
        std::pair{std::numeric_limits<float>::infinity(), kFail},
        std::pair{std::numeric_limits<float>::quiet_NaN(), kFail}}) {
    EXPECT_FLOAT_EQ(TickInfo::RoundSpan(x), expected) << x;
  }
  // 0.01 needs three decimals: 0.01f * 10 rounds to just below 0.1.
  for (const auto& [span, expected] :
       {std::pair{0.01f, "%.3f"}, std::pair{0.02f, "%.2f"}, std::pair{-0.2f, "%.1f"},
        std::pair{10000.0f, "%.0f"}, std::pair{0.0005f, "%.1e"}, std::pair{20000.0f, "%.1e"}}) {
    std::string format;
    TickInfo::MakeFormatString(span, format);
    EXPECT_EQ(format, expected) << "span " << span;
  }
  // A format that is not a single number conversion is never handed to printf as it is.
  EXPECT_EQ(FormatTickLabel("%s", 2.5f), "2.5");
}

TEST(LinTickIterator, ChoosesSpansOrRefusesSpansItCannotRound) {
  TickInfo ti;
  LinTickIterator it;
  // A range shorter than the rounded span is one major interval; labels follow the rounding.
  ASSERT_TRUE(it.InitFromRanges(0.15f, 400, 0.5f, ti));  // RoundSpan(0.3) = 0.2 > 0.15
  EXPECT_FLOAT_EQ(ti.majorTickSpan, 0.15f);
  EXPECT_EQ(ti.formatString, "%.1f");
  TickInfo untouched;
  EXPECT_FALSE(it.InitFromRanges(1.0f, 400, 1e-20f, untouched));   // too narrow to divide
  EXPECT_FALSE(it.InitFromRanges(1e30f, 400, 1e-19f, untouched));  // span overflows
  EXPECT_FALSE(it.InitFromRanges(0.0f, 400, 5.0f, untouched));     // nothing to divide
  EXPECT_EQ(untouched.tickDivision, 1);
}

// The walk starts at the first multiple of the minor span at or above the minimum, keeps a tick on
// or just above the maximum, and ends even where adding the span changes nothing.
TEST(LinTickIterator, WalksFromTheMinimumToATickOnOrJustAboveTheMaximum) {
  const TickInfo ones;  // one unit per tick, every tick major
  // 3 exceeds 2.9999 by a third of 1e-4 of it: kept. It exceeds 2.9996 by more: dropped.
  EXPECT_FLOAT_EQ(Walk(0.0f, 2.9999f, ones).back().first, 3.0f);
  EXPECT_FLOAT_EQ(Walk(0.0f, 2.9996f, ones).back().first, 2.0f);
  // The summed 0.04 steps reach 1.0 only approximately; the tick and label at 1 are kept.
  ASSERT_EQ(Walk(0.0f, 1.0f, kFifths).size(), 26u);
  EXPECT_EQ(Walk(0.0f, 1.0f, kFifths).back().second, "1.0");
  EXPECT_EQ(Walk(0.0f, 0.99f, kFifths).back().second, "");  // 0.96, a minor tick
  const auto ticks = Walk(-0.25f, 0.5f, kFifths);
  ASSERT_GE(ticks.size(), 7u);
  EXPECT_NEAR(ticks[0].first, -0.24f, 1e-6f);
  EXPECT_EQ(ticks[0].second, "");      // minor
  EXPECT_EQ(ticks[1].second, "-0.2");  // major: minor number -5
  EXPECT_EQ(ticks[6].second, "0.0");
  // At 2^24 adding 0.04 changes nothing in single precision.
  EXPECT_LT(Walk(16777216.0f, 16777220.0f, kFifths).size(), 10000u);
  // A first tick number beyond int range is refused instead of overflowing.
  AxisSetup far;
  far.min = 1e12f;
  far.max = 1e12f + 1.0f;
  EXPECT_FALSE(LinTickIterator(&far, &kFifths).Init());
}

}  // namespace
}  // namespace brx
