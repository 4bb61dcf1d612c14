// Cost of integrating the rate over data intervals, as the fit does for every trial curve.

#include <benchmark/benchmark.h>

#include <vector>

#include "fitting/integrator.h"
#include "fitting/rate_equations.h"

namespace {

// A typical normalised curve: [So] = 1.1, Km = 0.4, Vmax = 1.3, [Po] = 0.05, kd = 2 (Model 1),
// data every 0.05 time units; the run's tolerance 1e-3 and step limit 50.
struct Curve {
  brx::nrtype nr;
  std::vector<double> p{0.0, 0.4, 1.3, 0.05, 2.0, 0.0};
  std::vector<double> y{0.0, 0.05};
  int nsteps = 0, nrej = 0;

  explicit Curve(int model) {
    nr.so = 1.1;
    nr.imdl = model;
  }
  void Interval(double& t, double tend, double& h) {
    const brx::StepCounts counts = brx::l7200(nr, y, 1, t, tend, h, p, 4, 50, 1e-3);
    nsteps = counts.accepted;
    nrej = counts.rejected;
  }
};

// One interval in the middle of the curve, [0.45, 0.5], entered with the step the interval
// before it hands on.
void BM_L7200_Interval(benchmark::State& state) {
  Curve c(static_cast<int>(state.range(0)));
  long steps = 0;
  for (auto _ : state) {
    c.y[1] = 0.45;
    double t = 0.45, h = 0.0505;
    c.Interval(t, 0.5, h);
    steps += c.nsteps + c.nrej;
    benchmark::DoNotOptimize(c.y[1]);
  }
  state.counters["attempts"] =
      benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_L7200_Interval)->Arg(1)->Arg(2)->ArgName("model");

// A whole trial curve: 19 intervals from t = 0.05 to 1, the first step as the fit computes it,
// each interval a call of l7200 with its own work storage.
void BM_L7200_Curve(benchmark::State& state) {
  Curve c(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    c.y[1] = 0.05;
    double t = 0.05, h = 0.005 + 5e-5;
    for (int i = 2; i <= 20; ++i) c.Interval(t, 0.05 * i, h);
    benchmark::DoNotOptimize(c.y[1]);
  }
}
BENCHMARK(BM_L7200_Curve)->Arg(1)->Arg(2)->ArgName("model");

// The same curve as the fit makes it (integrate_curve): one IntervalIntegrator for all 19.
void BM_IntervalIntegrator_Curve(benchmark::State& state) {
  Curve c(static_cast<int>(state.range(0)));
  brx::IntervalIntegrator integrator(1);
  const brx::RateSystem system{c.nr, c.p, 4, 1};
  for (auto _ : state) {
    c.y[1] = 0.05;
    double t = 0.05, h = 0.005 + 5e-5;
    for (int i = 2; i <= 20; ++i) integrator.advance(system, c.y, t, 0.05 * i, h, 50, 1e-3);
    benchmark::DoNotOptimize(c.y[1]);
  }
}
BENCHMARK(BM_IntervalIntegrator_Curve)->Arg(1)->Arg(2)->ArgName("model");

// One rate evaluation; an attempted step costs four.
void BM_L900(benchmark::State& state) {
  Curve c(static_cast<int>(state.range(0)));
  c.nr.flagpexp = 0;
  std::vector<double> d{0.0, 0.0};
  double t = 0.3;
  for (auto _ : state) {
    brx::l900(c.nr, c.p, c.y, d, t, 4, 1);
    benchmark::DoNotOptimize(d[1]);
  }
}
BENCHMARK(BM_L900)->Arg(1)->Arg(2)->ArgName("model");

}  // namespace
