#include "fitting/spline.h"

#include <cassert>
#include <vector>

namespace brx {

void l6300(const double* x, const double* f, int n, double slope1, double slopen, int endflag,
           Table& s) {
  assert(n >= 1 && s.rows() >= 4 && s.cols() >= n);
  const auto size = static_cast<std::size_t>(n + 1);
  std::vector<double> h(size, 0.0), slope(size, 0.0), m(size, 0.0);
  for (int i = 1; i <= n - 1; ++i) {
    h[i] = x[i + 1] - x[i];
    assert(h[i] > 0.0);
    slope[i] = (f[i + 1] - f[i]) / h[i];
  }

  if (n >= 2) {
    // Tridiagonal system for m(first..last): sub(i)·m(i−1) + diag(i)·m(i) + sup(i)·m(i+1) =
    // rhs(i). Interior rows keep the first derivative continuous; the natural ends fix
    // m(1) = m(n) = 0, clamped ends give the end slopes instead.
    const bool clamped = endflag != 0;
    const int first = clamped ? 1 : 2;
    const int last = clamped ? n : n - 1;
    std::vector<double> sub(size, 0.0), diag(size, 0.0), sup(size, 0.0), rhs(size, 0.0);
    for (int i = 2; i <= n - 1; ++i) {
      sub[i] = h[i - 1];
      diag[i] = 2.0 * (h[i - 1] + h[i]);
      sup[i] = h[i];
      rhs[i] = 3.0 * (slope[i] - slope[i - 1]);
    }
    if (clamped) {
      diag[1] = 2.0 * h[1];
      sup[1] = h[1];
      rhs[1] = 3.0 * (slope[1] - slope1);
      sub[n] = h[n - 1];
      diag[n] = 2.0 * h[n - 1];
      rhs[n] = 3.0 * (slopen - slope[n - 1]);
    }
    // Forward elimination, then back substitution.
    for (int i = first + 1; i <= last; ++i) {
      const double w = sub[i] / diag[i - 1];
      diag[i] = diag[i] - w * sup[i - 1];
      rhs[i] = rhs[i] - w * rhs[i - 1];
    }
    for (int i = last; i >= first; --i) {
      m[i] = (rhs[i] - (i < last ? sup[i] * m[i + 1] : 0.0)) / diag[i];
    }
  }

  for (int i = 1; i <= n - 1; ++i) {
    s(1, i) = slope[i] - (m[i + 1] + 2.0 * m[i]) * h[i] / 3.0;
    s(2, i) = m[i];
    s(3, i) = (m[i + 1] - m[i]) / (3.0 * h[i]);
  }
  // Slope at the right end, from the last interval's cubic.
  s(1, n) = n >= 2 ? slope[n - 1] + (m[n - 1] + 2.0 * m[n]) * h[n - 1] / 3.0 : 0.0;
  s(2, n) = m[n];
  s(3, n) = 0.0;

  // The integral over an interval is the trapezoid less the curvature correction.
  s(4, 1) = 0.0;
  for (int i = 2; i <= n; ++i) {
    s(4, i) = s(4, i - 1) + h[i - 1] * (f[i - 1] + f[i]) / 2.0 -
              h[i - 1] * h[i - 1] * h[i - 1] * (m[i - 1] + m[i]) / 12.0;
  }
  for (int i = 1; i <= n; ++i) s(0, i) = f[i];
}

}  // namespace brx
