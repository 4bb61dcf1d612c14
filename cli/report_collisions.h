#pragma once
// Inputs of one batch call whose reports would overwrite each other or a data file of the same
// call. A report replaces the last three characters of its data file's name by "out", so
// run7.dat and run7.csv share run7.out, "ab" and "dat" share "out", and the report of "x日" is
// the data file "xout".

#include <string>
#include <vector>

namespace brx {

// For each file, in order, why it must not be analysed, or an empty text: its report is the
// report of an earlier file, or it is one of the files themselves (the file's own name ending in
// "out" is left to the run, which refuses it). Paths are compared as the files they name (a
// relative name, "./" and symbolic links are resolved), and the message names both files.
std::vector<std::string> report_collisions(const std::vector<std::string>& files);

}  // namespace brx
