#include "fitting/linalg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace brx {
namespace {

// Fills rows/columns 1..n of a (0..n) x (0..n) table from a row-major list.
Table MatrixOf(int n, const std::vector<double>& rows) {
  Table a(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) a(i, j) = rows[static_cast<std::size_t>((i - 1) * n + (j - 1))];
  }
  return a;
}

std::vector<double> Times(const Table& a, int n, const std::vector<double>& x) {
  std::vector<double> b(static_cast<std::size_t>(n + 1), 0.0);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) b[i] += a(i, j) * x[j];
  }
  return b;
}

TEST(L1600, InvertsOneByOne) {
  Table a = MatrixOf(1, {4.0});
  int ierr = -1;
  l1600(a, 1, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(a(1, 1), 0.25);
}

TEST(L1600, FailsOnNonPositivePivot) {
  for (double v : {0.0, -1.0}) {
    Table a = MatrixOf(1, {v});
    int ierr = 0;
    l1600(a, 1, ierr);
    EXPECT_EQ(ierr, 1) << "a(1,1) = " << v;
  }
  // A symmetric matrix that is not positive definite fails at a later cycle.
  Table b(2, 2);
  b(1, 1) = 1.0;
  b(2, 1) = 2.0;
  b(2, 2) = 1.0;
  int ierr = 0;
  l1600(b, 2, ierr);
  EXPECT_EQ(ierr, 1);
}

TEST(L1600, InvertsTwoByTwoFromLowerTriangleAndFillsBothTriangles) {
  Table a(2, 2);
  a(1, 1) = 4.0;
  a(2, 1) = 2.0;
  a(2, 2) = 3.0;
  a(1, 2) = 99.0;  // the upper triangle is not read
  int ierr = -1;
  l1600(a, 2, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_DOUBLE_EQ(a(1, 1), 0.375);
  EXPECT_DOUBLE_EQ(a(2, 1), -0.25);
  EXPECT_DOUBLE_EQ(a(1, 2), -0.25);
  EXPECT_DOUBLE_EQ(a(2, 2), 0.5);
}

TEST(L1600, TimesOriginalIsIdentityOnPositiveDefiniteMatrices) {
  // B^T B + n I is positive definite for any B; orders 1..5 cover every size the fit uses.
  for (int n = 1; n <= 5; ++n) {
    Table full(n, n);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        double s = (i == j) ? n : 0.0;
        for (int k = 1; k <= n; ++k)
          s += std::sin(k * i + 0.3 * j * j) * std::sin(k * j + 0.3 * i * i);
        full(i, j) = s;
      }
    }
    Table inv(n, n);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= i; ++j) inv(i, j) = full(i, j);
    }
    int ierr = -1;
    l1600(inv, n, ierr);
    ASSERT_EQ(ierr, 0) << "n = " << n;
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        double s = 0.0;
        for (int k = 1; k <= n; ++k) s += full(i, k) * inv(k, j);
        EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-12) << "n = " << n << " (" << i << "," << j << ")";
      }
    }
  }
}

TEST(L1400L1500, OneByOneGivesQuotientAndZeroIsSingular) {
  Table a = MatrixOf(1, {4.0});
  std::vector<double> b{0.0, 3.0};
  int ierr = -1;
  l1400(a, 1, ierr);
  EXPECT_EQ(ierr, 0);
  l1500(a, b, 1);
  EXPECT_EQ(b[1], 0.75);

  Table z = MatrixOf(1, {0.0});
  l1400(z, 1, ierr);
  EXPECT_EQ(ierr, 1);
}

TEST(L1400L1500, RecoversChosenSolutionWithPivoting) {
  // The zero in a(1,1) forces a row exchange at the first step; the rest needs more.
  const std::vector<std::vector<double>> matrices = {
      {0, 2, 1, 1, 1, 1, 3, 1, 5},
      {0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0},
      {1e-3, 2, 3, 4, 5, 2, 1e-3, 7, 1, 2, 3, 7, 1e-3, 5, 4, 4, 1, 5, 1e-3, 3, 5, 2, 4, 3, 1e-3},
  };
  for (const auto& rows : matrices) {
    const int n = static_cast<int>(std::lround(std::sqrt(static_cast<double>(rows.size()))));
    const Table a = MatrixOf(n, rows);
    std::vector<double> x(static_cast<std::size_t>(n + 1), 0.0);
    for (int i = 1; i <= n; ++i) x[i] = 1.5 - 0.75 * i;
    std::vector<double> b = Times(a, n, x);
    Table lu = a;
    int ierr = -1;
    l1400(lu, n, ierr);
    ASSERT_EQ(ierr, 0) << "n = " << n;
    l1500(lu, b, n);
    for (int i = 1; i <= n; ++i) EXPECT_NEAR(b[i], x[i], 1e-12) << "n = " << n << " i = " << i;
  }
}

TEST(L1400, StoresPivotRowsInColumnZeroAndNegatedMultipliers) {
  Table a = MatrixOf(2, {1.0, 1.0, 4.0, 2.0});
  int ierr = -1;
  l1400(a, 2, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(a(1, 0), 2.0);  // row 2 holds the larger entry of column 1
  EXPECT_EQ(a(1, 1), 4.0);  // U
  EXPECT_EQ(a(1, 2), 2.0);
  EXPECT_EQ(a(2, 1), -0.25);  // multiplier 1/4, stored negated
  EXPECT_EQ(a(2, 2), 0.5);
}

TEST(L1400, ReportsSingularMatrix) {
  for (const auto& rows :
       std::vector<std::vector<double>>{{1, 2, 2, 4}, {0, 1, 0, 1}, {0, 0, 0, 0}}) {
    Table a = MatrixOf(2, rows);
    int ierr = 0;
    l1400(a, 2, ierr);
    EXPECT_EQ(ierr, 1);
  }
}

TEST(DiagAdd, MovesDiagonalAwayFromZeroKeepingItsSign) {
  Table a(3, 3);
  a(1, 1) = -1.0;
  a(2, 2) = 0.0;
  a(3, 3) = -0.0;
  a(2, 1) = 7.0;
  a(1, 0) = 9.0;
  diagadd(a, 3, -5e-9);  // the sign of v does not matter
  EXPECT_EQ(a(1, 1), -1.000000005);
  EXPECT_EQ(a(2, 2), 5e-9);
  EXPECT_EQ(a(3, 3), -5e-9);
  EXPECT_EQ(a(2, 1), 7.0);  // off the diagonal and index 0 are untouched
  EXPECT_EQ(a(1, 0), 9.0);
}

TEST(DiagMult, MakesDiagonalNonNegativeAndScales) {
  Table a(2, 2);
  a(1, 1) = -2.0;
  a(2, 2) = 3.0;
  a(0, 0) = -4.0;
  diagmult(a, 2, 1.000000005);
  EXPECT_EQ(a(1, 1), 2.00000001);
  EXPECT_EQ(a(2, 2), 3.0 * 1.000000005);
  EXPECT_EQ(a(0, 0), -4.0);
}

TEST(CheckValue, ClampsIntoBandKeepingSign) {
  struct Case {
    double in, out;
  } const cases[] = {
      {1e-12, 5e-9},       {-1e-12, -5e-9},   {0.0, 5e-9},
      {-3e9, -1.0 / 5e-9}, {3e9, 1.0 / 5e-9}, {std::numeric_limits<double>::infinity(), 1.0 / 5e-9},
      {0.5, 0.5},          {-7.25, -7.25},    {std::numeric_limits<double>::quiet_NaN(), 5e-9},
  };
  for (const Case& c : cases) {
    double x = c.in;
    checkvalue(x, 5e-9);
    EXPECT_EQ(x, c.out) << "in = " << c.in;
  }
  EXPECT_DOUBLE_EQ(1.0 / 5e-9, 2e8);
  double negzero = -0.0;
  checkvalue(negzero, 5e-9);
  EXPECT_EQ(negzero, -5e-9);
}

TEST(Check, ClampsMatrixAndVectorButNotIndexZero) {
  Table mat(2, 3);
  mat.fill(0.0);
  mat(1, 3) = 1e10;
  mat(2, 2) = 0.5;
  std::vector<double> vec{0.0, 1e-20, -1e20};
  check(2, 2, vec, mat);
  EXPECT_EQ(mat(1, 1), 5e-9);
  EXPECT_EQ(mat(2, 2), 0.5);
  EXPECT_EQ(mat(1, 3), 1e10);  // column 3 lies outside the m = 2 columns asked for
  EXPECT_EQ(mat(0, 1), 0.0);
  EXPECT_EQ(mat(1, 0), 0.0);
  EXPECT_EQ(vec[0], 0.0);
  EXPECT_EQ(vec[1], 5e-9);
  EXPECT_EQ(vec[2], -1.0 / 5e-9);
}

}  // namespace
}  // namespace brx
