#include "crosscheck/curve_residual.h"

#include <cmath>
#include <cstddef>

namespace brx::crosscheck {

CurveResidual::CurveResidual(const ProgressCurve& curve, double c) : curve_(curve), c_(c) {
  set_num_residuals(static_cast<int>(curve.t.size()));
  *mutable_parameter_block_sizes() = {1, 1, 1, 1};
}

bool CurveResidual::Evaluate(double const* const* parameters, double* residuals,
                             double** jacobians) const {
  const EnzymeLossCurve model(
      curve_.s0, c_, curve_.e0,
      {parameters[0][0], parameters[1][0], parameters[2][0], parameters[3][0]});
  const std::size_t n = curve_.t.size();
  const bool same_kd = parameters[3][0] == kd_;
  if (!same_kd) {
    kd_ = parameters[3][0];
    active_times_.resize(n);
    for (std::size_t i = 0; i < n; ++i) active_times_[i] = active_time(curve_.t[i], kd_);
  }
  if (!same_kd || !(parameters[0][0] == sat_ && parameters[1][0] == rate_)) {
    sat_ = parameters[0][0];
    rate_ = parameters[1][0];
    substrates_.resize(n);
    for (std::size_t i = 0; i < n; ++i) substrates_[i] = model.substrate(active_times_[i]);
  }
  for (std::size_t i = 0; i < n; ++i) {
    const ModelPoint m = model.point(active_times_[i], substrates_[i], jacobians != nullptr);
    residuals[i] = m.p - curve_.y[i];
    if (!std::isfinite(residuals[i])) return false;
    if (jacobians == nullptr) continue;
    const double d[4] = {m.d_sat, m.d_rate, m.d_p0, m.d_kd};
    for (int b = 0; b < 4; ++b) {
      if (jacobians[b] == nullptr) continue;
      if (!std::isfinite(d[b])) return false;
      jacobians[b][i] = d[b];
    }
  }
  return true;
}

}  // namespace brx::crosscheck
