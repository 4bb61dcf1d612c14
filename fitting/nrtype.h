#pragma once
// The numeric record of one analysis: the values the run writes and the fitting engine and the
// desktop shell read. There is no global instance: the run creates or receives one and passes it
// by reference, so analyses of different files never share state.

#include <array>
#include <cstdint>
#include <string>

#include "base/table.h"

namespace brx {

// State of the two random generators of the regression. Both start as in a fresh process at the
// beginning of every analysis, so a file's results depend on the file alone.
struct RandomState {
  double rangen_r = 0.0;              // last value of rangen (restarted with x = 0 by every fit)
  std::int32_t lehmer = 520932930;    // state of the minimal-standard uniform generator
};

struct nrtype {
  int imdl = 1;                       // model being fitted: 1 deactivation, 2 classical
  std::array<int, 6> mask{};          // mask(k) = 1: parameter k held fixed (index 0 unused)
  int flagpexp = 0;                   // 1: deactivation type 2 (negative [So] in the data file)
  int iupdwn = 1;                     // +1: the progress curve rises
  double so = 0.0;                    // normalised [So] read by the rate equations
  double po = 0.0;                    // saved [Po] start value
  double j1 = 0.0;                    // fitted kd, at least 5e-9
  int bflag = 0;                      // file-exists flag
  int n8 = 0;                         // number of published points
  Table x8, y8, z8;                   // (1..n8) x (1..2): times, observations, fitted curves;
                                      // column 1 Model 1, column 2 Model 2
  std::string title8;                 // plot title (100 characters at most)
  std::array<std::string, 2> label8;  // axis labels (50 characters at most)
  RandomState rng;
};

}  // namespace brx
