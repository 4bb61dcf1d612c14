// The reference omegw, carried in binary128 (libquadmath). The only file that knows the binary128
// type: everything else sees W through a double.

#include <quadmath.h>

#include <cmath>

#include "estimates/lambert_w.h"

namespace brx {

namespace {

using quad = __float128;

// Residual tolerance of the Halley refinement: the binary128 number nearest 10^-7 (a double
// 1e-7 widened would not be the same number).
constexpr quad kResidualTol = 1e-7Q;
// The first guess is kept within +-65 so that e^w cannot overflow the first step.
constexpr quad kGuessCap = 65;
constexpr int kMaxHalleySteps = 10;

}  // namespace

double omegw_binary128(double x) {
  if (std::isnan(x)) return x;
  if (x == HUGE_VAL) return x;

  quad X = static_cast<quad>(x);
  if (X < 0) X = 0;
  const quad eps = kResidualTol;
  const quad tol = kResidualTol * X;

  // First guess, L - ln(1 + L) + X·(X/2 + 8)/(X² + 12·X + 8) with L = ln(1 + X), summed in this
  // order: the order decides the last digits of every fitted curve.
  const quad L = logq(1 + X);
  quad w = (X / 2 + 8) * X / ((12 * X + 8) + X * X) + L - logq(L + 1);

  if ((w < 0 ? -w : w) > kGuessCap) {
    // Above x of about 7.2e29 the guess is cut to 65; from about 1e37 on, ten steps from there
    // end short of the root. Intended: the fit never needs W that large.
    w = w > 0 ? kGuessCap : -kGuessCap;
  } else if (w <= 0) {
    w = X / (X + 1) + logq(1 + X / 8);  // only X = 0 gets here, giving 0
  }

  for (int it = 1; it <= kMaxHalleySteps; ++it) {
    const quad E = expq(w);
    const quad f = w * E - X;
    // Stop when max(eps, |f| - tol) <= eps, i.e. |f| <= 1e-7·(1 + X): a test on the residual,
    // not on the step, so the answer is only as good as that.
    const quad excess = (f < 0 ? -f : f) - tol;
    if ((excess > eps ? excess : eps) <= eps) break;
    if (X <= 0) break;
    w = w - f / (E * (w + 1) - (w / 2 + 1) * f / (w + 1));
  }
  // After the tenth step the value is returned untested.
  return static_cast<double>(w);
}

}  // namespace brx
