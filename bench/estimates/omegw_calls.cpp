#include "bench/estimates/omegw_calls.h"

extern "C" double __real__ZN3brx5omegwEd(double x);  // brx::omegw

namespace brx::bench {

OmegwCalls& omegw_calls() {
  static OmegwCalls calls;
  return calls;
}

double omegw_uncounted(double x) {
  return __real__ZN3brx5omegwEd(x);
}

}  // namespace brx::bench

// Stands in for brx::omegw wherever the program calls it.
extern "C" double __wrap__ZN3brx5omegwEd(double x) {
  brx::bench::OmegwCalls& calls = brx::bench::omegw_calls();
  ++calls.count;
  if (calls.recording) calls.arguments.push_back(x);
  return __real__ZN3brx5omegwEd(x);
}
