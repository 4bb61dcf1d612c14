#pragma once
// Integration of the rate equations between two data times: the steps of RosenbrockStepper
// (rosenbrock_step.h) under the control of StepControl (step_control.h).
//
//   l7200               one interval, with work storage of its own
//   IntervalIntegrator  interval after interval with one set of work storage, as the
//                       regression integrates its curves

#include <vector>

#include "fitting/nrtype.h"
#include "fitting/rosenbrock_step.h"

namespace brx {

// Steps taken over one interval.
struct StepCounts {
  int accepted = 0;  // net of accepted steps undone again
  int rejected = 0;  // rejected attempts (an undone step is taken off `accepted` instead)
};

// Integrates a system of `col` states interval after interval, with one set of work storage.
// Each interval starts afresh: nothing but y, t and h carries over from the one before.
class IntervalIntegrator {
 public:
  explicit IntervalIntegrator(int col);

  // Advances y(1..col) from t to tend, each step's error ratio at most tol.
  //   y, t  in: the start; out: the state reached and its time (tend on completion)
  //   h     in: the step to try first; out: the step to use for the next interval (the last
  //         step before it was shortened to land on tend)
  // t >= tend on entry integrates nothing. When maxsteps accepted steps do not reach tend the
  // call returns silently with the state reached (t < tend).
  StepCounts advance(const RateSystem& system, std::vector<double>& y, double& t, double tend,
                     double& h, int maxsteps, double tol);

 private:
  int col_;
  RosenbrockStepper stepper_;
  std::vector<double> y0_, ybackup_;
};

// Advances y(1..col) from t to tend with the rates of l900 at the caller's p (which l900 may
// clamp in place), as IntervalIntegrator::advance does.
StepCounts l7200(const nrtype& nr, std::vector<double>& y, int col, double& t, double tend,
                 double& h, std::vector<double>& p, int nparam, int maxsteps, double tol);

}  // namespace brx
