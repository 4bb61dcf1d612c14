#pragma once
// The curve-fitting engine, one line per routine:
//
//   l7500        random search and damped Gauss-Newton fit of one model       regression.h
//   l7772        residual sum of squares and residual standard error          regression.h
//   rangen       (r + pi)^5 sequence: seeds of the fit's random search        random.h
//   uniform      minimal-standard uniform generator                           random.h
//   l800         product at the first data time: the parameter [Po]           rate_equations.h
//   l900         rate d[P]/dt of Model 1 (deactivation) or Model 2            rate_equations.h
//   l7200        four-stage linearly implicit integration over one interval   integrator.h
//   l6300        natural cubic spline of tabulated rates and its integral     spline.h
//   l1400        LU factorisation with partial pivoting                       linalg.h
//   l1500        solve with the LU factors of l1400                           linalg.h
//   l1600        in-place inverse of a symmetric positive-definite matrix     linalg.h
//   diagadd      move the diagonal away from zero                             linalg.h
//   diagmult     make the diagonal non-negative and scale it                  linalg.h
//   checkvalue   clamp one value into a magnitude band                        linalg.h
//   check        clamp a matrix and a vector into [5e-9, 2e8] in magnitude    linalg.h
//   studnt       two-sided tail probability of Student's t                    student_t.h
//   phid         standard normal distribution function                        student_t.h
//   l4100        two-sided 95 % critical value of Student's t                 student_t.h
//   bestsmooth   repeated centred moving average with end treatment           smoothing.h
//
// The pieces under l7200: RosenbrockStepper takes one step and returns its error estimate
// (rosenbrock_step.h), StepControl judges it and sizes the next (step_control.h), and
// IntervalIntegrator runs them over an interval (integrator.h).
//
// Shared types: nrtype (nrtype.h); Table and Stop (base/).

#include "base/stop.h"
#include "base/table.h"
#include "fitting/integrator.h"
#include "fitting/linalg.h"
#include "fitting/nrtype.h"
#include "fitting/random.h"
#include "fitting/rate_equations.h"
#include "fitting/regression.h"
#include "fitting/rosenbrock_step.h"
#include "fitting/smoothing.h"
#include "fitting/spline.h"
#include "fitting/step_control.h"
#include "fitting/student_t.h"
