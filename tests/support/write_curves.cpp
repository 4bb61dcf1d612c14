// brx-write-curves FOLDER COUNT [SEED]: writes COUNT varied progress-curve data files into FOLDER
// (see curve_files.h), for comparing whole runs of two builds of the programs.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "tests/support/curve_files.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::cerr << "Usage: brx-write-curves FOLDER COUNT [SEED]\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int count = std::atoi(argv[2]);
  const unsigned long long seed = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 1;
  std::filesystem::create_directories(folder);
  for (const brx::test::CurveFile& f : brx::test::varied_curve_files(seed, count)) {
    std::ofstream out(folder / f.name, std::ios::binary);
    out << f.text;
    if (!out) {
      std::cerr << "brx-write-curves: cannot write " << (folder / f.name).string() << "\n";
      return 1;
    }
  }
  return 0;
}
