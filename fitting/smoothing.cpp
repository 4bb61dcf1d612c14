#include "fitting/smoothing.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace brx {

void bestsmooth(double* y, int n, int window, int passes, int endfix) {
  if (window <= 1) return;
  // Too few points for the window or for the treatment of point n - 1: nothing sensible to do,
  // and reading outside y would be worse.
  if (n < 3 || n < window) return;
  const auto size = static_cast<std::size_t>(n + 1);
  std::vector<double> a(size, 0.0), s(size, 0.0), b(size, 0.0);  // index 0 unused
  std::copy(y + 1, y + n + 1, a.begin() + 1);
  passes = std::clamp(passes, 1, 4);
  const int half = (window + 1) / 2;
  constexpr double kLow = 1e-16;
  constexpr double kHigh = 1e16;

  auto mean = [&a](int first, int last) {
    double sum = 0.0;
    for (int i = first; i <= last; ++i) sum += a[i];
    return sum / (last - first + 1);
  };

  for (int pass = 1; pass <= passes; ++pass) {
    std::fill(s.begin(), s.end(), 0.0);
    // Running window sum; the last window is summed afresh.
    double sum = 0.0;
    for (int i = 1; i <= window; ++i) sum += a[i];
    for (int j = 1; j <= n - window; ++j) {
      s[half + j - 1] = sum;
      sum = sum + a[j + window] - a[j];
    }
    double last = 0.0;
    for (int i = n - window + 1; i <= n; ++i) last += a[i];
    s[half + n - window] = last;

    for (int k = 1; k <= n; ++k) b[k] = s[k] / window;
    if (endfix == 1) {
      b[1] = a[1];
      for (int m = 2; m <= (window + 1) / 2; ++m) {
        b[m] = mean(1, 2 * m - 1);
        b[n - m + 1] = mean(n - 2 * m + 2, n);
      }
      b[n - 1] = (a[n - 2] + a[n]) / 2.0;  // a(n-1) itself does not enter
      b[n] = a[n];
    }
    for (int k = 1; k <= n; ++k) {
      if (std::fabs(b[k]) < kLow) b[k] = kLow;
      if (std::fabs(b[k]) > kHigh) b[k] = kHigh;
    }
    a = b;
  }
  std::copy(b.begin() + 1, b.end(), y + 1);
}

}  // namespace brx
