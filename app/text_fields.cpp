#include "app/text_fields.h"

#include <array>
#include <cstdint>

namespace brx {

std::string trim_right(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string field_text(std::string_view text, std::size_t width) {
  return trim_right(text.substr(0, std::min(width, text.size())));
}

std::string left_adjusted(std::string_view text, std::size_t width) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string();
  return field_text(text.substr(first), width);
}

std::string bare_file_name(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string text_file_name(std::string_view report_name) {
  const std::size_t slash = report_name.find_last_of('/');
  const std::size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = report_name.find_last_of('.');
  // A "." in a folder name must not decide where the file name is cut.
  if (dot == std::string_view::npos || dot < name_start) return std::string(report_name) + ".txt";
  return std::string(report_name.substr(0, dot + 1)) + "txt";
}

std::string with_trailing_slash(std::string_view folder) {
  std::string out(folder);
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  if (out != "/") out += '/';
  return out;
}

namespace {

// Unicode code points of Windows-1252 bytes 0x80..0x9F (0 where the code page has no character).
constexpr std::array<std::uint16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char cp1252_byte(std::uint32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
    if (kCp1252High[i] != 0 && kCp1252High[i] == code) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string utf8_to_cp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    const std::size_t length = b < 0x80           ? 1
                               : (b >> 5) == 0x6  ? 2
                               : (b >> 4) == 0xE  ? 3
                               : (b >> 3) == 0x1E ? 4
                                                  : 0;
    bool valid = length > 0 && i + length <= text.size();
    std::uint32_t code = length == 1 ? b : b & (0x7Fu >> length);
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      valid = (c & 0xC0) == 0x80;
      code = (code << 6) | (c & 0x3Fu);
    }
    if (!valid) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    out += cp1252_byte(code);
    i += length;
  }
  return out;
}

}  // namespace brx
