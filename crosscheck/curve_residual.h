#pragma once
// The residuals of one progress curve under the enzyme-loss model, for the least-squares solver.

#include <ceres/cost_function.h>

#include <limits>
#include <vector>

#include "crosscheck/enzyme_loss_model.h"
#include "crosscheck/progress_curve.h"

namespace brx::crosscheck {

// Residuals P(t_i) − y_i of one curve in fit coordinates (enzyme_loss_model.h), with analytic
// derivatives. Four parameter blocks of one value each, so that a fit of several curves can
// share some and hold others:
//
//   block   0    1     2    3
//   value   sat  rate  P0   kd
//
// Evaluation fails (returns false) where a residual or derivative is not finite, so the solver
// steps back instead of walking into an overflow. Keeps a reference to the curve.
//
// What the model costs is kept from one evaluation to the next: τ(t_i) while kd does not change
// (every fit at a fixed kd), the substrate left while sat, rate and kd do not (the solver
// evaluates each accepted point twice, for the residuals and then for the derivatives). So
// Evaluate must not be called from two threads at once; the solver runs on one.
class CurveResidual final : public ceres::CostFunction {
 public:
  // c: the reference concentration of the fit coordinates.
  CurveResidual(const ProgressCurve& curve, double c);
  bool Evaluate(double const* const* parameters, double* residuals,
                double** jacobians) const override;

 private:
  const ProgressCurve& curve_;
  double c_;
  mutable double kd_ = std::numeric_limits<double>::quiet_NaN();  // kd of active_times_
  mutable std::vector<ActiveTime> active_times_;
  mutable double sat_ = std::numeric_limits<double>::quiet_NaN();   // with rate_ and kd_: the
  mutable double rate_ = std::numeric_limits<double>::quiet_NaN();  //   point of substrates_
  mutable std::vector<EnzymeLossCurve::Substrate> substrates_;
};

}  // namespace brx::crosscheck
