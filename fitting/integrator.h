#pragma once
// Integration of the rate equations over one interval between two data times.

#include <vector>

#include "fitting/nrtype.h"

namespace brx {

// Advances y(1..col) from t to tend by a four-stage linearly implicit (Rosenbrock-type) method
// with an embedded error estimate, the rates coming from l900 with the caller's p (which l900
// may clamp in place); d is a work vector for the rates.
//
//   in:     nr, col, tend, nparam, maxsteps (accepted steps at most), tol (error per step)
//   in/out: y, t (= tend on completion), h (step to try; on completion the step to use for the
//           next interval, i.e. the untruncated one), p
//   out:    ierr (always 0), nsteps (accepted steps net of undone ones), nrej (rejected
//           attempts)
//
// t >= tend on entry integrates nothing. When maxsteps accepted steps do not reach tend the call
// returns silently with the state reached (t < tend). npts is accepted and not used.
void l7200(const nrtype& nr, std::vector<double>& y, int col, double& t, double tend, int npts,
           double& h, std::vector<double>& p, std::vector<double>& d, int nparam, int maxsteps,
           double tol, int& ierr, int& nsteps, int& nrej);

}  // namespace brx
