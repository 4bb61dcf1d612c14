#pragma once
// Dense linear algebra on small square matrices (order n <= 5), in place.
//
// Every matrix is a brx::Table (0..n) x (0..n), column-major with leading dimension n + 1. Rows
// and columns 1..n hold the matrix; index 0 has a job only where a routine says so:
//
//            j = 0        1      2    ...   n
//   i = 0     .         s(1)   s(2)  ...  s(n)     <- l1600: scratch row
//       1   piv(1)      a11    a12   ...  a1n
//       2   piv(2)      a21    a22   ...  a2n
//      ...
//       n     .         an1    an2   ...  ann
//             ^ l1400: pivot row chosen at elimination step k, stored as a double in a(k, 0)
//               (the regression keeps its scale factors here instead)
//
// After l1400 the upper triangle (with the diagonal) holds U and the strict lower triangle holds
// the elimination multipliers with their signs flipped, so that l1500 adds instead of subtracts.
// Vectors are std::vector<double> indexed 1..n; entry 0 is never read.
// Status arguments: 0 = success, 1 = failure. No routine here prints or stops.

#include <vector>

#include "base/table.h"

namespace brx {

// Factorises a = LU in place with partial pivoting (first row wins ties); ierr = 1 when a zero
// pivot is met, which leaves a only partly factorised.
void l1400(Table& a, int n, int& ierr);

// Solves (factored a)·x = b in place in b(1..n), with the factors and pivots left by l1400.
void l1500(const Table& a, std::vector<double>& b, int n);

// Inverts in place the symmetric positive-definite matrix whose lower triangle (with diagonal)
// `a` holds, by the Bauer–Reinsch cyclic scheme; both triangles of the inverse are filled.
// ierr = 1 on a non-positive pivot (a is then left partly transformed).
void l1600(Table& a, int n, int& ierr);

// Moves each diagonal entry away from zero by |v|: a(k, k) += |v| with the sign of a(k, k)
// (+0 counts as positive, -0 as negative).
void diagadd(Table& a, int n, double v);

// Makes the diagonal non-negative and scales it: a(k, k) := |a(k, k)|·|v|.
void diagmult(Table& a, int n, double v);

// Clamps x into the magnitude band [lim, 1/lim], keeping its sign; a not-a-number becomes lim.
void checkvalue(double& x, double lim);

// Clamps mat(1..n, 1..m) and vec(1..n) into the band [5e-9, 2e8] in magnitude (checkvalue).
void check(int n, int m, std::vector<double>& vec, Table& mat);

}  // namespace brx
