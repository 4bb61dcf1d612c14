#include "crosscheck/enzyme_loss_model.h"

#include <cmath>
#include <limits>

#include "crosscheck/wright_omega.h"

namespace brx::crosscheck {
namespace {

// Below this |kd·t| the derivative of τ comes from its series: the closed form
// (e^(−z)(1 + z) − 1)/z² loses its digits to cancellation as z → 0 (1e-14 of them at z = 0.1).
// Twelve terms of the series leave an error below 1e-19 there.
constexpr double kSeriesBelow = 0.1;
constexpr int kSeriesTerms = 12;
constexpr double kSeries[kSeriesTerms] = {
    -1.0 / 2,    1.0 / 3,     -1.0 / 8,      1.0 / 30,      -1.0 / 144,      1.0 / 840,
    -1.0 / 5760, 1.0 / 45360, -1.0 / 403200, 1.0 / 3991680, -1.0 / 43545600, 1.0 / 518918400};

// Below this sat the zero-order form is exact to rounding (Km·ln(S0/S) is below 1e-250·C), and
// the general one would divide by a Km that may underflow.
constexpr double kZeroOrderBelow = 1e-250;

}  // namespace

double km_of(double sat, double c) {
  return sat == 1 ? std::numeric_limits<double>::infinity() : c * sat / (1 - sat);
}

double kcat_of(double sat, double rate) {
  return sat == 1 ? std::numeric_limits<double>::infinity() : rate / (1 - sat);
}

double sat_of(double km, double c) {
  return km / (km + c);
}

double rate_of(double km, double kcat, double c) {
  return kcat * c / (km + c);
}

ActiveTime active_time(double t, double kd) {
  const double z = kd * t;
  if (z == 0) return {t, -t * t / 2};
  // τ = t·g(z), g(z) = (1 − e^(−z))/z, written with expm1 so that small z keeps its digits;
  // dτ/dkd = t²·g'(z).
  const double g = -std::expm1(-z) / z;
  double dg;
  if (std::fabs(z) < kSeriesBelow) {
    // g'(z) = −Σ_{n≥1} n·(−z)^(n−1)/(n+1)! = −1/2 + z/3 − z²/8 + z³/30 − …
    dg = 0;
    for (int n = kSeriesTerms - 1; n >= 0; --n) dg = dg * z + kSeries[n];
  } else {
    dg = ((1 - g * z) * (1 + z) - 1) / (z * z);  // e^(−z) = 1 − g·z
  }
  return {t * g, t * t * dg};
}

double enzyme_loss_product(double t, double s0, const EnzymeLossParams& q) {
  const double x = std::log(s0 / q.km) + (s0 - q.vmax * active_time(t, q.kd).tau) / q.km;
  return q.p0 + s0 - q.km * wright_omega(x);
}

EnzymeLossCurve::EnzymeLossCurve(double s0, double c, double e0, const FitCoords& q)
    : s0_(s0), c_(c), e0_(e0), q_(q) {
  if (q.sat >= kZeroOrderBelow && q.sat < 1) {
    km_ = c * q.sat / (1 - q.sat);
    ln_s0_km_ = std::log(s0 / km_);
  }
}

ModelPoint EnzymeLossCurve::at(double t) const {
  const ActiveTime a = active_time(t, q_.kd);
  return point(a, substrate(a), true);
}

EnzymeLossCurve::Substrate EnzymeLossCurve::substrate(const ActiveTime& a) const {
  const double work = e0_ * q_.rate * a.tau;
  if (q_.sat < kZeroOrderBelow) {
    const double s = std::fmax(s0_ - work, 0.0);
    return {s, std::log(s0_ / s)};
  }
  if (q_.sat == 1) return {s0_ * std::exp(-work / c_), work / c_};
  // Km = C·sat/(1 − sat), Vmax·τ = work/(1 − sat); ln ω = x − ω gives L without a logarithm.
  const double x = ln_s0_km_ + (s0_ * (1 - q_.sat) - work) / (c_ * q_.sat);
  const double w = wright_omega(x);
  return {km_ * w, ln_s0_km_ - (x - w)};
}

ModelPoint EnzymeLossCurve::point(const ActiveTime& a, const Substrate& sub,
                                  bool derivatives) const {
  const double s = sub.s;
  ModelPoint m;
  m.p = q_.p0 + s0_ - s;
  m.d_p0 = 1;
  // Implicit differentiation of G(S) = C·sat·ln(S0/S) + (1 − sat)(S0 − S) − work = 0:
  // dS/dθ = −(∂G/∂θ)/(∂G/∂S), ∂G/∂S = −(C·sat + (1 − sat)·S)/S. No term grows without bound
  // towards either end of sat. Once the substrate is used up, S stays at 0 whatever the
  // parameters do.
  if (derivatives && s > 0) {
    const double k = s / (c_ * q_.sat + (1 - q_.sat) * s);  // −1/(∂G/∂S)
    m.d_sat = -(c_ * sub.l - (s0_ - s)) * k;
    m.d_rate = e0_ * a.tau * k;
    m.d_kd = e0_ * q_.rate * a.dtau_dkd * k;
  }
  return m;
}

}  // namespace brx::crosscheck
