// Tick spacing, label formats, tick lengths and the walk over the ticks of a linear axis.

#include "plot/ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "plot/plot_engine.h"

namespace brx {
namespace {

struct Tick {
  float value;
  bool major;
  std::string label;
};

// Every tick of the axis [min, max] with the given tick info.
std::vector<Tick> Walk(float min, float max, const TickInfo& ti) {
  AxisSetup axis;
  axis.min = min;
  axis.max = max;
  LinTickIterator it(&axis, &ti);
  std::vector<Tick> ticks;
  if (!it.Init()) return ticks;
  float value = 0.0f;
  bool major = false;
  std::string format;
  while (ticks.size() < 10000 && it.GetNextTick(value, major, format)) {
    ticks.push_back({value, major, major ? FormatTickLabel(format, value) : ""});
  }
  return ticks;
}

struct RoundSpanCase {
  float x;
  float expected;
};

class RoundSpanTest : public ::testing::TestWithParam<RoundSpanCase> {};

TEST_P(RoundSpanTest, RoundsToOneTwoOrFiveTimesAPowerOfTen) {
  EXPECT_FLOAT_EQ(TickInfo::RoundSpan(GetParam().x), GetParam().expected) << GetParam().x;
}

constexpr float kFail = TickInfo::kRoundSpanFailure;
INSTANTIATE_TEST_SUITE_P(
    WorkedAndFailing, RoundSpanTest,
    ::testing::Values(RoundSpanCase{0.22f, 0.2f}, RoundSpanCase{0.37f, 0.2f},
                      RoundSpanCase{0.8f, 0.5f}, RoundSpanCase{0.95f, 1.0f},
                      RoundSpanCase{7.0f, 5.0f}, RoundSpanCase{96.0f, 100.0f},
                      RoundSpanCase{0.0034f, 0.002f}, RoundSpanCase{1.0f, 1.0f},
                      RoundSpanCase{10.0f, 10.0f}, RoundSpanCase{14.0f, 10.0f},
                      RoundSpanCase{0.0f, kFail}, RoundSpanCase{-3.0f, kFail},
                      RoundSpanCase{std::numeric_limits<float>::infinity(), kFail},
                      RoundSpanCase{std::numeric_limits<float>::quiet_NaN(), kFail}));

struct FormatCase {
  float span;
  const char* format;
};

class FormatStringTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatStringTest, GivesJustEnoughDecimalsInSinglePrecision) {
  std::string format;
  TickInfo::MakeFormatString(GetParam().span, format);
  EXPECT_EQ(format, GetParam().format) << "span " << GetParam().span;
}

// 0.01 needs three decimals: 0.01f * 10 rounds to just below 0.1.
INSTANTIATE_TEST_SUITE_P(BySpan, FormatStringTest,
                         ::testing::Values(FormatCase{0.001f, "%.3f"}, FormatCase{0.002f, "%.3f"},
                                           FormatCase{0.005f, "%.3f"}, FormatCase{0.01f, "%.3f"},
                                           FormatCase{0.02f, "%.2f"}, FormatCase{0.05f, "%.2f"},
                                           FormatCase{0.1f, "%.1f"}, FormatCase{0.2f, "%.1f"},
                                           FormatCase{0.5f, "%.1f"}, FormatCase{-0.2f, "%.1f"},
                                           FormatCase{1.0f, "%.0f"}, FormatCase{50.0f, "%.0f"},
                                           FormatCase{10000.0f, "%.0f"},
                                           FormatCase{0.0005f, "%.1e"},
                                           FormatCase{20000.0f, "%.1e"}));

TEST(FormatTickLabel, PrintsTheValueWidenedToDouble) {
  EXPECT_EQ(FormatTickLabel("%.1e", 12000.0f), "1.2e+04");
  EXPECT_EQ(FormatTickLabel("%.1f", 0.6000001f), "0.6");
  EXPECT_EQ(FormatTickLabel("%.3f", 0.01f), "0.010");
  // A format that is not a single number conversion is never handed to printf as it is.
  EXPECT_EQ(FormatTickLabel("%s", 2.5f), "2.5");
}

TEST(LinTickIterator, WorkedExampleRange1Point1InFiveDivisions) {
  TickInfo ti;
  LinTickIterator it;
  ASSERT_TRUE(it.InitFromRanges(1.1f, 421, 5.0f, ti));
  EXPECT_FLOAT_EQ(ti.majorTickSpan, 0.2f);  // RoundSpan(0.22)
  EXPECT_EQ(ti.tickDivision, 5);
  EXPECT_EQ(ti.formatString, "%.1f");

  const std::vector<Tick> ticks = Walk(0.0f, 1.1f, ti);
  ASSERT_EQ(ticks.size(), 28u);  // 0, 0.04, ..., 1.08 (1.12 > 1.1 * 1.0001)
  EXPECT_NEAR(ticks[1].value - ticks[0].value, 0.04f, 1e-6f);
  std::vector<std::string> majors;
  for (const Tick& t : ticks) {
    if (t.major) majors.push_back(t.label);
  }
  EXPECT_EQ(majors, (std::vector<std::string>{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
}

TEST(LinTickIterator, RangeShorterThanTheRoundedSpanIsOneMajorInterval) {
  TickInfo ti;
  LinTickIterator it;
  ASSERT_TRUE(it.InitFromRanges(0.15f, 400, 0.5f, ti));  // RoundSpan(0.3) = 0.2 > 0.15
  EXPECT_FLOAT_EQ(ti.majorTickSpan, 0.15f);
  EXPECT_EQ(ti.formatString, "%.1f");  // still follows the rounded span
}

TEST(LinTickIterator, RefusesSpansItCannotRound) {
  TickInfo ti;
  LinTickIterator it;
  EXPECT_FALSE(it.InitFromRanges(1.0f, 400, 1e-20f, ti));  // too narrow to divide
  EXPECT_FALSE(it.InitFromRanges(1.0f, 400, 0.0f, ti));
  EXPECT_FALSE(it.InitFromRanges(1e30f, 400, 1e-19f, ti));  // span overflows to infinity
  EXPECT_FALSE(it.InitFromRanges(0.0f, 400, 5.0f, ti));     // nothing to divide
  EXPECT_EQ(ti.tickDivision, 1);                            // untouched by the failures
}

TEST(TickSizes, FollowThePlotExtentAndAreCappedByTheFont) {
  struct Case {
    int ortho, fontHeight, major, minor;
  };
  for (const Case c : {Case{421, 16, 8, 4}, Case{1000, 16, 8, 4}, Case{100, 16, 2, 1},
                       Case{0, 16, 2, 1}, Case{1000, 10, 5, 3}}) {
    TickInfo ti;
    LinTickIterator it;
    ASSERT_TRUE(it.InitFromRanges(1.0f, c.ortho, 5.0f, ti));
    PlotEngine::SetTickSizes(c.fontHeight, ti);
    EXPECT_EQ(ti.majorTickScreenSize, c.major) << "ortho " << c.ortho;
    EXPECT_EQ(ti.minorTickScreenSize, c.minor) << "ortho " << c.ortho;
  }
}

TEST(LinTickIterator, KeepsATickOnOrJustAboveTheMaximum) {
  TickInfo ti;  // one unit per tick, every tick major
  // 3 exceeds 2.9999 by a third of 1e-4 of it: kept. It exceeds 2.9996 by more: dropped.
  EXPECT_FLOAT_EQ(Walk(0.0f, 2.9999f, ti).back().value, 3.0f);
  EXPECT_FLOAT_EQ(Walk(0.0f, 2.9996f, ti).back().value, 2.0f);

  // The summed 0.04 steps reach 1.0 only approximately; the tick and label at 1 are kept.
  ti.majorTickSpan = 0.2f;
  ti.tickDivision = 5;
  ti.formatString = "%.1f";
  const std::vector<Tick> ticks = Walk(0.0f, 1.0f, ti);
  ASSERT_EQ(ticks.size(), 26u);
  EXPECT_TRUE(ticks.back().major);
  EXPECT_EQ(ticks.back().label, "1.0");
  EXPECT_EQ(Walk(0.0f, 0.99f, ti).back().label, "");  // 0.96, a minor tick
}

TEST(LinTickIterator, StartsAtTheFirstMultipleAtOrAboveTheMinimum) {
  TickInfo ti;
  ti.majorTickSpan = 0.5f;
  ti.tickDivision = 5;
  const std::vector<Tick> ticks = Walk(-0.25f, 0.5f, ti);
  ASSERT_FALSE(ticks.empty());
  EXPECT_NEAR(ticks.front().value, -0.2f, 1e-6f);
  EXPECT_FALSE(ticks.front().major);
  EXPECT_TRUE(ticks[2].major);  // 0
}

TEST(LinTickIterator, StopsWhereTheSpanNoLongerMovesTheValue) {
  TickInfo ti;
  ti.majorTickSpan = 0.2f;
  ti.tickDivision = 5;
  // At 2^24 adding 0.04 changes nothing in single precision; the walk must still end.
  const std::vector<Tick> ticks = Walk(16777216.0f, 16777220.0f, ti);
  EXPECT_LT(ticks.size(), 10000u);
  // A first tick number beyond int range is refused instead of overflowing.
  AxisSetup far;
  far.min = 1e12f;
  far.max = 1e12f + 1.0f;
  LinTickIterator it(&far, &ti);
  EXPECT_FALSE(it.Init());
  LinTickIterator none;
  EXPECT_FALSE(none.Init());
}

}  // namespace
}  // namespace brx
