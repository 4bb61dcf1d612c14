#include "cli/picture_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>

namespace brx {

std::vector<std::string> picture_module_places(const std::string& folder) {
  const std::filesystem::path here(folder);
  return {(here / kPictureModuleFile).string(),
          (here / ".." / "lib" / "brevantix-kd" / kPictureModuleFile).lexically_normal().string()};
}

const PictureModule* load_picture_module(std::string& error) {
  const std::string folder = executable_folder();
  if (folder.empty()) {
    error = "the program's own folder cannot be found, so neither can " +
            std::string(kPictureModuleFile);
    return nullptr;
  }
  const std::vector<std::string> places = picture_module_places(folder);
  for (const std::string& place : places) {
    if (::access(place.c_str(), F_OK) != 0) continue;
    void* handle = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      error = "the picture module " + place + " cannot be loaded: " + ::dlerror();
      return nullptr;
    }
    using Entry = const PictureModule* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(handle, kPictureModuleEntry));
    const PictureModule* module = entry == nullptr ? nullptr : entry();
    if (module == nullptr || module->version != kPictureModuleVersion) {
      error = "the picture module " + place + " belongs to another build of the program";
      return nullptr;
    }
    return module;
  }
  error = "the picture module " + std::string(kPictureModuleFile) +
          " is not installed (looked for " + places[0] + " and " + places[1] + ")";
  return nullptr;
}

}  // namespace brx
