#include "fitting/random.h"

#include <cmath>

namespace brx {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kRangenStart = 0.14159265358979312;  // pi - 3 as a double
constexpr std::int64_t kModulus = 2147483647;         // 2^31 - 1
constexpr std::int64_t kMultiplier = 16807;           // 7^5
constexpr std::int32_t kRestartState = 520932930;
constexpr std::int32_t kLowBits = 511;   // cleared so the product stays below 1 in float
constexpr float kScale = 4.656613e-10f;  // about 2^-31

}  // namespace

double rangen(RandomState& rng, double& x) {
  if (x == 0.0) {
    rng.rangen_r = kRangenStart;
  } else {
    const double q = rng.rangen_r + kPi;
    const double q2 = q * q;
    const double q5 = q * (q2 * q2);  // this association decides the digits of every seed
    rng.rangen_r = q5 - std::floor(q5);
  }
  x = rng.rangen_r;
  return rng.rangen_r;
}

float uniform(RandomState& rng, std::int32_t seed) {
  if (seed == 1) {
    rng.lehmer = kRestartState;
  } else {
    // seed 0 advances the current state; any other seed advances from the seed itself.
    const std::int64_t from = seed == 0 ? rng.lehmer : seed;
    std::int64_t s = (kMultiplier * from) % kModulus;
    if (s < 0) s += kModulus;  // a negative seed still lands in [0, 2^31 - 1)
    rng.lehmer = static_cast<std::int32_t>(s);
  }
  // (s - 1) has at most 22 significant bits once the low 9 are cleared: the float is exact.
  const std::int32_t bits = (rng.lehmer - 1) & ~kLowBits;
  return static_cast<float>(bits) * kScale;
}

}  // namespace brx
