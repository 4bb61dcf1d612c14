#pragma once
// Small text helpers of the desktop shell: the fixed-width fields it shows and the file names it
// derives from the data file.

#include <string>
#include <string_view>

namespace brx {

// `text` without its trailing blanks.
std::string trim_right(std::string_view text);

// `text` without trailing blanks and cut to at most `width` characters (a label or title field).
std::string field_text(std::string_view text, std::size_t width);

// `text` with its leading blanks moved to the end, in a field of `width` characters, trimmed:
// the y axis label is shown left-adjusted.
std::string left_adjusted(std::string_view text, std::size_t width);

// The bare file name of a path: the part after the last "/" (the whole path when it has none).
std::string bare_file_name(std::string_view path);

// The name the results viewer proposes when saving the report text: the report name up to and
// including the last "." of its file name, then "txt" (".txt" is appended when the file name has
// no ".").
std::string text_file_name(std::string_view report_name);

// A folder with exactly one trailing "/".
std::string with_trailing_slash(std::string_view folder);

// UTF-8 text (file names) as Windows-1252 for the windows, which take single-byte text: characters
// outside that code page become "?"; bytes that are not valid UTF-8 pass through unchanged.
std::string utf8_to_cp1252(std::string_view text);

}  // namespace brx
