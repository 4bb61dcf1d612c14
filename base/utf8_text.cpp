#include "base/utf8_text.h"

#include <cstdio>

namespace brx {
namespace {

// The length of the well-formed UTF-8 sequence at text[at], or 0 when the byte there does not
// start one. The ranges of the second byte rule out overlong forms, surrogates (ED A0..BF) and
// code points above U+10FFFF.
std::size_t sequence_length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char b0 = byte(0);
  if (b0 < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    if (b0 == 0xE0) low = 0xA0;
    if (b0 == 0xED) high = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    if (b0 == 0xF0) low = 0x90;
    if (b0 == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
  }
  return length;
}

// A control character: C0, DEL, or C1 (U+0080..U+009F, written C2 80..C2 9F).
bool is_control(std::string_view text, std::size_t at, std::size_t length) {
  const auto b0 = static_cast<unsigned char>(text[at]);
  if (length == 1) return b0 < 0x20 || b0 == 0x7F;
  return length == 2 && b0 == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

void append_escaped(std::string& out, std::string_view bytes) {
  for (const char c : bytes) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
    out += buf;
  }
}

// Appends the character at text[at] in printable form; returns its length in the text.
std::size_t append_printable(std::string& out, std::string_view text, std::size_t at) {
  const std::size_t length = sequence_length(text, at);
  const std::size_t taken = length == 0 ? 1 : length;
  if (length == 0 || is_control(text, at, length)) {
    append_escaped(out, text.substr(at, taken));
  } else {
    out.append(text.substr(at, taken));
  }
  return taken;
}

}  // namespace

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) at += append_printable(out, text, at);
  return out;
}

std::string excerpt(std::string_view text, std::size_t max_chars) {
  std::string out;
  std::size_t at = 0;
  for (std::size_t shown = 0; at < text.size() && shown < max_chars; ++shown) {
    at += append_printable(out, text, at);
  }
  if (at < text.size()) out += "\u2026";
  return out;
}

std::string valid_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = sequence_length(text, at);
    if (length == 0) {
      out += "\uFFFD";
      ++at;
    } else {
      out.append(text.substr(at, length));
      at += length;
    }
  }
  return out;
}

std::vector<std::size_t> character_starts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at < text.size();) {
    starts.push_back(at);
    const std::size_t length = sequence_length(text, at);
    at += length == 0 ? 1 : length;
  }
  return starts;
}

}  // namespace brx
