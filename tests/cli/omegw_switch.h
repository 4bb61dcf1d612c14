#pragma once
// Chooses, while a test runs, which carrier answers the program's omegw calls, and records their
// arguments on request. The test program is linked with --wrap on omegw, so every call made by
// the analysis (the simplex fits) passes through here, whatever the build chose for omegw.

#include <vector>

namespace brx::test {

enum class Carrier { kDoubleDouble, kBinary128 };

struct OmegwSwitch {
  Carrier carrier = Carrier::kDoubleDouble;
  std::vector<double>* arguments = nullptr;  // when set, every argument is appended
};

// The one switch of the test program; the analyses it runs are single-threaded.
OmegwSwitch& omegw_switch();

}  // namespace brx::test
