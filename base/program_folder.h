#pragma once
// Where the running program lies, so that the files installed with it (the picture module, the
// icon) are found relative to it: in the build tree and under any installation prefix alike.

#include <string>

namespace brx {

// The folder of the running program, from /proc/self/exe; empty when it cannot be read.
std::string executable_folder();

}  // namespace brx
