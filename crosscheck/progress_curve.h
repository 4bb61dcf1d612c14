#pragma once
// One recorded progress curve, in the data file's own units.

#include <vector>

namespace brx::crosscheck {

struct ProgressCurve {
  std::vector<double> t;  // times, in any order; ties are harmless (nothing is integrated)
  std::vector<double> y;  // product concentrations at those times
  double s0 = 0;          // initial substrate concentration, > 0, held fixed
  double e0 = 1;          // relative enzyme concentration: this curve's Vmax is kcat·e0
};

}  // namespace brx::crosscheck
