#include "fitting/linalg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace brx {
namespace {

// On B^T·B + n·I (positive definite): LU recovers a chosen x from b = A·x, with a zero in
// a(1,1) that forces a row exchange (and makes the 1x1 matrix singular); A·inverse(A) = I from
// the lower triangle alone (the upper one is overwritten with junk first).
TEST(LinearAlgebra, SolvesAndInvertsUpToOrderFive) {
  for (int n = 1; n <= 5; ++n) {
    Table a(n, n);
    for (int k = 0; k < n * n; ++k) {
      const int i = k / n + 1, j = k % n + 1;
      a(i, j) = (i == j) ? n : 0.0;
      for (int m = 1; m <= n; ++m)
        a(i, j) += std::sin(m * i + 0.3 * j * j) * std::sin(m * j + 0.3 * i * i);
    }
    Table lu = a, inv = a;
    lu(1, 1) = 0.0;
    for (int i = 1; i <= n; ++i)
      for (int j = i + 1; j <= n; ++j) inv(i, j) = 99.0;
    std::vector<double> x(static_cast<std::size_t>(n + 1)), b(x.size(), 0.0);
    for (int i = 1; i <= n; ++i) x[i] = 1.5 - 0.75 * i;
    for (int k = 0; k < n * n; ++k) b[k / n + 1] += lu(k / n + 1, k % n + 1) * x[k % n + 1];
    int ierr = -1;
    l1400(lu, n, ierr);
    ASSERT_EQ(ierr, n == 1 ? 1 : 0) << "n = " << n;
    if (n > 1) l1500(lu, b, n);
    for (int i = 1; i <= n && n > 1; ++i) EXPECT_NEAR(b[i], x[i], 1e-12) << "n = " << n;
    l1600(inv, n, ierr);
    ASSERT_EQ(ierr, 0);
    for (int k = 0; k < n * n; ++k) {
      double s = 0.0;
      for (int m = 1; m <= n; ++m) s += a(k / n + 1, m) * inv(m, k % n + 1);
      EXPECT_NEAR(s, k / n == k % n ? 1.0 : 0.0, 1e-12) << "n = " << n;
    }
  }
  // Non-positive pivots, in the first cycle and (indefinite matrix) in a later one.
  for (const auto& rows : std::vector<std::vector<double>>{{0.0}, {-1.0}, {1.0, 0.0, 2.0, 1.0}}) {
    const int n = rows.size() == 1 ? 1 : 2;
    Table a(n, n);
    for (int k = 0; k < n * n; ++k) a(k / n + 1, k % n + 1) = rows[static_cast<std::size_t>(k)];
    int ierr = 0;
    l1600(a, n, ierr);
    EXPECT_EQ(ierr, 1) << "a(1,1) = " << rows[0];
  }
}

TEST(CheckValue, ClampsIntoBandKeepingSign) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double cases[][2] = {{1e-12, 5e-9}, {-0.0, -5e-9}, {-3e9, -2e8},
                             {inf, 2e8},    {0.5, 0.5},    {nan, 5e-9}};
  for (const auto& c : cases) {
    double x = c[0];
    checkvalue(x, 5e-9);
    EXPECT_DOUBLE_EQ(x, c[1]) << "in = " << c[0];
    EXPECT_EQ(std::signbit(x), std::signbit(c[1]));
  }
}

}  // namespace
}  // namespace brx
