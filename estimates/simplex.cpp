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
  Bounds lo{};
  Bounds hi{};
  for (int i = 1; i <= n; ++i) {
    lo[i] = kLower;
    hi[i] = kUpper;
  }
  int nfree = 0;
  for (int i = 1; i <= n; ++i) nfree += mask[i] == 0 ? 1 : 0;

  enum class Bound { kNone, kClamp, kReflect };
  auto apply = [&](Bound bound) {
    if (bound == Bound::kClamp) plimits(p, n, lo, hi);
    if (bound == Bound::kReflect) {
      for (int k = 1; k <= n; ++k) brkptbounds(k, p, lo, hi);
    }
  };
  // Loads the free coordinates of x into p, bounding the whole of p after each one: the bound is
  // run once per free parameter. The clamp settles in one pass; a reflection that still leaves a
  // value outside is repeated, more often for the parameters loaded first.
  auto load = [&](const Coords& x, Bound bound) {
    for (int i = 1; i <= n; ++i) {
      if (mask[i] != 0) continue;
      p[i] = x[i - 1];
      apply(bound);
    }
  };
  // Bounds p as often as loading it would, without loading anything.
  auto bound_in_place = [&](Bound bound) {
    for (int r = 0; r < nfree; ++r) apply(bound);
  };
  auto objective = [&] { return sum_of_squares(curve, p, nullptr); };

  // Vertices 0..n; coordinates of held parameters are kept at the start value and never loaded.
  std::array<Coords, kMaxParams + 1> v{};
  std::array<double, kMaxParams + 1> f{};
  Coords vm{};
  Coords vr{};
  Coords ve{};
  Coords vc{};

  // Regular simplex of edge 0.1 with vertex 0 at the start point; the steps are absolute.
  const double rn = n;
  const double a = kStep * (rn + std::sqrt(rn + 1) - 1) / (std::sqrt(2.0) * rn);
  const double b = kStep * (std::sqrt(rn + 1) - 1) / (std::sqrt(2.0) * rn);
  for (int j = 0; j <= n; ++j) {
    for (int i = 0; i < n; ++i) {
      v[j][i] = p[i + 1];
      if (j > 0 && mask[i + 1] == 0) v[j][i] += i == j - 1 ? a : b;
    }
  }
  // Each vertex is evaluated clamped but keeps its own coordinates.
  for (int j = 0; j <= n; ++j) {
    load(v[j], Bound::kClamp);
    f[j] = objective();
  }

  for (int it = 1; it <= maxit; ++it) {
    // Worst h and best l, the first of equals winning; second worst s, searched from l.
    int h = 0;
    for (int j = 0; j <= n; ++j) {
      if (f[j] > f[h]) h = j;
    }
    int l = 0;
    for (int j = 0; j <= n; ++j) {
      if (f[j] < f[l]) l = j;
    }
    int s = l;
    for (int j = 0; j <= n; ++j) {
      if (f[j] < f[h] && f[j] > f[s]) s = j;
    }

    for (int i = 0; i < n; ++i) {
      double sum = 0.0;
      for (int j = 0; j <= n; ++j) {
        if (j != h) sum += v[j][i];
      }
      vm[i] = sum / n;
    }
    for (int i = 0; i < n; ++i) vr[i] = 2.0 * vm[i] - v[h][i];
    load(vr, Bound::kClamp);
    const double fr = objective();
    double fp = fr;  // objective at the current p, which the worst vertex takes below

    if (f[l] < fr && fr <= f[s]) {
      v[h] = vr;
      f[h] = fr;
    } else if (fr <= f[l]) {
      // Expanded from the unclamped reflection and kept whatever its value: the worst vertex
      // always moves to it below.
      for (int i = 0; i < n; ++i) ve[i] = 2.0 * vr[i] - vm[i];
      load(ve, Bound::kReflect);
      fp = objective();
    } else {
      // Inside contraction towards the worst vertex.
      for (int i = 0; i < n; ++i) vc[i] = 0.5 * vm[i] + 0.5 * v[h][i];
      load(vc, Bound::kClamp);
      const double fc = objective();
      fp = fc;
      if (fc < f[h]) {
        v[h] = vc;
        f[h] = fc;
      } else {
        // Shrink towards the best vertex. Only h and s are evaluated again, both at the shrunk
        // worst vertex reflected and then clamped; the others keep their old values. (The value
        // at the merely reflected point would be overwritten below, so it is not computed.)
        for (int j = 0; j <= n; ++j) {
          if (j == l) continue;
          for (int i = 0; i < n; ++i) v[j][i] = v[l][i] + (v[j][i] - v[l][i]) / 2;
        }
        load(v[h], Bound::kReflect);
        bound_in_place(Bound::kClamp);
        f[s] = objective();
        fp = f[s];
      }
    }

    // The worst vertex becomes the point last evaluated, reflected into bounds.
    f[h] = fp;
    bound_in_place(Bound::kReflect);
    for (int i = 0; i < n; ++i) {
      if (mask[i + 1] == 0) v[h][i] = p[i + 1];
    }

    if (n > 1) {  // with one parameter the spread divides by zero and the search runs to maxit
      double sum = 0.0;
      for (int j = 0; j <= n; ++j) sum += f[j];
      const double mean = sum / (n + 1);
      double dev = 0.0;
      for (int j = 0; j <= n; ++j) dev += (f[j] - mean) * (f[j] - mean);
      if (std::sqrt(dev / (n - 1)) <= kSpreadTol) break;
    }
  }

  int l = 0;
  for (int j = 0; j <= n; ++j) {
    if (f[j] < f[l]) l = j;
  }
  load(v[l], Bound::kNone);
  ssq = sum_of_squares(curve, p, &ycalc);
}

}  // namespace brx
