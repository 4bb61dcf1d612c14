#pragma once
// Fixed-width number fields of the report, printed the way a Fortran program prints them:
//
//   field_s(v, 12, 5)  "S12.5"  -1.23457E-01   scientific, one digit before the point
//   field_x(v, 9, 5)   "X9.5"     0.12346      fixed point, a leading 0 below 1
//
// The number is right-aligned in the field; a number that does not fit fills the field with "*".
// Values that are not finite print as "NaN", "Infinity" / "-Infinity", or "Inf" / "-Inf" when the
// long form does not fit, and as asterisks when not even that fits.

#include <string>

namespace brx {

// Scientific field of `width` characters with `digits` digits after the point: [-]d.dddE±dd.
// An exponent of three digits takes the place of the "E" ([-]d.ddd±ddd), as Fortran writes it.
std::string field_s(double v, int width, int digits);

// Fixed-point field of `width` characters with `decimals` digits after the point. The leading 0
// of a value below 1 is dropped only when the field has no room for it.
std::string field_x(double v, int width, int decimals);

// The report's fields by name.
inline std::string s12_5(double v) {
  return field_s(v, 12, 5);
}
inline std::string s14_6(double v) {
  return field_s(v, 14, 6);
}
inline std::string s12_3(double v) {
  return field_s(v, 12, 3);
}
inline std::string s10_4(double v) {
  return field_s(v, 10, 4);
}
inline std::string x9_5(double v) {
  return field_x(v, 9, 5);
}
inline std::string x8_3(double v) {
  return field_x(v, 8, 3);
}
inline std::string x6_3(double v) {
  return field_x(v, 6, 3);
}
inline std::string x8_5(double v) {
  return field_x(v, 8, 5);
}

}  // namespace brx
