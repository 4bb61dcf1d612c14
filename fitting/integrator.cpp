#include "fitting/integrator.h"

#include <algorithm>
#include <cassert>

#include "fitting/step_control.h"

namespace brx {

IntervalIntegrator::IntervalIntegrator(int col)
    : col_(col), stepper_(col), y0_(static_cast<std::size_t>(col) + 1), ybackup_(y0_.size()) {}

StepCounts IntervalIntegrator::advance(const RateSystem& system, std::vector<double>& y, double& t,
                                       double tend, double& h, int maxsteps, double tol) {
  assert(static_cast<int>(y.size()) > col_);
  StepCounts counts;
  if (t >= tend) return counts;

  using Vec = std::vector<double>;
  // Copies entries 1..col; the caller's y may be longer than the work vectors.
  const auto copy = [this](Vec& to, const Vec& from) {
    std::copy(from.begin() + 1, from.begin() + col_ + 1, to.begin() + 1);
  };

  StepControl control(tol);
  copy(y0_, y);
  double t0 = t;      // start of the current step
  double tprev = t;   // start of the step accepted before it, for its undo
  double hsave = h;   // the step before it was shortened to land on tend
  bool last = false;  // this attempt ends at tend

  // Where the next attempt begins: a new step from the point reached, a fresh linearisation at
  // a point restored by an undo, or another try from the same point with a smaller h.
  enum class Resume { kNextStep, kLinearise, kFactorise };
  Resume resume = Resume::kNextStep;
  for (;;) {
    if (resume == Resume::kNextStep) {
      if (counts.accepted >= maxsteps) return counts;  // partial state, t < tend
      if (t + h >= tend) {
        last = true;
        hsave = h;
        h = tend - t;
      }
    }
    if (resume != Resume::kFactorise) stepper_.linearise(system, t, y0_);
    stepper_.factorise(h);
    const std::vector<double>& error = stepper_.do_step(system, t, y0_, h, y);
    t = t + h;

    switch (control.judge(control.error_ratio(error, y, y0_, col_), h)) {
      case StepControl::Verdict::kAccept:
        counts.accepted += 1;
        if (last) {
          h = hsave;
          t = tend;  // t + (tend − t) can miss tend by a rounding
          return counts;
        }
        copy(ybackup_, y0_);
        tprev = t0;
        copy(y0_, y);
        t0 = t;
        resume = Resume::kNextStep;
        break;
      case StepControl::Verdict::kRetry:
        counts.rejected += 1;
        last = false;
        copy(y, y0_);
        t = t0;
        resume = Resume::kFactorise;  // the rate and Jacobian at the start still hold
        break;
      case StepControl::Verdict::kUndo:
        counts.rejected += 1;
        last = false;
        copy(y, ybackup_);
        copy(y0_, ybackup_);
        counts.accepted -= 1;
        t = tprev;
        t0 = t;
        resume = Resume::kLinearise;
        break;
    }
  }
}

StepCounts l7200(const nrtype& nr, std::vector<double>& y, int col, double& t, double tend,
                 double& h, std::vector<double>& p, int nparam, int maxsteps, double tol) {
  IntervalIntegrator integrator(col);
  return integrator.advance(RateSystem{nr, p, nparam, col}, y, t, tend, h, maxsteps, tol);
}

}  // namespace brx
