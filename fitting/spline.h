#pragma once
// Cubic spline through tabulated rates and its running integral: turns rates known at the data
// times into curve values there.

#include "base/table.h"

namespace brx {

// Spline through (x(i), f(i)), i = 1..n, x strictly increasing; s is a Table(4, n):
//
//   s(0, i)  f(i)
//   s(1, i)  first-order coefficient b(i) of interval [x(i), x(i+1)]
//   s(2, i)  second-order coefficient m(i) (half the second derivative at x(i))
//   s(3, i)  third-order coefficient d(i)
//   s(4, i)  integral of the spline from x(1) to x(i)
//
// so that on interval i the spline is f(i) + b(i)·u + m(i)·u² + d(i)·u³ with u = x − x(i). At
// i = n, b(n) is the slope at x(n), m(n) the end value and d(n) = 0. endflag = 0 gives the
// natural spline (m(1) = m(n) = 0); any other endflag clamps the end slopes to slope1 and
// slopen. Row 0 of s is not used.
void l6300(const double* x, const double* f, int n, double slope1, double slopen, int endflag,
           Table& s);

}  // namespace brx
