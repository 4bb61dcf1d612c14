// brevantix-kd-pictures.so: the batch command's pictures, drawn with the windowing toolkit off
// screen. Each picture is drawn by the calling thread into a page of its own, so the batch's
// workers draw at once and no window is ever made.

#include "cli/picture_module.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "plot/analysis_plot_drawing.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = toolkit;

int run(int argc, char** argv, int (*program)(void* context), void* context) {
  tk::useoffscreenwindows();
  // Keep the windowing layer's notices about the off-screen display out of the error stream.
  setenv("QT_LOGGING_RULES", "default.warning=false;qt.qpa.*=false", 0);
  std::string runtime;
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
    std::string pattern = (std::filesystem::temp_directory_path() / "brx-runtime-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
      runtime = pattern;
      setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
  }
  const int status = tk::run_toolkit_program(argc, argv, [program, context] {
    tk::useansitext();  // the abort line is single-byte text, as in the desktop's windows
    return program(context);
  });
  if (!runtime.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(runtime, ignored);
  }
  return status;
}

std::string write_files(const PictureRequest& request) {
  if (request.analysis == nullptr) return "nothing to draw";
  if (tk::beginpicture(kWindowWidth, kWindowHeight) != 1) return "a picture is being drawn";
  draw_analysis_picture(*request.analysis);
  // Save Screen's region: from (0, 0) to the viewport's edges, the whole window after a plot.
  const tk::ViewSettings v = tk::getviewsettings();
  std::string error;
  for (const PictureFile& f : request.files) {
    if (tk::writeimagefileas(f.path.c_str(), f.format.c_str(), 0, 0, v.right, v.bottom) != 1) {
      error = "the picture " + f.path + " could not be written: " + tk::lastfileerror();
      break;
    }
  }
  tk::endpicture();
  return error;
}

int write(const PictureRequest* request, char* error, std::size_t error_size) {
  const std::string e = request == nullptr ? "nothing to draw" : write_files(*request);
  if (error != nullptr && error_size > 0) {
    const std::size_t n = std::min(e.size(), error_size - 1);
    std::memcpy(error, e.data(), n);
    error[n] = '\0';
  }
  return e.empty() ? 0 : 1;
}

}  // namespace
}  // namespace brx

extern "C" __attribute__((visibility("default"))) const brx::PictureModule* brx_picture_module() {
  static const brx::PictureModule module{brx::kPictureModuleVersion, brx::run, brx::write};
  return &module;
}
