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

// The report's fields by name: s12_5 is "S12.5", x9_5 is "X9.5", and so on.
template <int Width, int Digits>
std::string scientific_field(double v) {
  return field_s(v, Width, Digits);
}
template <int Width, int Decimals>
std::string fixed_field(double v) {
  return field_x(v, Width, Decimals);
}
inline constexpr auto s12_5 = scientific_field<12, 5>;
inline constexpr auto s14_6 = scientific_field<14, 6>;
inline constexpr auto s12_3 = scientific_field<12, 3>;
inline constexpr auto s10_4 = scientific_field<10, 4>;
inline constexpr auto x9_5 = fixed_field<9, 5>;
inline constexpr auto x8_3 = fixed_field<8, 3>;
inline constexpr auto x6_3 = fixed_field<6, 3>;
inline constexpr auto x8_5 = fixed_field<8, 5>;

}  // namespace brx
