// brevantix-kd-batch [options] FILE...: analyses progress-curve data files without a window.

#include <glog/logging.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "base/version.h"
#include "cli/batch.h"
#include "cli/curve_set_batch.h"
#include "cli/picture_loader.h"
#include "cli/run_pictures.h"

namespace {

// What the program thread of the picture module needs to run the batch.
struct PictureRun {
  const brx::BatchOptions* options;
  const brx::PictureModule* module;
};

int run_with_pictures(void* context) {
  const auto& run = *static_cast<const PictureRun*>(context);
  const brx::PictureModule* module = run.module;
  const std::vector<std::string>& formats = run.options->plot_formats;
  const brx::PlotWriter writer = [module, &formats](const brx::RunSummary& s,
                                                    const brx::globalsplot& gp) {
    const brx::AnalysisPlot plot = brx::plot_of_run(s, gp);
    const brx::PictureRequest request = brx::picture_request(s, plot, formats);
    char error[1024];
    return module->write(&request, error, sizeof error) == 0 ? std::string() : std::string(error);
  };
  const brx::SelwynWriter selwyn = [module, &formats](const std::string& file,
                                                      const brx::crosscheck::SelwynFit& fit) {
    const brx::SelwynPicture picture = brx::selwyn_picture_of(fit);
    const brx::PictureRequest request = brx::selwyn_picture_request(file, fit.so, picture, formats);
    char error[1024];
    return module->write(&request, error, sizeof error) == 0 ? std::string() : std::string(error);
  };
  return brx::run_batch(*run.options, std::cout, std::cerr, writer, selwyn);
}

}  // namespace

int main(int argc, char** argv) {
  // The cross-check's least-squares solver logs its own failures on standard error; the command
  // reports every failure itself, naming the file.
  FLAGS_minloglevel = google::GLOG_FATAL;
  const std::vector<std::string> args(argv, argv + argc);
  brx::BatchOptions options;
  if (const auto error = brx::parse_batch_args(args, options)) {
    std::cerr << "brevantix-kd-batch: " << *error << "\n"
              << "Try 'brevantix-kd-batch --help'.\n";
    return brx::kExitUsage;
  }
  if (options.help || options.version) {
    if (options.help) {
      std::cout << brx::batch_usage();
    } else {
      std::cout << "brevantix-kd-batch " << brx::kVersion << "\n";
    }
    if (!std::cout.flush()) {
      std::cerr << "brevantix-kd-batch: standard output could not be written\n";
      return brx::kExitSomeFailed;
    }
    return brx::kExitAllAnalysed;
  }
  // Progress only for a person watching: not in a pipe, a log or a test's captured stream.
  options.progress = isatty(STDERR_FILENO) == 1;
  if (!options.plot) return brx::run_batch(options, std::cout, std::cerr);

  // Pictures need the windowing layer, which only the picture module links.
  std::string error;
  const brx::PictureModule* module = brx::load_picture_module(error);
  if (module == nullptr) {
    std::cerr << "brevantix-kd-batch: --plot: " << error << "\n";
    return brx::kExitSomeFailed;
  }
  PictureRun run{&options, module};
  int toolkit_argc = 1;  // the windowing layer sees no file arguments
  return module->run(toolkit_argc, argv, run_with_pictures, &run);
}
