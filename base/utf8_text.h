#pragma once
// Text from files and file names shown to a user or put into JSON. Such text may hold any bytes:
// control characters that would drive the user's terminal (ESC, BEL), bytes that are not UTF-8,
// NUL. A "character" below is one well-formed UTF-8 sequence, or one byte that is not part of
// one.
//
//   printable         control characters and stray bytes as \xNN, the rest as it is
//   excerpt           the first characters of a text, printable, with "…" when cut
//   valid_utf8        stray bytes replaced by U+FFFD, for JSON
//   character_starts  where each character of a text starts

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brx {

// `text` with every byte of a control character (C0, DEL and the C1 range U+0080..U+009F) and
// every byte that is not part of a well-formed UTF-8 sequence written as \xNN (lower-case hex).
// Everything else, backslashes included, is kept as it is.
std::string printable(std::string_view text);

// The first `max_chars` characters of `text`, made printable, followed by "…" when the text holds
// more.
std::string excerpt(std::string_view text, std::size_t max_chars);

// `text` with every byte that is not part of a well-formed UTF-8 sequence (overlong forms,
// surrogates and code points above U+10FFFF included) replaced by U+FFFD.
std::string valid_utf8(std::string_view text);

// The offset of each character of `text`, in order (empty for an empty text).
std::vector<std::size_t> character_starts(std::string_view text);

}  // namespace brx
