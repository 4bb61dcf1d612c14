// brevantix-kd-batch [options] FILE...: analyses progress-curve data files without a window.

#include <iostream>
#include <string>
#include <vector>

#include "cli/batch.h"

int main(int argc, char** argv) {
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
  return brx::run_batch(options, std::cout, std::cerr);
}
