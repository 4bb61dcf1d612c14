#pragma once
// Finding and loading the picture module (picture_module.h) when the batch command is asked for
// pictures. It is looked for relative to the running program, never on the library path:
//
//   <program's folder>/brevantix-kd-pictures.so                  the build tree; installs into
//                                                                 one folder
//   <program's folder>/../lib/brevantix-kd/brevantix-kd-pictures.so   installs under a prefix
//
//   picture_module_places    where the module is looked for, in order
//   load_picture_module      the first module found, or why none could be used

#include <string>
#include <vector>

#include "base/program_folder.h"
#include "cli/picture_module.h"

namespace brx {

// The module's possible paths for a program in `folder`, in the order they are tried.
std::vector<std::string> picture_module_places(const std::string& folder);

// Loads the first module found beside the running program. Null, with a message for the user
// in `error`, when there is none, it cannot be loaded, or it belongs to another build. The module
// stays loaded until the process ends.
const PictureModule* load_picture_module(std::string& error);

}  // namespace brx
