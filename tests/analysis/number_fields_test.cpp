#include "analysis/number_fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace brx {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

struct FieldCase {
  const char* field;
  double value;
  const char* expected;
};

std::string print(const FieldCase& c) {
  const std::string f = c.field;
  if (f == "S12.5") return s12_5(c.value);
  if (f == "S14.6") return s14_6(c.value);
  if (f == "S12.3") return s12_3(c.value);
  if (f == "S10.4") return s10_4(c.value);
  if (f == "X9.5") return x9_5(c.value);
  if (f == "X8.3") return x8_3(c.value);
  if (f == "X6.3") return x6_3(c.value);
  if (f == "X8.5") return x8_5(c.value);
  return "?";
}

class ReportField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ReportField, PrintsAsAFortranProgramWould) {
  const FieldCase& c = GetParam();
  EXPECT_EQ(print(c), c.expected) << c.field << " of " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Scientific, ReportField,
    ::testing::Values(
        FieldCase{"S12.5", 0.123456789, " 1.23457E-01"},
        FieldCase{"S12.5", -0.123456789, "-1.23457E-01"}, FieldCase{"S12.5", 0.0, " 0.00000E+00"},
        FieldCase{"S12.5", 9.999996, " 1.00000E+01"},  // rounding carries
        FieldCase{"S12.5", 1.5e-300, " 1.50000-300"},  // three exponent digits
        FieldCase{"S12.5", -1.5e-300, "-1.50000-300"},
        FieldCase{"S14.6", 0.0123456789, "  1.234568E-02"},
        FieldCase{"S12.3", -45.6789, "  -4.568E+01"}, FieldCase{"S12.3", 1.0e99, "   1.000E+99"},
        FieldCase{"S10.4", 3.14159, "3.1416E+00"}, FieldCase{"S10.4", -3.14159, "**********"}));

INSTANTIATE_TEST_SUITE_P(
    FixedPoint, ReportField,
    ::testing::Values(
        FieldCase{"X9.5", 0.0123456, "  0.01235"}, FieldCase{"X9.5", 1.0, "  1.00000"},
        FieldCase{"X9.5", -0.5, " -0.50000"},
        FieldCase{"X9.5", 999.999999, "*********"},  // rounds to 1000.00000
        FieldCase{"X9.5", 999.99999, "999.99999"}, FieldCase{"X8.3", 12.3456, "  12.346"},
        FieldCase{"X8.3", 1234.5678, "1234.568"}, FieldCase{"X8.3", 12345.678, "********"},
        FieldCase{"X6.3", 2.306, " 2.306"}, FieldCase{"X6.3", -0.5, "-0.500"},
        FieldCase{"X6.3", 12.706, "12.706"}, FieldCase{"X6.3", -12.706, "******"},
        FieldCase{"X8.5", 0.01234567, " 0.01235"}, FieldCase{"X8.5", 99.999994, "99.99999"},
        FieldCase{"X8.5", 100.0, "********"}));  // an elapsed time of 100 s

INSTANTIATE_TEST_SUITE_P(
    NotFinite, ReportField,
    ::testing::Values(FieldCase{"S12.5", kNaN, "         NaN"},
                      FieldCase{"S12.5", kInf, "    Infinity"},
                      FieldCase{"S12.5", -kInf, "   -Infinity"},
                      FieldCase{"X9.5", -kInf, "-Infinity"}, FieldCase{"X8.3", kInf, "Infinity"},
                      FieldCase{"X8.3", -kInf, "    -Inf"},  // "-Infinity" needs nine
                      FieldCase{"X6.3", kInf, "   Inf"}, FieldCase{"X6.3", -kInf, "  -Inf"},
                      FieldCase{"X6.3", kNaN, "   NaN"}));

TEST(ReportFieldNarrow, NonFiniteValuesThatDoNotFitAreAsterisks) {
  EXPECT_EQ(field_x(kNaN, 2, 0), "**");
  EXPECT_EQ(field_x(-kInf, 3, 1), "***");
  EXPECT_EQ(field_x(kInf, 3, 1), "Inf");
}

}  // namespace
}  // namespace brx
