// brevantix-kd-batch [options] FILE...: analyses progress-curve data files without a window.

#include <glog/logging.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/batch.h"
#ifdef BRX_WITH_PLOT_PICTURES
#include "app/plot_picture.h"
#endif

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
  if (options.help) {
    std::cout << brx::batch_usage();
    return brx::kExitAllAnalysed;
  }
  if (options.version) {
    std::cout << "brevantix-kd-batch " << BRX_VERSION << "\n";
    return brx::kExitAllAnalysed;
  }
  if (options.plot) {
#ifdef BRX_WITH_PLOT_PICTURES
    // The pictures are drawn by the windowing toolkit, off screen; Qt sees no file arguments.
    int toolkit_argc = 1;
    return brx::run_with_plot_pictures(toolkit_argc, argv, [&] {
      return brx::run_batch(options, std::cout, std::cerr, brx::write_plot_pictures);
    });
#else
    std::cerr << "brevantix-kd-batch: --plot needs a build with the windowing toolkit\n";
    return brx::kExitUsage;
#endif
  }
  return brx::run_batch(options, std::cout, std::cerr);
}
