#pragma once
// Michaelis–Menten kinetics with first-order loss of active enzyme, E(t) = E0·e^(−kd·t), in
// closed form:
//
//   P(t) = P0 + S0 − S(t),  Km·ln(S0/S) + (S0 − S) = Vmax·τ(t),  τ(t) = (1 − e^(−kd·t))/kd
//   S(t) = Km·ω(ln(S0/Km) + (S0 − Vmax·τ)/Km)                    (ω: wright_omega)
//
// τ is the time the enzyme would have needed at full activity to do what it did by t (τ = t at
// kd = 0, the classical model). The substrate is S0 at t = 0, where the product is P0.

namespace brx::crosscheck {

struct EnzymeLossParams {
  double km = 0;    // Michaelis constant, > 0
  double vmax = 0;  // limiting rate at t = 0, > 0
  double p0 = 0;    // product at t = 0, any sign (an offset of the readings)
  double kd = 0;    // first-order rate constant of the loss of enzyme, >= 0
};

// P(t) for parameters in the usual form.
double enzyme_loss_product(double t, double s0, const EnzymeLossParams& q);

// τ(t) and its derivative with respect to kd.
struct ActiveTime {
  double tau = 0;
  double dtau_dkd = 0;
};
ActiveTime active_time(double t, double kd);

// The coordinates the fit works in, chosen so that both limits of the model are points it can
// reach, not directions it crawls along towards infinity:
//
//   sat  = Km/(Km + C) ∈ [0, 1]    0: zero-order kinetics (Km → 0); 1: first order (Km → ∞)
//   rate = kcat·C/(Km + C) >= 0     the initial rate per unit of enzyme at substrate C
//
// C is a reference concentration held fixed during a fit (the largest S0 of the curves fitted
// together). With S the substrate left, the curve solves
//   C·sat·ln(S0/S) + (1 − sat)·(S0 − S) = e0·rate·τ(t),
// which at sat = 0 is S = max(S0 − e0·rate·τ, 0) and at sat = 1 is S = S0·e^(−e0·rate·τ/C).
struct FitCoords {
  double sat = 0;
  double rate = 0;
  double p0 = 0;
  double kd = 0;
};

// Km and kcat of fit coordinates (+∞ at sat = 1), and back.
double km_of(double sat, double c);
double kcat_of(double sat, double rate);
double sat_of(double km, double c);
double rate_of(double km, double kcat, double c);

// P(t) and its partial derivatives with respect to the four coordinates.
struct ModelPoint {
  double p = 0;
  double d_sat = 0, d_rate = 0, d_p0 = 0, d_kd = 0;
};

// The model of one curve (substrate s0, relative enzyme concentration e0) at one point of the fit
// coordinates (reference concentration c), evaluated at any number of times.
class EnzymeLossCurve {
 public:
  EnzymeLossCurve(double s0, double c, double e0, const FitCoords& q);
  ModelPoint at(double t) const;

  // The same in two parts for callers that keep what they can (a fit evaluates the same point
  // twice, for the residuals and for the derivatives): the substrate left, S, and L = ln(S0/S)
  // from τ(t) at this curve's kd, which is where the work is; then P and, with derivatives,
  // its gradient.
  struct Substrate {
    double s = 0;
    double l = 0;
  };
  Substrate substrate(const ActiveTime& a) const;
  ModelPoint point(const ActiveTime& a, const Substrate& sub, bool derivatives) const;

 private:
  double s0_, c_, e0_;
  FitCoords q_;
  double km_ = 0;        // Km = C·sat/(1 − sat), when 0 < sat < 1
  double ln_s0_km_ = 0;  // ln(S0/Km)
};

}  // namespace brx::crosscheck
