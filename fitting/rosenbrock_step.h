#pragma once
// One step of the four-stage linearly implicit (Rosenbrock-type) method that integrates the rate
// equations, and the system it steps: the rate f(t, y) of l900 and its Jacobian ∂f/∂y.
//
// A step from (t, y0) of size h, with J = ∂f/∂y at (t, y0) and M = I − γ·h·J:
//
//   M·k1 = h·f(t, y0)
//   M·k2 = h·f(t + α2·h, y0 + a21·k1)               + c21·k1
//   M·k3 = h·f(t + α3·h, y0 + a31·k1 + a32·k2)      + c31·k1 + c32·k2
//   M·k4 = h·(the third stage's rate)                + c41·k1 + c42·k2 + c43·k3
//   y    = y0 + b1·k1 + b2·k2 + b3·k3 + b4·k4        error estimate e = Σ e(i)·k(i)
//
// α2 = α3 = 0 and the method has no ∂f/∂t term: the rates are taken at the start of the step.
// For Model 2 (autonomous) that costs nothing; for Model 1, whose rate falls with exp(−kd·t),
// the decay is frozen over each step, so the integrated curve lags the true one by a first-order
// error in h (the curve the fit compares with the data is this one, not the closed form).

#include <vector>

#include "base/table.h"
#include "fitting/nrtype.h"

namespace brx {

// Coefficients of the method, to seven significant digits at most.
struct RosenbrockTableau {
  double gamma;                         // M = I − γ·h·J
  double alpha2, alpha3;                // stage times t + α·h of the second and third rates
  double a21, a31, a32;                 // stage states
  double c21, c31, c32, c41, c42, c43;  // stage couplings on the right-hand sides
  double b1, b2, b3, b4;                // weights of the new state
  double e1, e2, e3, e4;                // weights of the error estimate
};

inline constexpr RosenbrockTableau kRosenbrockTableau{
    .gamma = 0.395,
    .alpha2 = 0.0,
    .alpha3 = 0.0,
    .a21 = 0.438,
    .a31 = 0.9389487,
    .a32 = 0.07307954,
    .c21 = -1.943474,
    .c31 = 0.4169575,
    .c32 = 1.323968,
    .c41 = 1.519513,
    .c42 = 1.353708,
    .c43 = -0.8541515,
    .b1 = 0.7290448,
    .b2 = 0.05410698,
    .b3 = 0.2815994,
    .b4 = 0.25,
    .e1 = -0.01908589,
    .e2 = 0.2556088,
    .e3 = -0.08638163,
    .e4 = 0.25,
};

// The rate equation of the model being fitted, as the integrator sees it. l900 may clamp the
// parameters p in place while it evaluates them.
struct RateSystem {
  const nrtype& nr;
  std::vector<double>& p;
  int nparam;
  int col;

  // f(t, y) into out(1..col).
  void rate(double t, const std::vector<double>& y, std::vector<double>& out) const;
};

// Takes single steps of the method for a system of `col` states (vectors indexed 1..col). Every
// attempt from one point shares the rate and Jacobian of linearise(); factorise() then fixes the
// step size.
class RosenbrockStepper {
 public:
  explicit RosenbrockStepper(int col);

  // Rate f0 and Jacobian J at (t, y), the point the next steps start from. J(i, j) comes from
  // a forward difference of step 5e-15 + 0.001·|y(j)|: y(j) is moved by it and restored exactly.
  void linearise(const RateSystem& system, double t, std::vector<double>& y);

  // Factorises M = I − γ·h·J for the step h, halving h while M is singular (as h → 0, M → I, so
  // this ends for any finite J).
  void factorise(double& h);

  // One step of size h from (t, y0), the point of the last linearise() and the h of the last
  // factorise(): the new state into y (which holds the stage states on the way). Returns the
  // error estimate, indexed 1..col, valid until the stepper is used again.
  const std::vector<double>& do_step(const RateSystem& system, double t,
                                     const std::vector<double>& y0, double h,
                                     std::vector<double>& y);

 private:
  int col_;
  Table jac_, m_;
  // Stage vectors. k1 also holds the perturbed rates in linearise() and, after do_step(), the
  // error estimate: the steps need no storage besides.
  std::vector<double> f0_, k1_, k2_, k3_, k4_;
};

}  // namespace brx
