#pragma once
// Tick marks of a linear axis: how far apart the labelled (major) ticks are, how the labels are
// printed, how long the marks are, and the walk over the ticks of an axis.
//
// Everything here is single precision, as the plot engine is: the tick values are reached by
// repeated addition of the minor span, so they carry the rounding of that sum, and the label
// format decides how much of it shows.

#include <string>

#include "plot/axis_setup.h"

namespace brx {

// Tick spacing, label format and tick mark lengths of one axis.
struct TickInfo {
  // RoundSpan's answer for a span it cannot round (not positive, or infinite).
  static constexpr float kRoundSpanFailure = -1.234567f;

  bool autoTick = true;      // spacing and format come from InitFromRanges
  bool autoTickSize = true;  // tick lengths are computed too
  bool ticksOn = true;       // ticks and their labels are drawn
  int tickDivision = 1;      // minor intervals per major interval
  float majorTickSpan = 1.0f;
  int majorTickScreenSize = 1;  // pixels
  int minorTickScreenSize = 1;  // pixels
  std::string formatString = "%.0f";

  // The span 1, 2 or 5 times a power of ten nearest to x (0.22 -> 0.2, 0.8 -> 0.5, 96 -> 100);
  // kRoundSpanFailure when x is not positive or not finite.
  static float RoundSpan(float x);
  // The printf format of the labels of ticks `span` apart: "%.Nf" with just enough decimals
  // for spans from 0.001 to 10000, "%.1e" outside that.
  static void MakeFormatString(float span, std::string& format);
};

// The label of a tick: `value` printed with `format` (widened to double, as printf takes it).
std::string FormatTickLabel(const std::string& format, float value);

// Walks over the ticks of one axis.
class TickIterator {
 public:
  virtual ~TickIterator() = default;
  // Starts the walk at the first tick at or above the axis minimum; false when it cannot.
  virtual bool Init() = 0;
  // The next tick: its value, whether it is a major (labelled) one and the label format; false
  // when the ticks are exhausted.
  virtual bool GetNextTick(float& value, bool& isMajor, std::string& format) = 0;
  // Chooses spacing, format and (optionally) tick lengths for an axis of `range` units drawn
  // over a screen length that allows about `divisionGuess` labelled intervals; `orthoScreenSize`
  // is the plot's extent across the axis, which the tick lengths follow.
  virtual bool InitFromRanges(float range, int orthoScreenSize, float divisionGuess,
                              TickInfo& tickInfo) = 0;
};

// The ticks of a linear axis: every (majorTickSpan / tickDivision) units from the first multiple
// at or above the minimum up to the maximum, every tickDivision-th one major.
class LinTickIterator : public TickIterator {
 public:
  LinTickIterator() = default;
  LinTickIterator(const AxisSetup* axis, const TickInfo* tickInfo)
      : axis_(axis), tickInfo_(tickInfo) {}
  void SetAxis(const AxisSetup* axis, const TickInfo* tickInfo) {
    axis_ = axis;
    tickInfo_ = tickInfo;
  }

  bool Init() override;
  bool GetNextTick(float& value, bool& isMajor, std::string& format) override;
  bool InitFromRanges(float range, int orthoScreenSize, float divisionGuess,
                      TickInfo& tickInfo) override;

 private:
  const AxisSetup* axis_ = nullptr;
  const TickInfo* tickInfo_ = nullptr;
  int index_ = 0;       // number of the current tick, counted in minor spans from 0
  float value_ = 0.0f;  // value of the current tick, advanced by adding the minor span
  float minorSpan_ = 0.0f;
  bool stalled_ = false;  // the last addition left the value unchanged
  std::string format_;
};

}  // namespace brx
