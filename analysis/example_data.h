#pragma once
// The example data file shown to the user (in a report whose data has too few points, and on the
// Example Data screen): the start value of [So], then thirteen time, [Product] rows.

#include <array>
#include <string_view>

namespace brx {

inline constexpr std::array<std::string_view, 14> kExampleDataLines = {
    "4.5",           "0.0,    0.000", "0.20,   0.496", "0.40,   0.976", "0.60,   1.386",
    "0.80,   1.831", "1.0,    2.053", "1.4,    2.566", "2.0,    3.077", "2.4,    3.281",
    "3.0,    3.502", "4.0,    3.600", "5.0,    3.630", "6.0,    3.643",
};

}  // namespace brx
