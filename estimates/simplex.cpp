// Nelder-Mead fit of the integrated rate law. All work storage is local to one call.

#include "estimates/simplex.h"

#include <cassert>
#include <cmath>
#include <limits>

#include "estimates/lambert_w.h"

namespace brx {

namespace {

constexpr int kMaxParams = 5;   // the mask has slots 1..5
constexpr double kStep = 0.1;   // absolute edge of the initial simplex
constexpr double kLower = 0.0;  // every parameter is kept in [0, 1e12]
constexpr double kUpper = 1e12;
constexpr double kSpreadTol = 1e-5;  // stop when sd of the vertex values (divisor n - 1) <= 1e-5

using Coords = std::array<double, kMaxParams>;      // coordinate i is parameter i + 1
using Bounds = std::array<double, kMaxParams + 1>;  // index 0 unused

// The fixed inputs of the objective.
struct Curve {
  int n;
  const std::vector<double>& t;
  const std::vector<double>& y;
  int npts;
  double so;
  int flagpexp;
};

// Model product at time tk for the parameters in p.
double model_product(const Curve& c, const std::vector<double>& p, double tk, double shift) {
  const double km = p[1];
  const double vmax = p[2];
  const double po = p[3];
  if (c.n != 4) {
    // Po shifts the exponent: the factor So of the textbook form is absorbed into it.
    const double z = std::exp((c.so - vmax * tk + po) / km) / km;
    return c.so - km * omegw(z);
  }
  const double kd = p[4];
  const double b = vmax / std::exp(kd * tk);
  const double z = std::exp((c.so * kd + b - vmax) / (kd * km)) * c.so / km;
  return c.so - km * omegw(z) + po + shift;
}

// Time-independent offset of the type-2 decay (note e^kd, not e^(kd·t)); 0 otherwise.
double type2_shift(const Curve& c, const std::vector<double>& p) {
  if (c.n != 4 || c.flagpexp == 0) return 0.0;
  const double km = p[1];
  const double vmax = p[2];
  const double kd = p[4];
  return vmax * (1 + (kd - 1) * std::exp(kd)) / (kd * kd * kd * km);
}

// Sum of squared residuals at p; writes the curve into ycalc when given. A sum that is not a
// number ranks as +inf: compared as NaN it would never lose, and an undefined vertex at index 0
// would be taken as the best.
double sum_of_squares(const Curve& c, const std::vector<double>& p, std::vector<double>* ycalc) {
  const double shift = type2_shift(c, p);
  double s = 0.0;
  for (int k = 1; k <= c.npts; ++k) {
    const double pk = model_product(c, p, c.t[k], shift);
    if (ycalc != nullptr) (*ycalc)[k] = pk;
    s += (c.y[k] - pk) * (c.y[k] - pk);
  }
  return std::isnan(s) ? std::numeric_limits<double>::infinity() : s;
}

}  // namespace

void plimits(std::span<double> p, int n, std::span<const double> lo, std::span<const double> hi) {
  for (int i = 1; i <= n; ++i) {
    if (p[i] < 1.01 * lo[i]) {
      if (lo[i] < 0) {
        p[i] = lo[i] / 2;
      } else if (lo[i] == 0) {
        p[i] = 2.0;
      } else {
        p[i] = 2 * lo[i];
      }
    }
    if (p[i] > 0.99 * hi[i]) p[i] = hi[i] == 0 ? -2.0 : hi[i] / 2;
  }
}

void brkptbounds(int k, std::span<double> p, std::span<const double> lo,
                 std::span<const double> hi) {
  double x = p[k];
  if (!(lo[k] > x) && !(x > hi[k])) return;
  const double g = (1.5707963267948966 + std::atan(x)) / 3.141592653589793 - 0.5;  // atan(x)/π
  if (lo[k] > x) {
    x = std::copysign(lo[k] + 0.5 * x * g, lo[k]);
  } else {
    x = std::copysign(hi[k] - g * (0.5 * x), hi[k]);
  }
  p[k] = x;
}

namespace {

// One call of smplx_curvefit: the simplex, the bounds it keeps p in, and the steps of the search.
//
//   SimplexSearch  the regular simplex of edge 0.1 around the start, every vertex evaluated
//   iterate        rank the vertices, reflect the worst through the centroid of the others, then
//                  accept, expand, or contract (and shrink when that fails too); the worst
//                  vertex takes the point last evaluated; true once the values agree
//   finish         the best vertex into p, its curve and its sum of squares
//
// Coordinates of held parameters stay at their start value in every vertex and are never
// loaded into p.
class SimplexSearch {
 public:
  SimplexSearch(std::vector<double>& p, const std::array<int, 6>& mask, const Curve& curve);

  bool iterate();
  double finish(std::vector<double>& ycalc);

 private:
  enum class Bound { kNone, kClamp, kReflect };
  struct Ranks {
    int worst, best, second_worst;
  };

  void apply(Bound bound);
  void load(const Coords& x, Bound bound);
  void bound_in_place(Bound bound);
  double objective() const { return sum_of_squares(curve_, p_, nullptr); }
  Ranks rank() const;
  int best() const;
  double move_worst(const Ranks& r);
  double contract_or_shrink(const Ranks& r);
  bool values_agree() const;

  const int n_;
  std::vector<double>& p_;
  const std::array<int, 6>& mask_;
  const Curve& curve_;
  Bounds lo_{}, hi_{};
  int nfree_ = 0;
  std::array<Coords, kMaxParams + 1> v_{};  // vertices 0..n
  std::array<double, kMaxParams + 1> f_{};  // their objective values
  Coords vm_{}, vr_{}, ve_{}, vc_{};        // centroid, reflected, expanded, contracted point
};

SimplexSearch::SimplexSearch(std::vector<double>& p, const std::array<int, 6>& mask,
                             const Curve& curve)
    : n_(curve.n), p_(p), mask_(mask), curve_(curve) {
  for (int i = 1; i <= n_; ++i) {
    lo_[i] = kLower;
    hi_[i] = kUpper;
    nfree_ += mask_[i] == 0 ? 1 : 0;
  }
  // Regular simplex of edge 0.1 with vertex 0 at the start point; the steps are absolute.
  const double rn = n_;
  const double a = kStep * (rn + std::sqrt(rn + 1) - 1) / (std::sqrt(2.0) * rn);
  const double b = kStep * (std::sqrt(rn + 1) - 1) / (std::sqrt(2.0) * rn);
  for (int j = 0; j <= n_; ++j) {
    for (int i = 0; i < n_; ++i) {
      v_[j][i] = p_[i + 1];
      if (j > 0 && mask_[i + 1] == 0) v_[j][i] += i == j - 1 ? a : b;
    }
  }
  // Each vertex is evaluated clamped but keeps its own coordinates.
  for (int j = 0; j <= n_; ++j) {
    load(v_[j], Bound::kClamp);
    f_[j] = objective();
  }
}

void SimplexSearch::apply(Bound bound) {
  if (bound == Bound::kClamp) plimits(p_, n_, lo_, hi_);
  if (bound == Bound::kReflect) {
    for (int k = 1; k <= n_; ++k) brkptbounds(k, p_, lo_, hi_);
  }
}

// Loads the free coordinates of x into p, bounding the whole of p after each one: the bound is
// run once per free parameter. The clamp settles in one pass; a reflection that still leaves a
// value outside is repeated, more often for the parameters loaded first.
void SimplexSearch::load(const Coords& x, Bound bound) {
  for (int i = 1; i <= n_; ++i) {
    if (mask_[i] != 0) continue;
    p_[i] = x[i - 1];
    apply(bound);
  }
}

// Bounds p as often as loading it would, without loading anything.
void SimplexSearch::bound_in_place(Bound bound) {
  for (int r = 0; r < nfree_; ++r) apply(bound);
}

// Worst and best, the first of equals winning; second worst searched from the best.
SimplexSearch::Ranks SimplexSearch::rank() const {
  int h = 0;
  for (int j = 0; j <= n_; ++j) {
    if (f_[j] > f_[h]) h = j;
  }
  const int l = best();
  int s = l;
  for (int j = 0; j <= n_; ++j) {
    if (f_[j] < f_[h] && f_[j] > f_[s]) s = j;
  }
  return {h, l, s};
}

int SimplexSearch::best() const {
  int l = 0;
  for (int j = 0; j <= n_; ++j) {
    if (f_[j] < f_[l]) l = j;
  }
  return l;
}

bool SimplexSearch::iterate() {
  const Ranks r = rank();
  for (int i = 0; i < n_; ++i) {
    double sum = 0.0;
    for (int j = 0; j <= n_; ++j) {
      if (j != r.worst) sum += v_[j][i];
    }
    vm_[i] = sum / n_;
  }
  const double fp = move_worst(r);

  // The worst vertex becomes the point last evaluated, reflected into bounds.
  f_[r.worst] = fp;
  bound_in_place(Bound::kReflect);
  for (int i = 0; i < n_; ++i) {
    if (mask_[i + 1] == 0) v_[r.worst][i] = p_[i + 1];
  }
  return values_agree();
}

// Reflects the worst vertex through the centroid and accepts, expands or contracts; returns the
// objective at the point left in p.
double SimplexSearch::move_worst(const Ranks& r) {
  const int h = r.worst;
  for (int i = 0; i < n_; ++i) vr_[i] = 2.0 * vm_[i] - v_[h][i];
  load(vr_, Bound::kClamp);
  const double fr = objective();
  if (f_[r.best] < fr && fr <= f_[r.second_worst]) {
    v_[h] = vr_;
    f_[h] = fr;
    return fr;
  }
  if (fr <= f_[r.best]) {
    // Expanded from the unclamped reflection and kept whatever its value: the worst vertex
    // always moves to it.
    for (int i = 0; i < n_; ++i) ve_[i] = 2.0 * vr_[i] - vm_[i];
    load(ve_, Bound::kReflect);
    return objective();
  }
  return contract_or_shrink(r);
}

// Inside contraction towards the worst vertex; when that is no better than the worst vertex,
// every vertex but the best moves halfway towards it. Only h and s are evaluated again then,
// both at the shrunk worst vertex reflected and then clamped; the others keep their old values.
// (The value at the merely reflected point would be overwritten, so it is not computed.)
double SimplexSearch::contract_or_shrink(const Ranks& r) {
  const int h = r.worst;
  for (int i = 0; i < n_; ++i) vc_[i] = 0.5 * vm_[i] + 0.5 * v_[h][i];
  load(vc_, Bound::kClamp);
  const double fc = objective();
  if (fc < f_[h]) {
    v_[h] = vc_;
    f_[h] = fc;
    return fc;
  }
  const int l = r.best;
  for (int j = 0; j <= n_; ++j) {
    if (j == l) continue;
    for (int i = 0; i < n_; ++i) v_[j][i] = v_[l][i] + (v_[j][i] - v_[l][i]) / 2;
  }
  load(v_[h], Bound::kReflect);
  bound_in_place(Bound::kClamp);
  f_[r.second_worst] = objective();
  return f_[r.second_worst];
}

// The vertex values agree when their standard deviation (divisor n - 1) is at most 1e-5. With
// one parameter that divides by zero: the search then runs to its iteration limit.
bool SimplexSearch::values_agree() const {
  if (n_ <= 1) return false;
  double sum = 0.0;
  for (int j = 0; j <= n_; ++j) sum += f_[j];
  const double mean = sum / (n_ + 1);
  double dev = 0.0;
  for (int j = 0; j <= n_; ++j) dev += (f_[j] - mean) * (f_[j] - mean);
  return std::sqrt(dev / (n_ - 1)) <= kSpreadTol;
}

// The best vertex is loaded as it stands, without bounds.
double SimplexSearch::finish(std::vector<double>& ycalc) {
  load(v_[best()], Bound::kNone);
  return sum_of_squares(curve_, p_, &ycalc);
}

}  // namespace

void smplx_curvefit(int n, std::vector<double>& p, const std::array<int, 6>& mask, double& ssq,
                    const std::vector<double>& t, const std::vector<double>& y,
                    std::vector<double>& ycalc, int npts, double so, int maxit, int flagpexp) {
  assert(n >= 1 && n <= kMaxParams);
  assert(p.size() > static_cast<std::size_t>(n < 4 ? 3 : n));
  assert(npts >= 0 && t.size() > static_cast<std::size_t>(npts) &&
         y.size() > static_cast<std::size_t>(npts));
  if (ycalc.size() < static_cast<std::size_t>(npts) + 1)
    ycalc.resize(static_cast<std::size_t>(npts) + 1);

  const Curve curve{n, t, y, npts, so, flagpexp};
  SimplexSearch search(p, mask, curve);
  for (int it = 1; it <= maxit; ++it) {
    if (search.iterate()) break;
  }
  ssq = search.finish(ycalc);
}

}  // namespace brx
