// brevantix-kd-pictures.so: the batch command's pictures, drawn with the windowing toolkit off
// screen. Each picture is drawn by the calling thread into a page or a vector document of its
// own, so the batch's workers draw at once and no window is ever made.

#include "cli/picture_module.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "plot/analysis_plot_drawing.h"
#include "plot/selwyn_plot_drawing.h"
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

// A picture to write: its size in pixels and the routine that draws it with the toolkit.
struct Drawing {
  int width = 0;
  int height = 0;
  std::function<void()> draw;
};

// The picture a request describes; no routine when it describes none.
Drawing drawing_of(const PictureRequest& request) {
  if (request.analysis != nullptr) {
    return {kWindowWidth, kWindowHeight, [a = request.analysis] { draw_analysis_picture(*a); }};
  }
  if (request.selwyn != nullptr) {
    return {kSelwynWidth, kSelwynHeight, [s = request.selwyn] { draw_selwyn_picture(*s); }};
  }
  return {};
}

std::string file_error(const PictureFile& f) {
  return "the picture " + f.path + " could not be written: " + tk::lastfileerror();
}

// The pixel formats, all from one picture drawn off screen.
std::string write_pixel_files(const Drawing& d, const std::vector<const PictureFile*>& files) {
  if (files.empty()) return {};
  if (tk::beginpicture(d.width, d.height) != 1) return "a picture is being drawn";
  d.draw();
  // Save Screen's region: from (0, 0) to the viewport's edges, the whole window after a plot.
  const tk::ViewSettings v = tk::getviewsettings();
  std::string error;
  for (const PictureFile* f : files) {
    if (tk::writeimagefileas(f->path.c_str(), f->format.c_str(), 0, 0, v.right, v.bottom) != 1) {
      error = file_error(*f);
      break;
    }
  }
  tk::endpicture();
  return error;
}

std::string write_files(const PictureRequest& request) {
  const Drawing d = drawing_of(request);
  if (!d.draw) return "nothing to draw";
  std::vector<const PictureFile*> pixels, vectors;
  for (const PictureFile& f : request.files) {
    (tk::isvectorformat(f.format.c_str()) ? vectors : pixels).push_back(&f);
  }
  if (std::string error = write_pixel_files(d, pixels); !error.empty()) return error;
  for (const PictureFile* f : vectors) {
    if (tk::writevectorfile(f->path.c_str(), f->format.c_str(), d.width, d.height, d.draw) != 1) {
      return file_error(*f);
    }
  }
  return {};
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
