#pragma once
// The picture module, brevantix-kd-pictures.so: the one part of the batch command that draws, and
// so the one part that needs the windowing layer. The command loads it (picture_loader.h) only
// when pictures are asked for; without them it runs without Qt.
//
// The command describes what to draw in plain values (a PictureRequest, built with plot/ and no
// Qt) and the module renders it. Inside the module a request becomes one drawing routine of a
// picture's size, and every format is written from that routine: the pixel formats from one
// picture drawn off screen, the vector formats each by drawing it once more on their document. A
// new kind of plot is a new kind of description in PictureRequest and its drawing routine, and it
// gets every format; a new format is a new format name. Module and command are built together
// from one tree: the module is found by its C-linkage entry point, and `version` refuses a module
// of another build whose request layout or formats may differ.

#include <cstddef>
#include <string>
#include <vector>

#include "plot/analysis_plot.h"
#include "plot/selwyn_picture.h"

namespace brx {

// Raise it whenever PictureRequest, PictureFile or PictureModule changes.
inline constexpr int kPictureModuleVersion = 3;
inline constexpr const char* kPictureModuleFile = "brevantix-kd-pictures.so";
inline constexpr const char* kPictureModuleEntry = "brx_picture_module";

// The formats the module writes: the BMP of the desktop program's Save Screen and a PNG of the
// same pixels; an SVG image and a one-page PDF document of the same picture drawn as lines and
// text.
inline constexpr const char* kPictureFormats[] = {"bmp", "png", "svg", "pdf"};

// One file to write: where, and in which of kPictureFormats.
struct PictureFile {
  std::string path;
  std::string format;
};

// What to draw, and the files to write it to.
struct PictureRequest {
  const AnalysisPlot* analysis = nullptr;  // the main window's picture after a run
  const SelwynPicture* selwyn = nullptr;   // else: the Selwyn plot of a group of curves
  std::vector<PictureFile> files;
};

// The module's functions.
struct PictureModule {
  int version;
  // Starts the windowing layer off screen (no display is needed, none is used) with its event
  // loop on the calling thread, which must be the process's main thread, and runs
  // program(context) on a thread of its own meanwhile; returns the program's status.
  int (*run)(int argc, char** argv, int (*program)(void* context), void* context);
  // Draws the request's picture and writes every file; any thread may call it while `run` runs,
  // several at once. Returns 0 when every file was written, else 1 with what went wrong in
  // `error`, a terminated text of at most error_size bytes.
  int (*write)(const PictureRequest* request, char* error, std::size_t error_size);
};

}  // namespace brx

// The entry point the loader looks up by name.
extern "C" const brx::PictureModule* brx_picture_module();
