#include "fitting/linalg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace brx {
namespace {

// A (0..n) x (0..n) table from a row-major list of its entries 1..n.
Table MatrixOf(int n, const std::vector<double>& rows) {
  Table a(n, n);
  for (int k = 0; k < n * n; ++k) a(k / n + 1, k % n + 1) = rows[static_cast<std::size_t>(k)];
  return a;
}

// The entries 1..n of a table, row-major.
std::vector<double> EntriesOf(const Table& a, int n) {
  std::vector<double> rows;
  for (int k = 0; k < n * n; ++k) rows.push_back(a(k / n + 1, k % n + 1));
  return rows;
}

TEST(L1600, WorkedInversesAndFailures) {
  Table one = MatrixOf(1, {4.0});
  int ierr = -1;
  l1600(one, 1, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(one(1, 1), 0.25);
  Table two = MatrixOf(2, {4.0, 99.0, 2.0, 3.0});  // the upper triangle is not read
  two(1, 0) = two(2, 0) = 9.0;                     // column 0 (scale factors) is not touched
  l1600(two, 2, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(EntriesOf(two, 2), (std::vector<double>{0.375, -0.25, -0.25, 0.5}));
  EXPECT_EQ(two(1, 0) + two(2, 0), 18.0);
  // Non-positive pivots, in the first cycle and (indefinite matrix) in a later one.
  for (const auto& rows : std::vector<std::vector<double>>{{0.0}, {-1.0}, {1.0, 0.0, 2.0, 1.0}}) {
    Table a = MatrixOf(rows.size() == 1 ? 1 : 2, rows);
    l1600(a, a.rows(), ierr);
    EXPECT_EQ(ierr, 1) << "a(1,1) = " << rows[0];
  }
}

// On B^T·B + n·I (positive definite): LU recovers a chosen x from b = A·x, with a zero in
// a(1,1) that forces a row exchange (and makes the 1x1 matrix singular); A·inverse(A) = I.
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
}

TEST(Diagonal, AddMovesAwayFromZeroAndMultMakesNonNegative) {
  Table a = MatrixOf(3, {-1.0, 0.0, 0.0, 7.0, 0.0, 0.0, 0.0, 0.0, -0.0});
  a(0, 0) = a(1, 0) = 9.0;  // index 0 is never touched
  diagadd(a, 3, -5e-9);  // the sign of v does not matter; +0 counts as positive, −0 as negative
  EXPECT_EQ(EntriesOf(a, 3), (std::vector<double>{-1.000000005, 0, 0, 7.0, 5e-9, 0, 0, 0, -5e-9}));
  a(1, 1) = -2.0;
  diagmult(a, 3, 1.000000005);
  EXPECT_EQ(a(1, 1), 2.00000001);
  EXPECT_EQ(a(3, 3), 5e-9 * 1.000000005);
  EXPECT_EQ(a(0, 0) + a(1, 0), 18.0);
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
