#include "fitting/linalg.h"

#include <cassert>
#include <cmath>
#include <utility>

namespace brx {

void l1400(Table& a, int n, int& ierr) {
  assert(n >= 1 && a.rows() >= n && a.cols() >= n);
  ierr = 0;
  for (int k = 1; k <= n - 1; ++k) {
    int m = k;
    for (int i = k + 1; i <= n; ++i) {
      if (std::fabs(a(i, k)) > std::fabs(a(m, k))) m = i;
    }
    a(k, 0) = m;
    if (m > k) std::swap(a(m, k), a(k, k));
    if (a(k, k) == 0.0) {
      ierr = 1;
      return;
    }
    for (int i = k + 1; i <= n; ++i) a(i, k) = -a(i, k) / a(k, k);
    for (int j = k + 1; j <= n; ++j) {
      std::swap(a(m, j), a(k, j));
      if (a(k, j) == 0.0) continue;  // nothing to eliminate in this column
      for (int i = k + 1; i <= n; ++i) a(i, j) += a(i, k) * a(k, j);
    }
  }
  if (a(n, n) == 0.0) ierr = 1;
}

void l1500(const Table& a, std::vector<double>& b, int n) {
  assert(n >= 1 && static_cast<int>(b.size()) > n);
  for (int k = 1; k <= n - 1; ++k) {
    const int m = static_cast<int>(a(k, 0));
    assert(m >= k && m <= n);
    std::swap(b[m], b[k]);
    for (int i = k + 1; i <= n; ++i) b[i] += a(i, k) * b[k];
  }
  for (int k = n; k >= 1; --k) {
    b[k] = b[k] / a(k, k);
    for (int i = 1; i <= k - 1; ++i) b[i] -= a(i, k) * b[k];
  }
}

void l1600(Table& a, int n, int& ierr) {
  assert(n >= 1 && a.rows() >= n && a.cols() >= n);
  ierr = 0;
  // Each cycle pivots on a(1, 1) and rotates the rows and columns by one, so after n cycles
  // every row has been the pivot once and the lower triangle holds the inverse. Row 0 carries
  // the new last row of the cycle.
  for (int q = n; q >= 1; --q) {
    if (a(1, 1) <= 0.0) {
      ierr = 1;
      return;
    }
    a(0, n) = 1.0 / a(1, 1);
    for (int i = 2; i <= n; ++i) {
      double x = a(0, n) * a(i, 1);
      if (i <= q) x = -x;
      a(0, i - 1) = x;
      for (int j = 2; j <= i; ++j) a(i - 1, j - 1) = a(0, j - 1) * a(i, 1) + a(i, j);
    }
    for (int j = 1; j <= n; ++j) a(n, j) = a(0, j);
  }
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) a(i, j) = a(j, i);
  }
}

void diagadd(Table& a, int n, double v) {
  for (int k = 1; k <= n; ++k) a(k, k) = a(k, k) + std::copysign(std::fabs(v), a(k, k));
}

void diagmult(Table& a, int n, double v) {
  for (int k = 1; k <= n; ++k) a(k, k) = std::fabs(a(k, k)) * std::fabs(v);
}

void checkvalue(double& x, double lim) {
  if (std::fabs(x) < lim) {
    x = std::copysign(lim, x);
  } else if (std::fabs(x) > 1.0 / lim) {
    x = std::copysign(1.0 / lim, x);
  } else if (std::isnan(x)) {
    x = lim;
  }
}

void check(int n, int m, std::vector<double>& vec, Table& mat) {
  constexpr double kLim = 5e-9;  // the band [5e-9, 2e8] keeps the scaled normal matrix usable
  assert(static_cast<int>(vec.size()) > n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= m; ++j) checkvalue(mat(i, j), kLim);
  }
  for (int i = 1; i <= n; ++i) checkvalue(vec[i], kLim);
}

}  // namespace brx
