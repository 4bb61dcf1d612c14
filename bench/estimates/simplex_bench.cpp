// The simplex fit of both forms on exact progress curves of 13, 200 and 1001 points, started 10 %
// off, and the time the same fit's omegw calls take on their own, with either carrier.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <vector>

#include "bench/estimates/omegw_calls.h"
#include "estimates/lambert_w.h"
#include "estimates/simplex.h"

namespace {

constexpr double kSo = 1.5, kKm = 0.5, kVmax = 1.2, kKd = 0.8, kPo4 = 0.05;

struct Problem {
  int n;
  std::vector<double> t, y, start;
};

// Integrated Michaelis-Menten curve (decaying enzyme for n = 4) at npts equal steps on [0, 1].
Problem MakeProblem(int n, int npts) {
  Problem pr{n, std::vector<double>(npts + 1), std::vector<double>(npts + 1), {}};
  for (int k = 1; k <= npts; ++k) {
    pr.t[k] = (k - 1.0) / (npts - 1.0);
    const double tau = n == 3 ? pr.t[k] : (1 - std::exp(-kKd * pr.t[k])) / kKd;
    double lo = 0.0, hi = kSo;
    for (int i = 0; i < 100; ++i) {
      const double s = 0.5 * (lo + hi);
      (s + kKm * std::log(s / kSo) > kSo - kVmax * tau ? hi : lo) = s;
    }
    pr.y[k] = kSo - lo + (n == 4 ? kPo4 : 0.0);
  }
  pr.start = n == 3 ? std::vector<double>{0, 1.1 * kKm, 0.9 * kVmax, 1.1 * kKm * std::log(kSo)}
                    : std::vector<double>{0, 1.1 * kKm, 0.9 * kVmax, 1.1 * kPo4, 0.9 * kKd};
  return pr;
}

// Processor time of the calling thread, so that other processes on the machine do not count.
double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

double Fit(const Problem& pr, std::vector<double>& ycalc) {
  std::vector<double> p = pr.start;
  double ssq = 0.0;
  const std::array<int, 6> mask{};
  brx::smplx_curvefit(pr.n, p, mask, ssq, pr.t, pr.y, ycalc, static_cast<int>(pr.t.size()) - 1, kSo,
                      250, 0);
  return ssq;
}

// Times the fit; reports the omegw calls per fit and the share of the fit's time that the same
// calls take when replayed alone (thread processor time, median of 5 replays against the fit's
// mean).
void BM_SmplxCurvefit(benchmark::State& state) {
  const Problem pr =
      MakeProblem(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::vector<double> ycalc;
  brx::bench::OmegwCalls& calls = brx::bench::omegw_calls();
  calls.arguments.clear();
  calls.recording = true;
  Fit(pr, ycalc);
  calls.recording = false;
  const std::vector<double> args = calls.arguments;

  const double start = ThreadSeconds();
  for (auto _ : state) benchmark::DoNotOptimize(Fit(pr, ycalc));
  const double fit_seconds = (ThreadSeconds() - start) / static_cast<double>(state.iterations());

  std::array<double, 5> replay{};
  for (double& seconds : replay) {
    const double r0 = ThreadSeconds();
    for (double x : args) benchmark::DoNotOptimize(brx::bench::omegw_uncounted(x));
    seconds = ThreadSeconds() - r0;
  }
  std::sort(replay.begin(), replay.end());
  state.counters["omegw_calls"] = static_cast<double>(args.size());
  state.counters["omegw_share"] = replay[2] / fit_seconds;
}

BENCHMARK(BM_SmplxCurvefit)
    ->ArgNames({"n", "npts"})
    ->ArgsProduct({{3, 4}, {13, 200, 1001}})
    ->Unit(benchmark::kMillisecond);

// One call of each carrier of omegw on the arguments that one fit of the decaying form to 1001
// points passes it, replayed in their order (items per second: calls per second).
void BM_OmegwReplay(benchmark::State& state, double (*omegw)(double)) {
  static const std::vector<double> args = [] {
    const Problem pr = MakeProblem(4, 1001);
    std::vector<double> ycalc;
    brx::bench::OmegwCalls& calls = brx::bench::omegw_calls();
    calls.arguments.clear();
    calls.recording = true;
    Fit(pr, ycalc);
    calls.recording = false;
    return calls.arguments;
  }();
  for (auto _ : state) {
    for (double x : args) benchmark::DoNotOptimize(omegw(x));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(args.size()));
  state.counters["ns_per_call"] = benchmark::Counter(
      static_cast<double>(state.iterations() * static_cast<std::int64_t>(args.size())),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(BM_OmegwReplay, binary128, brx::omegw_binary128)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OmegwReplay, double_double, brx::omegw_double_double)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OmegwReplay, double_double_split, brx::omegw_double_double_split)
    ->Unit(benchmark::kMillisecond);

}  // namespace
