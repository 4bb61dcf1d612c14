#include "fitting/integrator.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "fitting/linalg.h"
#include "fitting/rate_equations.h"
#include "base/table.h"

namespace brx {

namespace {

// Coefficients of the method. The iteration matrix is M = I − γ·h·J; stage i solves
// M·k(i) = h·f(stage i) + Σ c(i, j)·k(j) with the stage state y0 + Σ a(i, j)·k(j). The fourth
// stage reuses the third rate. b are the weights of the solution, e those of the error.
constexpr double kGamma = 0.395;
constexpr double kA21 = 0.438;
constexpr double kA31 = 0.9389487, kA32 = 0.07307954;
constexpr double kC21 = -1.943474;
constexpr double kC31 = 0.4169575, kC32 = 1.323968;
constexpr double kC41 = 1.519513, kC42 = 1.353708, kC43 = -0.8541515;
constexpr double kB1 = 0.7290448, kB2 = 0.05410698, kB3 = 0.2815994, kB4 = 0.25;
constexpr double kE1 = -0.01908589, kE2 = 0.2556088, kE3 = -0.08638163, kE4 = 0.25;

using Vec = std::vector<double>;

}  // namespace

void l7200(const nrtype& nr, Vec& y, int col, double& t, double tend, int /*npts*/, double& h,
           Vec& p, Vec& d, int nparam, int maxsteps, double tol, int& ierr, int& nsteps,
           int& nrej) {
  assert(col >= 1 && static_cast<int>(y.size()) > col && static_cast<int>(d.size()) > col);
  ierr = 0;
  nsteps = 0;
  nrej = 0;
  if (t >= tend) return;

  const auto size = static_cast<std::size_t>(col + 1);
  Table jac(col, col), m(col, col);
  Vec f0(size), k1(size), k2(size), k3(size), k4(size), y0(size), ybackup(size);

  // Copies entries 1..col; the caller's y may be longer than the work vectors.
  auto copy = [col](Vec& to, const Vec& from) {
    std::copy(from.begin() + 1, from.begin() + col + 1, to.begin() + 1);
  };
  // Rate f(t, y) of the model into `out`, through the work vector d.
  auto rate = [&](Vec& out) {
    l900(nr, p, y, d, t, nparam, col);
    for (int i = 1; i <= col; ++i) out[i] = d[i];
  };

  bool retry = true;  // no step accepted yet, or the last attempt was rejected
  bool last = false;  // this attempt ends at tend
  double phi = 1.0;   // safety factor, lowered after an undo and recovered slowly
  double t0 = t;      // start of the current step
  double tprev = t;   // start of the last accepted step, for its undo
  double hsave = h;   // the step before truncation to tend
  copy(y0, y);

  enum class Resume { kNextStep, kRates, kFactorise };
  Resume resume = Resume::kNextStep;
  for (;;) {
    if (resume == Resume::kNextStep) {
      if (nsteps >= maxsteps) return;  // partial state, t < tend
      if (t + h >= tend) {
        last = true;
        hsave = h;
        h = tend - t;
      }
    }
    if (resume != Resume::kFactorise) {
      // Rate and forward-difference Jacobian at the start of the step.
      rate(f0);
      for (int j = 1; j <= col; ++j) {
        const double yj = y[j];
        const double delta = 5e-15 + 0.001 * std::fabs(yj);
        y[j] = yj + delta;
        l900(nr, p, y, d, t, nparam, col);
        for (int i = 1; i <= col; ++i) jac(i, j) = (d[i] - f0[i]) / delta;
        y[j] = yj;
      }
    }

    // M can only be singular for a large step: as h -> 0, M -> I.
    for (;;) {
      for (int i = 1; i <= col; ++i) {
        for (int j = 1; j <= col; ++j) m(i, j) = (i == j ? 1.0 : 0.0) - kGamma * h * jac(i, j);
      }
      l1400(m, col, ierr);
      if (ierr == 0) break;
      h = h / 2.0;
      ierr = 0;
    }

    // Stages; every rate is taken at the start time t of the step.
    for (int i = 1; i <= col; ++i) k1[i] = h * f0[i];
    l1500(m, k1, col);

    for (int i = 1; i <= col; ++i) y[i] = y0[i] + kA21 * k1[i];
    rate(k2);
    for (int i = 1; i <= col; ++i) k2[i] = h * k2[i] + kC21 * k1[i];
    l1500(m, k2, col);

    for (int i = 1; i <= col; ++i) y[i] = y0[i] + kA31 * k1[i] + kA32 * k2[i];
    rate(k3);  // f2, kept in k4 for the fourth stage
    for (int i = 1; i <= col; ++i) {
      k4[i] = k3[i];
      k3[i] = h * k3[i] + kC31 * k1[i] + kC32 * k2[i];
    }
    l1500(m, k3, col);

    for (int i = 1; i <= col; ++i) k4[i] = h * k4[i] + kC41 * k1[i] + kC42 * k2[i] + kC43 * k3[i];
    l1500(m, k4, col);

    for (int i = 1; i <= col; ++i) {
      y[i] = y0[i] + kB1 * k1[i] + kB2 * k2[i] + kB3 * k3[i] + kB4 * k4[i];
    }
    t = t + h;

    // Error ratio, measured relative to the size of the state. Its floor tol/16 caps the growth
    // of h at 1.8·phi per step. A not-a-number ratio never wins the comparison, so a state that
    // has blown up ends the interval instead of being rejected for ever.
    double err = tol / 16.0;
    for (int i = 1; i <= col; ++i) {
      const double e = kE1 * k1[i] + kE2 * k2[i] + kE3 * k3[i] + kE4 * k4[i];
      const double ratio = 2.0 * std::fabs(e) / (std::fabs(y[i]) + std::fabs(y0[i]) + 1e-10 * tol);
      if (ratio > err) err = ratio;
    }
    h = h * 0.9 * std::pow(tol / err, 0.25) * phi;

    if (err <= tol) {  // accepted
      nsteps += 1;
      if (last) {
        h = hsave;
        t = tend;  // t + (tend − t) can miss tend by a rounding
        ierr = 0;
        return;
      }
      copy(ybackup, y0);
      tprev = t0;
      copy(y0, y);
      t0 = t;
      retry = false;
      phi = std::min(1.0, 1.05 * phi);
      resume = Resume::kNextStep;
      continue;
    }

    nrej += 1;
    last = false;
    if (retry) {
      // Try again from the same point with the smaller h; f0 and the Jacobian still hold.
      copy(y, y0);
      t = t0;
      resume = Resume::kFactorise;
    } else {
      // The step just accepted led here, so it is distrusted as well: go back to where it
      // started, with a more cautious safety factor.
      copy(y, ybackup);
      copy(y0, ybackup);
      nsteps -= 1;
      t = tprev;
      t0 = t;
      retry = true;
      phi = 0.9 * phi;
      resume = Resume::kRates;
    }
  }
}

}  // namespace brx
