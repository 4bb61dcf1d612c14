#include "fitting/rosenbrock_step.h"

#include <cassert>
#include <cmath>

#include "fitting/linalg.h"
#include "fitting/rate_equations.h"

namespace brx {

namespace {

constexpr const RosenbrockTableau& kTab = kRosenbrockTableau;

}  // namespace

void RateSystem::rate(double t, const std::vector<double>& y, std::vector<double>& out) const {
  l900(nr, p, y, out, t, nparam, col);
}

RosenbrockStepper::RosenbrockStepper(int col)
    : col_(col),
      jac_(col, col),
      m_(col, col),
      f0_(static_cast<std::size_t>(col) + 1),
      k1_(f0_.size()),
      k2_(f0_.size()),
      k3_(f0_.size()),
      k4_(f0_.size()) {
  assert(col >= 1);
}

void RosenbrockStepper::linearise(const RateSystem& system, double t, std::vector<double>& y) {
  system.rate(t, y, f0_);
  for (int j = 1; j <= col_; ++j) {
    const double yj = y[j];
    const double delta = 5e-15 + 0.001 * std::fabs(yj);
    y[j] = yj + delta;
    system.rate(t, y, k1_);
    for (int i = 1; i <= col_; ++i) jac_(i, j) = (k1_[i] - f0_[i]) / delta;
    y[j] = yj;
  }
}

void RosenbrockStepper::factorise(double& h) {
  for (;;) {
    for (int i = 1; i <= col_; ++i) {
      for (int j = 1; j <= col_; ++j) m_(i, j) = (i == j ? 1.0 : 0.0) - kTab.gamma * h * jac_(i, j);
    }
    int singular = 0;
    l1400(m_, col_, singular);
    if (singular == 0) return;
    h = h / 2.0;
  }
}

const std::vector<double>& RosenbrockStepper::do_step(const RateSystem& system, double t,
                                                      const std::vector<double>& y0, double h,
                                                      std::vector<double>& y) {
  const int n = col_;
  for (int i = 1; i <= n; ++i) k1_[i] = h * f0_[i];
  l1500(m_, k1_, n);

  for (int i = 1; i <= n; ++i) y[i] = y0[i] + kTab.a21 * k1_[i];
  system.rate(t + kTab.alpha2 * h, y, k2_);
  for (int i = 1; i <= n; ++i) k2_[i] = h * k2_[i] + kTab.c21 * k1_[i];
  l1500(m_, k2_, n);

  for (int i = 1; i <= n; ++i) y[i] = y0[i] + kTab.a31 * k1_[i] + kTab.a32 * k2_[i];
  system.rate(t + kTab.alpha3 * h, y, k3_);  // kept in k4 for the fourth stage as well
  for (int i = 1; i <= n; ++i) {
    k4_[i] = k3_[i];
    k3_[i] = h * k3_[i] + kTab.c31 * k1_[i] + kTab.c32 * k2_[i];
  }
  l1500(m_, k3_, n);

  for (int i = 1; i <= n; ++i) {
    k4_[i] = h * k4_[i] + kTab.c41 * k1_[i] + kTab.c42 * k2_[i] + kTab.c43 * k3_[i];
  }
  l1500(m_, k4_, n);

  for (int i = 1; i <= n; ++i) {
    y[i] = y0[i] + kTab.b1 * k1_[i] + kTab.b2 * k2_[i] + kTab.b3 * k3_[i] + kTab.b4 * k4_[i];
    k1_[i] = kTab.e1 * k1_[i] + kTab.e2 * k2_[i] + kTab.e3 * k3_[i] + kTab.e4 * k4_[i];
  }
  return k1_;
}

}  // namespace brx
