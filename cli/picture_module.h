#pragma once
// The picture module, brevantix-kd-pictures.so: the one part of the batch command that draws, and
// so the one part that needs the windowing layer. The command loads it (picture_loader.h) only
// when pictures are asked for; without them it runs without Qt.
//
// The command describes what to draw in plain values (a PictureRequest, built with plot/ and no
// Qt) and the module renders it. New formats are new format names in PictureFile, new plots new
// kinds of description in PictureRequest; the loading stays as it is. Module and command are built
// together from one tree: the module is found by its C-linkage entry point, and `version` refuses
// a module of another build whose request layout may differ.

#include <cstddef>
#include <string>
#include <vector>

#include "plot/analysis_plot.h"

namespace brx {

// Raise it whenever PictureRequest, PictureFile or PictureModule changes.
inline constexpr int kPictureModuleVersion = 1;
inline constexpr const char* kPictureModuleFile = "brevantix-kd-pictures.so";
inline constexpr const char* kPictureModuleEntry = "brx_picture_module";

// One file to write: where, and in which format ("bmp", "png", or any format the windowing
// layer's image writer knows).
struct PictureFile {
  std::string path;
  std::string format;
};

// What to draw, and the files to write it to.
struct PictureRequest {
  const AnalysisPlot* analysis = nullptr;  // the main window's picture after a run
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
