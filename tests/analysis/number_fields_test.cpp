#include "analysis/number_fields.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace brx {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ReportField, PrintsAsAFortranProgramWould) {
  const struct {
    std::string (*field)(double);
    const char* name;
    double value;
    const char* expected;
  } cases[] = {
      {s12_5, "S12.5", 0.123456789, " 1.23457E-01"},
      {s12_5, "S12.5", 9.999996, " 1.00000E+01"},   // rounding carries into the exponent
      {s12_5, "S12.5", -1.5e-300, "-1.50000-300"},  // three exponent digits replace the E
      {s14_6, "S14.6", 0.0123456789, "  1.234568E-02"},
      {s12_3, "S12.3", -45.6789, "  -4.568E+01"},
      {s10_4, "S10.4", 3.14159, "3.1416E+00"},
      {s10_4, "S10.4", -3.14159, "**********"},
      {x9_5, "X9.5", 0.0123456, "  0.01235"},
      {x9_5, "X9.5", 999.999999, "*********"},  // rounds to 1000.00000
      {x8_3, "X8.3", 1234.5678, "1234.568"},
      {x8_3, "X8.3", 12345.678, "********"},
      {x6_3, "X6.3", -0.5, "-0.500"},
      {x6_3, "X6.3", -12.706, "******"},
      {x8_5, "X8.5", 99.999994, "99.99999"},
      {x8_5, "X8.5", 100.0, "********"},  // an elapsed time of 100 s
      {s12_5, "S12.5", kNaN, "         NaN"},
      {s12_5, "S12.5", kInf, "    Infinity"},
      {s12_5, "S12.5", -kInf, "   -Infinity"},
      {x8_3, "X8.3", kInf, "Infinity"},
      {x8_3, "X8.3", -kInf, "    -Inf"},  // "-Infinity" needs nine
      {x6_3, "X6.3", kInf, "   Inf"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.field(c.value), c.expected) << c.name << " of " << c.value;
  EXPECT_EQ(field_x(kNaN, 2, 0), "**");  // not even the short forms fit
  EXPECT_EQ(field_x(-kInf, 3, 1), "***");
}

}  // namespace
}  // namespace brx
