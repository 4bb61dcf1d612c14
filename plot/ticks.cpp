#include "plot/ticks.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace brx {

float TickInfo::RoundSpan(float x) {
  if (!(x > 0.0f)) return kRoundSpanFailure;  // also NaN
  // Bring x into [1, 10] and count the power of ten taken out.
  int e = 0;
  if (x < 1.0f) {
    while (x < 1.0f) {
      x *= 10.0f;
      --e;
    }
  } else if (x > 10.0f) {
    while (x > 10.0f) {
      const float before = x;
      x /= 10.0f;
      ++e;
      if (x == before) return kRoundSpanFailure;  // infinite: dividing changes nothing
    }
  }
  const float d = std::floor(x + 0.5f);  // 1 .. 10
  int m = 1;
  if (d >= 10.0f) {
    m = 1;
    ++e;
  } else if (d >= 5.0f) {
    m = 5;
  } else if (d >= 2.0f) {
    m = 2;
  }
  return static_cast<float>(std::pow(10.0, e) * m);
}

void TickInfo::MakeFormatString(float span, std::string& format) {
  float a = std::fabs(span);
  if (a >= 0.001f && a <= 10000.0f) {
    // Decimals = single-precision multiplications by 10 needed to reach 1. For 0.01 that is
    // three, not two, because 0.01f * 10 rounds to just below 0.1.
    int decimals = 0;
    while (a < 1.0f) {
      a *= 10.0f;
      ++decimals;
    }
    format = "%." + std::to_string(decimals) + "f";
  } else {
    format = "%.1e";
  }
}

namespace {

// True for the one-conversion float formats the tick code makes ("%.3f", "%.1e", ...), so a
// format set by hand can never make the label printer read an argument it was not given.
bool IsFloatFormat(const std::string& f) {
  if (f.size() < 2 || f[0] != '%') return false;
  std::size_t i = 1;
  if (i < f.size() && f[i] == '.') {
    ++i;
    const std::size_t digits = i;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
    if (i == digits || i - digits > 2) return false;
  }
  return i + 1 == f.size() && std::string("feEgG").find(f[i]) != std::string::npos;
}

}  // namespace

std::string FormatTickLabel(const std::string& format, float value) {
  char buf[64];
  const char* f = IsFloatFormat(format) ? format.c_str() : "%g";
  std::snprintf(buf, sizeof buf, f, static_cast<double>(value));
  return buf;
}

bool LinTickIterator::InitFromRanges(float range, int orthoScreenSize, float divisionGuess,
                                     TickInfo& tickInfo) {
  if (divisionGuess <= 1e-20f) return false;
  const float span = TickInfo::RoundSpan(range / divisionGuess);
  if (span < 0.0f) return false;
  tickInfo.tickDivision = 5;
  // A range shorter than one rounded span gets a single major interval: the whole range.
  tickInfo.majorTickSpan = range / span >= 1.0f ? span : range;
  if (tickInfo.autoTickSize) {
    const float ortho = static_cast<float>(orthoScreenSize);
    tickInfo.minorTickScreenSize = std::max(1, static_cast<int>(std::floor(0.01f * ortho + 0.5f)));
    tickInfo.majorTickScreenSize = std::max(static_cast<int>(std::floor(0.02f * ortho + 0.5f)),
                                            tickInfo.minorTickScreenSize + 1);
  }
  // The labels follow the rounded span even when the major span is the whole range.
  TickInfo::MakeFormatString(span, tickInfo.formatString);
  return true;
}

bool LinTickIterator::Init() {
  if (axis_ == nullptr || tickInfo_ == nullptr) return false;
  minorSpan_ = tickInfo_->majorTickSpan / static_cast<float>(tickInfo_->tickDivision);
  if (!(minorSpan_ > 0.0f) || !std::isfinite(minorSpan_)) return false;
  // The first tick is the first multiple of the minor span at or above the minimum; its number
  // must fit an int (a range tiny against its distance from 0 would overflow it).
  const float first = std::ceil(axis_->min / minorSpan_);
  constexpr float kMaxIndex = 1e9f;
  if (!std::isfinite(first) || std::fabs(first) > kMaxIndex) return false;
  index_ = static_cast<int>(first);
  value_ = static_cast<float>(index_) * minorSpan_;
  format_ = tickInfo_->formatString;
  stalled_ = false;
  return true;
}

bool LinTickIterator::GetNextTick(float& value, bool& isMajor, std::string& format) {
  if (axis_ == nullptr || tickInfo_ == nullptr || stalled_ || index_ == INT_MAX) return false;
  // The summed value drifts by a few ulps; the 1e-4 allowance keeps a tick that belongs on the
  // maximum.
  if (value_ > 1.0001f * axis_->max) return false;
  value = value_;
  isMajor = index_ % tickInfo_->tickDivision == 0;
  format = format_;
  ++index_;
  // Far from 0 a tiny span no longer changes the value; stop there rather than loop forever.
  const float next = value_ + minorSpan_;
  stalled_ = next == value_;
  value_ = next;
  return true;
}

}  // namespace brx
