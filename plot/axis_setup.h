#pragma once
// The settings of one plot axis: its range, how the range is found, its direction and label.

#include <string>

namespace brx {

struct AxisSetup {
  float min = 0.0f;
  float max = 0.0f;
  bool autoscaleMin = true;  // take the minimum from the data
  bool autoscaleMax = true;  // take the maximum from the data
  bool ascending = true;     // values grow in the direction of growing pixels
  bool logarithmic = false;
  bool crossOrigin = true;  // the axis line is drawn through 0 of the other axis
  float logBase = 10.0f;
  std::string label;
};

// The x axis as a new plot has it: values grow to the right.
inline AxisSetup DefaultXAxisSetup() {
  return AxisSetup{};
}

// The y axis as a new plot has it: values grow upwards, against the pixel direction.
inline AxisSetup DefaultYAxisSetup() {
  AxisSetup a;
  a.ascending = false;
  return a;
}

}  // namespace brx
