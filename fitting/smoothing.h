#pragma once
// Smoothing of a sampled progress curve.

namespace brx {

// Smooths y[1..n] in place by `passes` (clamped into 1..4) centred moving averages of `window`
// points. With endfix = 1 the ends, which a centred window cannot reach, are treated apart:
//
//   k:     1      2 .. (window+1)/2           ...   n-1                 n
//   b(k):  a(1)   mean of a(1..2k-1)          ...   (a(n-2) + a(n))/2   a(n)
//          (and mirrored: b(n-k+1) = mean of a(n-2k+2..n), before b(n-1) is set)
//
// Every result is then put into the magnitude band [1e-16, 1e16] as a positive value where it
// falls outside (the curve is a product concentration). window <= 1 leaves y as it is; so does
// n < max(3, window), where no window fits.
void bestsmooth(double* y, int n, int window, int passes, int endfix);

}  // namespace brx
