#pragma once
// The program's numbered file channels: a channel number connected to a file by name, open or
// closed. The results viewer opens the report on a channel and hands the channel to the live
// file view, which needs only the file behind it and whether the channel is still open.
// Thread-safe: the view thread asks while the viewer closes.
//
//   nuunit          a free channel number, searched from -100 up to -10 (used as |n|)
//   connect_unit    connect a channel to a file (created when missing)
//   close_unit      close a channel
//   isunitopen      1 when a channel is connected to a file
//   unit_file_name  the file behind a channel ("" when none)
//   unit_of_file    the channel a file is connected to (0 when none)
//   close_all_units close every channel (end of the program)

#include <string>

namespace brx {

// The first channel number from `from` up to `to` (both negative, as the viewer asks for
// -100..-10) whose absolute value is not connected; 0 when all are taken.
int nuunit(int from = -100, int to = -10);

// How a file is connected.
enum class UnitPosition {
  kAppend,   // created when missing, its content kept
  kReplace,  // not opened: its writer replaces it whole (write_file_atomically)
};

// Connects `unit` to `path` as `position` says. Returns false (leaving the channel closed) when
// the file cannot be opened.
bool connect_unit(int unit, const std::string& path, UnitPosition position);
void close_unit(int unit);
int isunitopen(int unit);
std::string unit_file_name(int unit);
int unit_of_file(const std::string& path);
void close_all_units();

}  // namespace brx
