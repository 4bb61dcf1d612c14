#pragma once
// The three information screens of the "File" menu, each a modal information box.
//
//   example           "Example Data": the data file layout with a worked example
//   info              "Description": what the program decides and how
//   aboutit           "About": name, version, licence, notice and disclaimer
//   *_text            the texts themselves, lines joined by CR LF (single-byte text, the
//                     trademark sign as Windows-1252 0x99)

#include <string>

namespace brx {

// The trademark sign in the windows' single-byte code page.
inline constexpr char kTrademark = '\x99';
// The widest line of the "Description" and "About" texts.
inline constexpr std::size_t kInfoLineWidth = 67;

std::string example_text();
std::string description_text();
std::string about_text();

void example();
void info();
void aboutit();

}  // namespace brx
