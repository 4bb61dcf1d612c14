// brx-write-plate FOLDER: writes the example curve-set tables examples/plate.csv and
// examples/plate.tsv (the same set, the second as plate-reader software exports it: tabs and a
// decimal comma). One reaction at four enzyme concentrations with a known loss of enzyme:
//
//   Km = 20, kcat = 2.4 per min and unit of E0, kd = 0.0116 per min (half-life 60 min),
//   [So] = 100, E0 = 0.25, 0.5, 1, 2; 21 readings 3 min apart; Gaussian noise of SD 0.5
//   (0.5 % of [So]), seeds 7 (well A1) to 10 (A4); products written to 3 decimals.
//
// Well A2 has no reading at 27 min, to show a missing point.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/crosscheck/synthetic_curves.h"

namespace {

constexpr double kKm = 20, kKcat = 2.4, kKd = 0.0116, kSo = 100, kNoise = 0.5;
constexpr double kE0[] = {0.25, 0.5, 1, 2};
constexpr int kPoints = 21;
constexpr double kTmax = 60;
constexpr unsigned kSeed = 7;
constexpr int kMissingWell = 1, kMissingRow = 9;  // A2 at 27 min

std::string number(double v, int decimals, bool decimal_comma) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  if (decimal_comma) std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

std::string table(const std::vector<brx::crosscheck::ProgressCurve>& wells, char sep,
                  bool decimal_comma, const std::string& eol) {
  std::string s = "Time (min)";
  // Appended piece by piece: GCC 12 at -O3 takes "A" + std::to_string(...) for an overlapping
  // copy (-Wrestrict).
  for (std::size_t k = 0; k < wells.size(); ++k) {
    s.append(1, sep).append("A").append(std::to_string(k + 1));
  }
  s += eol + "So";
  for (std::size_t k = 0; k < wells.size(); ++k) s += sep + number(kSo, 0, decimal_comma);
  s += eol + "E0";
  for (const double e0 : kE0) s += sep + number(e0, 2, decimal_comma);
  s += eol;
  for (int i = 0; i < kPoints; ++i) {
    s += number(wells[0].t[static_cast<std::size_t>(i)], 0, decimal_comma);
    for (std::size_t k = 0; k < wells.size(); ++k) {
      s += sep;
      if (static_cast<int>(k) == kMissingWell && i == kMissingRow) continue;
      s += number(wells[k].y[static_cast<std::size_t>(i)], 3, decimal_comma);
    }
    s += eol;
  }
  s += eol + "# brx-write-plate: Km 20, kcat 2.4 /min per unit of E0, kd 0.0116 /min, [So] 100, " +
       "noise SD 0.5, seeds 7 (A1) to 10 (A4)" + eol;
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Usage: brx-write-plate FOLDER\n";
    return 2;
  }
  std::vector<brx::crosscheck::ProgressCurve> wells;
  for (std::size_t k = 0; k < std::size(kE0); ++k) {
    const brx::test::LossCurve shape{.km = kKm,
                                     .vmax = kKcat * kE0[k],
                                     .s0 = kSo,
                                     .p0 = 0,
                                     .kd = kKd,
                                     .tmax = kTmax,
                                     .points = kPoints,
                                     .noise = kNoise};
    wells.push_back(brx::test::loss_curve(shape, kSeed + k));
  }
  const std::filesystem::path folder = argv[1];
  const struct {
    const char* name;
    std::string text;
  } files[] = {{"plate.csv", table(wells, ',', false, "\n")},
               {"plate.tsv", table(wells, '\t', true, "\r\n")}};
  for (const auto& f : files) {
    std::ofstream out(folder / f.name, std::ios::binary);
    out << f.text;
    if (!out) {
      std::cerr << "brx-write-plate: cannot write " << (folder / f.name).string() << "\n";
      return 1;
    }
  }
  return 0;
}
