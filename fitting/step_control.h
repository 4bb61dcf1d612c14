#pragma once
// Step-size control of the rate integration: judges each attempted step by its error estimate
// and chooses the next step size.
//
//   error ratio   E = max(tol/16, max over i of 2·|e(i)| / (|y(i)| + |y0(i)| + 1e-10·tol))
//   next step     h := h · 0.9 · (tol/E)^(1/4) · φ        (E >= tol/16: h grows at most 1.8·φ)
//   verdict       E <= tol: accept, φ := min(1, 1.05·φ)
//                 E > tol right after an accepted step: undo that step as well (it led here),
//                   φ := 0.9·φ
//                 E > tol otherwise (the attempt before was rejected too, or none was accepted
//                   yet): retry from the same point with the smaller h

#include <algorithm>
#include <cmath>
#include <vector>

namespace brx {

class StepControl {
 public:
  enum class Verdict {
    kAccept,  // keep the step
    kRetry,   // reject it and try again from its start with the new h
    kUndo,    // reject it and the accepted step before it; go back to where that one started
  };

  // tol bounds the error ratio of an accepted step.
  explicit StepControl(double tol) : tol_(tol) {}

  // Error ratio E of a step from y0 to y with error estimate e (indexed 1..col). A ratio that is
  // not a number never raises E, so a state that has blown up is accepted and ends the interval
  // instead of being rejected for ever.
  double error_ratio(const std::vector<double>& e, const std::vector<double>& y,
                     const std::vector<double>& y0, int col) const {
    double err = tol_ / 16.0;
    for (int i = 1; i <= col; ++i) {
      const double ratio =
          2.0 * std::fabs(e[i]) / (std::fabs(y[i]) + std::fabs(y0[i]) + 1e-10 * tol_);
      if (ratio > err) err = ratio;
    }
    return err;
  }

  // Judges a step of size h with error ratio E and sets h to the step to try next.
  Verdict judge(double error_ratio, double& h) {
    h = h * 0.9 * std::pow(tol_ / error_ratio, 0.25) * phi_;
    if (error_ratio <= tol_) {
      retry_ = false;
      phi_ = std::min(1.0, 1.05 * phi_);
      return Verdict::kAccept;
    }
    if (retry_) return Verdict::kRetry;
    retry_ = true;
    phi_ = 0.9 * phi_;
    return Verdict::kUndo;
  }

  double safety() const { return phi_; }  // φ

 private:
  double tol_;
  double phi_ = 1.0;   // lowered after an undo, recovered slowly by accepted steps
  bool retry_ = true;  // no step accepted yet, or the last attempt was rejected
};

}  // namespace brx
