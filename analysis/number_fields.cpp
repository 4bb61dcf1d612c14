#include "analysis/number_fields.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace brx {
namespace {

std::string stars(int width) {
  return std::string(static_cast<std::size_t>(width), '*');
}

std::string right_aligned(const std::string& text, int width) {
  const auto w = static_cast<std::size_t>(width);
  if (text.size() > w) return stars(width);
  return std::string(w - text.size(), ' ') + text;
}

// NaN and infinities: "Infinity" needs 8 characters (9 with its minus sign); below that "Inf"
// stands in, and a field narrower than the short form is filled with asterisks.
std::string nonfinite_field(double v, int width) {
  if (width < 3) return stars(width);
  if (std::isnan(v)) return right_aligned("NaN", width);
  const bool negative = std::signbit(v);
  if (negative && width == 3) return stars(width);
  const std::string sign = negative ? "-" : "";
  const int room_for_long = negative ? 9 : 8;
  return right_aligned(sign + (width >= room_for_long ? "Infinity" : "Inf"), width);
}

}  // namespace

std::string field_s(double v, int width, int digits) {
  if (!std::isfinite(v)) return nonfinite_field(v, width);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits, std::fabs(v));
  char* e = std::strchr(buf, 'e');
  const int exponent = std::atoi(e + 1);
  *e = '\0';
  std::string text = std::signbit(v) ? "-" : "";
  text += buf;
  const int magnitude = std::abs(exponent);
  char exp_text[16];
  if (magnitude <= 99) {
    std::snprintf(exp_text, sizeof exp_text, "E%c%02d", exponent < 0 ? '-' : '+', magnitude);
  } else {
    std::snprintf(exp_text, sizeof exp_text, "%c%03d", exponent < 0 ? '-' : '+', magnitude);
  }
  text += exp_text;
  return right_aligned(text, width);
}

std::string field_x(double v, int width, int decimals) {
  if (!std::isfinite(v)) return nonfinite_field(v, width);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(v));
  std::string digits = buf;
  const std::string sign = std::signbit(v) ? "-" : "";
  if (sign.size() + digits.size() > static_cast<std::size_t>(width) && digits.rfind("0.", 0) == 0) {
    digits.erase(0, 1);  // the optional leading zero goes first when room is short
  }
  return right_aligned(sign + digits, width);
}

}  // namespace brx
