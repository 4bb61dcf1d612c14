#include "tests/cli/omegw_switch.h"

#include "estimates/lambert_w.h"

namespace brx::test {

OmegwSwitch& omegw_switch() {
  static OmegwSwitch s;
  return s;
}

}  // namespace brx::test

// Stands in for brx::omegw wherever the analysis calls it.
extern "C" double __wrap__ZN3brx5omegwEd(double x) {
  brx::test::OmegwSwitch& s = brx::test::omegw_switch();
  if (s.arguments != nullptr) s.arguments->push_back(x);
  return s.carrier == brx::test::Carrier::kBinary128 ? brx::omegw_binary128(x)
                                                     : brx::omegw_double_double(x);
}
