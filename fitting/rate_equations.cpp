#include "fitting/rate_equations.h"

#include <cassert>
#include <cmath>

#include "base/stop.h"

namespace brx {

void l800(const std::vector<double>& p, std::vector<double>& yi, [[maybe_unused]] int col) {
  assert(col >= 1 && p.size() > 3 && static_cast<int>(yi.size()) > col);
  yi[1] = p[3];
}

void l900(const nrtype& nr, std::vector<double>& p, const std::vector<double>& y,
          std::vector<double>& d, double t, int nparam, [[maybe_unused]] int col) {
  assert(nparam >= 1 && nparam <= 5 && p.size() > 4);
  assert(col >= 1 && static_cast<int>(y.size()) > col && static_cast<int>(d.size()) > col);
  // A fitted parameter must never reach zero: the fit works on changes relative to it.
  constexpr double kTiny = 1.0001e-15;
  // exp(23·t) with t <= 1 stays far from overflow, and larger kd is no longer distinguishable
  // from a dead enzyme on a normalised time scale.
  constexpr double kMaxKd = 23.0;
  for (int k = 1; k <= nparam; ++k) {
    if (nr.mask[static_cast<std::size_t>(k)] == 0 && std::fabs(p[k]) < kTiny) p[k] = kTiny;
  }
  // The law only holds while substrate remains: a [P] at or past So is taken as 0.99·So (one just
  // below So is left as it is), and one below 0.0001 as 0.0001.
  double prod = y[1];
  if (prod >= nr.so) prod = 0.99 * nr.so;
  if (prod < 0.0001) prod = 0.0001;
  if (nr.iupdwn != 1) throw Stop("DESCENDING CURVE NOT ALLOWED!");

  const double km = p[1];
  const double vmax = p[2];
  const double r = (nr.so - prod) * vmax / (nr.so - prod + km);
  double rate;
  if (nr.imdl != 1) {
    rate = r;
  } else {
    if (p[4] > kMaxKd) p[4] = kMaxKd;
    if (p[4] < kTiny) p[4] = kTiny;
    const double kd = p[4];
    if (nr.flagpexp == 0) {
      rate = std::exp(-kd * t) * r;
    } else {
      rate = std::exp(-kd * t) * r - (t * km / vmax / kd) * std::exp(kd * t);
    }
  }
  d[1] = rate;
}

}  // namespace brx
