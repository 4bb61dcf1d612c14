// omegw carried in double-double instead of binary128. The refinement is the reference's, step
// for step and in its order of operations; only the carrier is narrower (about 106 bits against
// 113), so the two differ by a few parts in 2^100 of w. That can change the answer only where a
// decision falls that close: the residual test, the cap of the first guess, the rounding of 1 + L
// onto the binary128 grid, and the final rounding to double. Each is taken here only with a
// margin well above that difference; too close to call, the argument goes to omegw_binary128.
//
// The exact products come from fused multiply-add where the processor has it (one version of the
// routine compiled for it, picked when the program is loaded) and from Dekker splitting
// elsewhere. Both give the same double-double values, so the same answers.

#include <bit>
#include <cmath>
#include <cstdint>

#include "estimates/lambert_w.h"

namespace brx {

namespace {

// ---------------------------------------------------------------------------------------------
// Double-double arithmetic: a value hi + lo with |lo| <= ulp(hi)/2. Every helper is inlined into
// the two versions of the routine, so that the fused one is compiled for fused multiply-add.

#define BRX_DD_INLINE [[gnu::always_inline]] inline

struct DD {
  double hi, lo;
};

// a + b exactly.
BRX_DD_INLINE DD two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly, for |a| >= |b| (or a = 0).
BRX_DD_INLINE DD quick_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a·b exactly (no overflow, no underflow of the parts: true of every value here).
template <bool kFused>
BRX_DD_INLINE DD two_prod(double a, double b) {
  const double p = a * b;
  if constexpr (kFused) {
    return {p, __builtin_fma(a, b, -p)};
  } else {
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    const double ca = kSplitter * a;
    const double ah = ca - (ca - a);
    const double al = a - ah;
    const double cb = kSplitter * b;
    const double bh = cb - (cb - b);
    const double bl = b - bh;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
  }
}

BRX_DD_INLINE DD operator-(DD a) {
  return {-a.hi, -a.lo};
}

BRX_DD_INLINE DD add(DD a, DD b) {
  DD s = two_sum(a.hi, b.hi);
  const DD t = two_sum(a.lo, b.lo);
  s.lo += t.hi;
  s = quick_two_sum(s.hi, s.lo);
  s.lo += t.lo;
  return quick_two_sum(s.hi, s.lo);
}

BRX_DD_INLINE DD add(DD a, double b) {
  DD s = two_sum(a.hi, b);
  s.lo += a.lo;
  return quick_two_sum(s.hi, s.lo);
}

BRX_DD_INLINE DD sub(DD a, DD b) {
  return add(a, -b);
}

template <bool kFused>
BRX_DD_INLINE DD mul(DD a, DD b) {
  DD p = two_prod<kFused>(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return quick_two_sum(p.hi, p.lo);
}

template <bool kFused>
BRX_DD_INLINE DD mul(DD a, double b) {
  DD p = two_prod<kFused>(a.hi, b);
  p.lo += a.lo * b;
  return quick_two_sum(p.hi, p.lo);
}

// 2^k for a k in the normal range, exact.
BRX_DD_INLINE double power_of_two(int k) {
  return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
}

// a·2^k, exact.
BRX_DD_INLINE DD scale(DD a, int k) {
  const double p = power_of_two(k);
  return {a.hi * p, a.lo * p};
}

// a / b to about 2^-104: a quotient digit, the remainder a - q1·b (which cancels, hence the
// exact sum), and a second digit from it.
template <bool kFused>
BRX_DD_INLINE DD div(DD a, DD b) {
  const double q1 = a.hi / b.hi;
  const DD r = sub(a, mul<kFused>(b, q1));
  return quick_two_sum(q1, r.hi / b.hi);
}

// ---------------------------------------------------------------------------------------------
// Exponential and logarithm, to about 2^-100 relative.

// ln 2 / 64 in three parts; n·kLn2By64Hi is exact for |n| < 2^15 (its 38 bits and n's 15).
constexpr double kLn2By64Hi = 0x1.62e42fefa0000p-7;
constexpr double kLn2By64Mid = 0x1.cf79abc9e3b3ap-46;
constexpr double kLn2By64Lo = -0x1.ff0342542fc33p-100;
constexpr double k64ByLn2 = 0x1.71547652b82fep+6;

// 2^(j/64), j = 0..63, each the double-double nearest the exact value.
constexpr DD kExp2Table[64] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {0x1.02c9a3e778061p+0, -0x1.19083535b085dp-56},
    {0x1.059b0d3158574p+0, 0x1.d73e2a475b465p-55},
    {0x1.0874518759bc8p+0, 0x1.186be4bb284ffp-57},
    {0x1.0b5586cf9890fp+0, 0x1.8a62e4adc610bp-54},
    {0x1.0e3ec32d3d1a2p+0, 0x1.03a1727c57b53p-59},
    {0x1.11301d0125b51p+0, -0x1.6c51039449b3ap-54},
    {0x1.1429aaea92de0p+0, -0x1.32fbf9af1369ep-54},
    {0x1.172b83c7d517bp+0, -0x1.19041b9d78a76p-55},
    {0x1.1a35beb6fcb75p+0, 0x1.e5b4c7b4968e4p-55},
    {0x1.1d4873168b9aap+0, 0x1.e016e00a2643cp-54},
    {0x1.2063b88628cd6p+0, 0x1.dc775814a8495p-55},
    {0x1.2387a6e756238p+0, 0x1.9b07eb6c70573p-54},
    {0x1.26b4565e27cddp+0, 0x1.2bd339940e9d9p-55},
    {0x1.29e9df51fdee1p+0, 0x1.612e8afad1255p-55},
    {0x1.2d285a6e4030bp+0, 0x1.0024754db41d5p-54},
    {0x1.306fe0a31b715p+0, 0x1.6f46ad23182e4p-55},
    {0x1.33c08b26416ffp+0, 0x1.32721843659a6p-54},
    {0x1.371a7373aa9cbp+0, -0x1.63aeabf42eae2p-54},
    {0x1.3a7db34e59ff7p+0, -0x1.5e436d661f5e3p-56},
    {0x1.3dea64c123422p+0, 0x1.ada0911f09ebcp-55},
    {0x1.4160a21f72e2ap+0, -0x1.ef3691c309278p-58},
    {0x1.44e086061892dp+0, 0x1.89b7a04ef80d0p-59},
    {0x1.486a2b5c13cd0p+0, 0x1.3c1a3b69062f0p-56},
    {0x1.4bfdad5362a27p+0, 0x1.d4397afec42e2p-56},
    {0x1.4f9b2769d2ca7p+0, -0x1.4b309d25957e3p-54},
    {0x1.5342b569d4f82p+0, -0x1.07abe1db13cadp-55},
    {0x1.56f4736b527dap+0, 0x1.9bb2c011d93adp-54},
    {0x1.5ab07dd485429p+0, 0x1.6324c054647adp-54},
    {0x1.5e76f15ad2148p+0, 0x1.ba6f93080e65ep-54},
    {0x1.6247eb03a5585p+0, -0x1.383c17e40b497p-54},
    {0x1.6623882552225p+0, -0x1.bb60987591c34p-54},
    {0x1.6a09e667f3bcdp+0, -0x1.bdd3413b26456p-54},
    {0x1.6dfb23c651a2fp+0, -0x1.bbe3a683c88abp-57},
    {0x1.71f75e8ec5f74p+0, -0x1.16e4786887a99p-55},
    {0x1.75feb564267c9p+0, -0x1.0245957316dd3p-54},
    {0x1.7a11473eb0187p+0, -0x1.41577ee04992fp-55},
    {0x1.7e2f336cf4e62p+0, 0x1.05d02ba15797ep-56},
    {0x1.82589994cce13p+0, -0x1.d4c1dd41532d8p-54},
    {0x1.868d99b4492edp+0, -0x1.fc6f89bd4f6bap-54},
    {0x1.8ace5422aa0dbp+0, 0x1.6e9f156864b27p-54},
    {0x1.8f1ae99157736p+0, 0x1.5cc13a2e3976cp-55},
    {0x1.93737b0cdc5e5p+0, -0x1.75fc781b57ebcp-57},
    {0x1.97d829fde4e50p+0, -0x1.d185b7c1b85d1p-54},
    {0x1.9c49182a3f090p+0, 0x1.c7c46b071f2bep-56},
    {0x1.a0c667b5de565p+0, -0x1.359495d1cd533p-54},
    {0x1.a5503b23e255dp+0, -0x1.d2f6edb8d41e1p-54},
    {0x1.a9e6b5579fdbfp+0, 0x1.0fac90ef7fd31p-54},
    {0x1.ae89f995ad3adp+0, 0x1.7a1cd345dcc81p-54},
    {0x1.b33a2b84f15fbp+0, -0x1.2805e3084d708p-57},
    {0x1.b7f76f2fb5e47p+0, -0x1.5584f7e54ac3bp-56},
    {0x1.bcc1e904bc1d2p+0, 0x1.23dd07a2d9e84p-55},
    {0x1.c199bdd85529cp+0, 0x1.11065895048ddp-55},
    {0x1.c67f12e57d14bp+0, 0x1.2884dff483cadp-54},
    {0x1.cb720dcef9069p+0, 0x1.503cbd1e949dbp-56},
    {0x1.d072d4a07897cp+0, -0x1.cbc3743797a9cp-54},
    {0x1.d5818dcfba487p+0, 0x1.2ed02d75b3707p-55},
    {0x1.da9e603db3285p+0, 0x1.c2300696db532p-54},
    {0x1.dfc97337b9b5fp+0, -0x1.1a5cd4f184b5cp-54},
    {0x1.e502ee78b3ff6p+0, 0x1.39e8980a9cc8fp-55},
    {0x1.ea4afa2a490dap+0, -0x1.e9c23179c2893p-54},
    {0x1.efa1bee615a27p+0, 0x1.dc7f486a4b6b0p-54},
    {0x1.f50765b6e4540p+0, 0x1.9d3e12dd8a18bp-54},
    {0x1.fa7c1819e90d8p+0, 0x1.74853f3a5931ep-55},
};

// 1/n! for the series of e^x - 1: n = 2..6 carried in double-double, from 7 on a double is enough.
constexpr DD kInvFact3{0x1.5555555555555p-3, 0x1.5555555555555p-57};
constexpr DD kInvFact4{0x1.5555555555555p-5, 0x1.5555555555555p-59};
constexpr DD kInvFact5{0x1.1111111111111p-7, 0x1.1111111111111p-63};
constexpr DD kInvFact6{0x1.6c16c16c16c17p-10, -0x1.f49f49f49f49fp-65};
constexpr double kInvFact7 = 0x1.a01a01a01a01ap-13;
constexpr double kInvFact8 = 0x1.a01a01a01a01ap-16;
constexpr double kInvFact9 = 0x1.71de3a556c734p-19;
constexpr double kInvFact10 = 0x1.27e4fb7789f5cp-22;
constexpr double kInvFact11 = 0x1.ae64567f544e4p-26;

// e^a = 2^k·2^(j/64)·(1 + m).
struct ExpParts {
  int k;
  int j;
  DD m;
};

// p·x + c for |p·x| below |c| (a step of the series). The result is left unnormalised, its lo
// part perhaps a little above half an ulp of hi, which the next step takes as it is.
template <bool kFused>
BRX_DD_INLINE DD mul_add(DD p, double x, DD c) {
  const DD px = two_prod<kFused>(p.hi, x);
  const double s = c.hi + px.hi;
  const double err = px.hi - (s - c.hi);  // exact, as |c.hi| >= |px.hi|
  return {s, err + (px.lo + p.lo * x + c.lo)};
}

// e^a for |a| below about 700, as 2^k·2^(j/64)·(1 + m). a = (64·k + j)·ln 2/64 + r with
// |r| <= ln 2/128; m = e^r - 1 to about 2^-104 of itself, so that e^a - 1 = m keeps its relative
// accuracy where a is that small (k = j = 0). The series is summed at the double x = r.hi
// (eleven terms; from x^6/7! on the terms are below 2^-53 of x), then e^r = e^x·(1 + r.lo).
template <bool kFused>
BRX_DD_INLINE ExpParts exp_parts(DD a) {
  constexpr double kRounder = 0x1.8p52;  // (v + kRounder) - kRounder is v rounded, |v| < 2^51
  const double n = (a.hi * k64ByLn2 + kRounder) - kRounder;
  // r = a - n·ln 2/64. a.hi - n·kLn2By64Hi is exact, the next two sums are exact as pairs, and
  // their errors, n·kLn2By64Mid's and the last part are all below 2^-59: their rounding is lost
  // below 2^-110.
  const DD t = two_prod<kFused>(n, kLn2By64Mid);
  const DD s1 = two_sum(a.hi - n * kLn2By64Hi, a.lo);
  const DD s2 = two_sum(s1.hi, -t.hi);
  const DD r = two_sum(s2.hi, ((s1.lo + s2.lo) - t.lo) - n * kLn2By64Lo);

  const double x = r.hi;
  const double x2 = x * x;
  const double tail =
      (kInvFact7 + kInvFact8 * x) + x2 * ((kInvFact9 + kInvFact10 * x) + x2 * kInvFact11);
  DD p = mul_add<kFused>(DD{tail, 0.0}, x, kInvFact6);
  p = mul_add<kFused>(p, x, kInvFact5);
  p = mul_add<kFused>(p, x, kInvFact4);
  p = mul_add<kFused>(p, x, kInvFact3);
  p = mul_add<kFused>(p, x, DD{0.5, 0.0});
  p = mul_add<kFused>(p, x, DD{1.0, 0.0});
  const DD em1 = mul<kFused>(p, x);  // e^x - 1
  const DD m = add(em1, r.lo + em1.hi * r.lo);
  const int ni = static_cast<int>(n);
  return {ni >> 6, ni & 63, m};  // floor division: j in 0..63
}

// 2^(j/64)·(1 + m), the part of e^a in [1, 2) or near it.
template <bool kFused>
BRX_DD_INLINE DD exp_mantissa(const ExpParts& e) {
  const DD t = kExp2Table[e.j];
  const DD tm = mul<kFused>(t, e.m);  // below 2^-6 of t: the sum cannot cancel
  DD s = two_sum(t.hi, tm.hi);
  s.lo += t.lo + tm.lo;
  return quick_two_sum(s.hi, s.lo);
}

template <bool kFused>
BRX_DD_INLINE DD exp_dd(DD a) {
  const ExpParts e = exp_parts<kFused>(a);
  return scale(exp_mantissa<kFused>(e), e.k);
}

// ln(1 + d) for d >= 0 (1 + d as given, exactly), to about 2^-102 relative, from a first value
// l0 within 2^-50 of it: l = l0 + ln(1 + c) with c = (1 + d)·e^-l0 - 1 = (e^-l0 - 1) + d·e^-l0,
// which cancels but keeps its accuracy relative to l, and |c| < 2^-49, so c - c²/2 is ln(1 + c)
// to 2^-147. (l0 is an argument so that two logarithms can start at once.)
template <bool kFused>
BRX_DD_INLINE DD log1p_dd(DD d, double l0) {
  const ExpParts e = exp_parts<kFused>(DD{-l0, 0.0});
  const DD E = scale(exp_mantissa<kFused>(e), e.k);
  // e^-l0 - 1 is m itself when -l0 is that small, else at least ln 2/128 in size, so that a
  // difference from 1 loses nothing that matters.
  const DD s = e.k == 0 && e.j == 0 ? e.m : add(E, -1.0);
  const DD c = add(s, mul<kFused>(d, E));
  return add(add(c, -0.5 * c.hi * c.hi), l0);
}

// ---------------------------------------------------------------------------------------------
// The refinement.

// Residual tolerance of the reference: the binary128 number nearest 10^-7, to 2^-108.
constexpr DD kResidualTol{0x1.ad7f29abcaf48p-24, 0x1.5e1e99483b023p-78};
constexpr double kGuessCap = 65;
constexpr int kMaxHalleySteps = 10;

// Below this the reference returns x itself: w·e^w - x is then far inside the tolerance at the
// first guess, which differs from x by about 1.44·x², less than half an ulp of x.
constexpr double kTinyArgument = 0x1p-60;
// From here on the reference returns one constant: ten steps from the capped guess of 65 reach
// 84.73..., and x enters the steps only through ratios that no longer change in binary128 (the
// step is w + (w + 1)/(w/2 + 1) to within 2^-113 from x of about 2^250 on).
constexpr double kHugeArgument = 0x1p330;
constexpr double kHugeResult = 0x1.52f08fb82b644p+6;  // 84.73492324604836: the reference there

// Margins, relative to the quantity decided. The double-double w stays within about 2^-92 of the
// binary128 one (the rounding of 1 + L, below, is the largest part); the residual at the test is
// w·e^w - x, whose difference between the carriers is then at most about 2^-60 of the tolerance.
constexpr double kStopMarginDouble = 0x1p-20;  // residual from w·exp(w) in plain double
constexpr double kStopMarginDD = 0x1p-50;      // residual in double-double
constexpr double kCapMargin = 0x1p-80;
constexpr double kRoundingMargin = 0x1p-85;
// ln(1 + L) is taken at 1 + L rounded onto the binary128 grid (spacing 2^-112) where L is small
// enough for that rounding to matter: below 2^-20 it can move w by more than 2^-92. There the
// double-double L, within about 2^-100·L of the binary128 one, decides the rounding unless L sits
// that close to the middle between two grid points.
constexpr double kGridLimit = 0x1p-20;

// Whether the double-double value decides the answer, or the call goes to the reference.
enum class Verdict { kDone, kTooClose };

struct Result {
  Verdict verdict;
  DD w;
};

// L rounded to a multiple of 2^-112, ties to even, for 0 < L < kGridLimit; kTooClose when L lies
// too near the middle of two multiples to say which the binary128 L would round to.
BRX_DD_INLINE bool round_onto_grid(DD& l) {
  constexpr double kToGrid = 0x1p112;
  constexpr double kFromGrid = 0x1p-112;
  const double q = l.hi * kToGrid;  // below 2^92
  const double qi = std::nearbyint(q);
  const double b = l.lo * kToGrid;
  const double bi = std::nearbyint(b);
  const double frac = (q - qi) + (b - bi);        // both differences exact; |frac| <= 1
  const double margin = l.hi * 0x1p12 + 0x1p-40;  // 2^-100·L in grid units, and then some
  if (std::fabs(std::fabs(frac) - 0.5) <= margin) return false;
  const double adjust = frac > 0.5 ? 1.0 : frac < -0.5 ? -1.0 : 0.0;
  l = two_sum(qi * kFromGrid, (bi + adjust) * kFromGrid);
  return true;
}

// ulp of a positive normal double.
BRX_DD_INLINE double ulp(double v) {
  const std::uint64_t exponent_bits = std::bit_cast<std::uint64_t>(v) & 0x7ff0000000000000u;
  return std::bit_cast<double>(exponent_bits - (std::uint64_t{52} << 52));
}

// hi + lo rounded to double into `rounded`; false when it lies within the margin of a rounding
// boundary.
BRX_DD_INLINE bool round_to_double(DD w, double& rounded) {
  // hi is w rounded to nearest already; the boundaries are half an ulp away on either side, only
  // a quarter below a power of two.
  const double u = ulp(w.hi);
  const bool power_of_two = (std::bit_cast<std::uint64_t>(w.hi) & 0x000fffffffffffffu) == 0;
  const double half = w.lo >= 0 || !power_of_two ? 0.5 * u : 0.25 * u;
  if (half - std::fabs(w.lo) <= kRoundingMargin * w.hi) return false;
  rounded = w.hi;
  return true;
}

// The refinement of omegw_binary128 for kTinyArgument <= X < kHugeArgument.
template <bool kFused>
BRX_DD_INLINE Result refine(double X) {
  const DD eps = kResidualTol;
  const DD tol = mul<kFused>(kResidualTol, X);
  const double tolerance = 1e-7 * (1 + X);  // the stop test |f| <= 1e-7·(1 + X), roughly

  // L = ln(1 + X), then ln(L + 1), both started from double values so that their two
  // exponentials are independent of each other. 1 + X is exact in binary128 here (X >= 2^-60)
  // below 2^113, and X itself from there on.
  const double l0 = std::log1p(X);
  const double l1 = std::log1p(l0);
  const DD L = log1p_dd<kFused>(X < 0x1p113 ? DD{X, 0.0} : DD{X, -1.0}, l0);
  DD Lg = L;
  if (L.hi < kGridLimit && !round_onto_grid(Lg)) return {Verdict::kTooClose, {}};
  const DD log_L1 = log1p_dd<kFused>(Lg, l1);

  // (X/2 + 8)·X / ((12·X + 8) + X·X) + L - ln(L + 1), in this order.
  const DD num = mul<kFused>(two_sum(X / 2, 8.0), X);
  const DD den = add(add(two_prod<kFused>(12.0, X), 8.0), two_prod<kFused>(X, X));
  DD w = sub(add(div<kFused>(num, den), L), log_L1);

  if (std::fabs(w.hi - kGuessCap) <= kCapMargin * kGuessCap) return {Verdict::kTooClose, {}};
  if (w.hi > kGuessCap) {
    w = DD{kGuessCap, 0.0};
  } else if (w.hi <= 0) {
    return {Verdict::kTooClose, {}};  // not met for X > 0; leave it to the reference
  }

  for (int it = 1; it <= kMaxHalleySteps; ++it) {
    // Most tests are settled by the residual in plain double: w·e^w to about 2^-50 of itself
    // (e^(hi + lo) = e^hi·(1 + lo) to 2^-90; lo matters, as e^w turns an error in w into a
    // relative one w times larger).
    const double we = w.hi * std::exp(w.hi);
    const double f_rough = (we - X) + we * w.lo;
    if (std::fabs(f_rough) <= tolerance * (1 - kStopMarginDouble)) break;
    const DD E = exp_dd<kFused>(w);
    const DD f = add(mul<kFused>(w, E), -X);
    if (std::fabs(f_rough) < tolerance * (1 + kStopMarginDouble)) {
      // Stop when max(eps, |f| - tol) <= eps.
      const DD excess = sub(add(f.hi < 0 ? -f : f, -tol), eps);
      if (std::fabs(excess.hi) <= kStopMarginDD * tolerance) return {Verdict::kTooClose, {}};
      if (excess.hi <= 0) break;
    }
    // w - f / (E·(w + 1) - (w/2 + 1)·f/(w + 1))
    const DD w1 = add(w, 1.0);
    const DD den_h = sub(mul<kFused>(E, w1),
                         div<kFused>(mul<kFused>(add(DD{0.5 * w.hi, 0.5 * w.lo}, 1.0), f), w1));
    w = sub(w, div<kFused>(f, den_h));
  }
  return {Verdict::kDone, w};
}

template <bool kFused>
BRX_DD_INLINE double omegw_dd(double x) {
  if (std::isnan(x)) return x;
  if (!(x > 0)) return 0.0;  // x <= 0, also -inf and -0
  if (x < kTinyArgument) return x;
  if (x >= kHugeArgument) return x == HUGE_VAL ? x : kHugeResult;
  const Result r = refine<kFused>(x);
  double w = 0.0;
  if (r.verdict == Verdict::kDone && round_to_double(r.w, w)) return w;
  return omegw_binary128(x);
}

}  // namespace

double omegw_double_double_split(double x) {
  return omegw_dd<false>(x);
}

#if defined(__x86_64__) || defined(__i386__)

__attribute__((target("fma"))) double omegw_double_double_fused(double x) {
  return omegw_dd<true>(x);
}

bool processor_has_fma() {
  return __builtin_cpu_supports("fma");
}

// The fused version on a processor with fused multiply-add, chosen once. (Not by the loader
// through an indirect function: its chooser runs before a sanitizer's runtime is ready and
// crashes instrumented programs at start.)
double omegw_double_double(double x) {
  static const auto chosen =
      processor_has_fma() ? &omegw_double_double_fused : &omegw_double_double_split;
  return chosen(x);
}

#else  // elsewhere the compiler knows whether the target has fused multiply-add

double omegw_double_double_fused(double x) {
  return omegw_dd<true>(x);
}

bool processor_has_fma() {
#ifdef __FP_FAST_FMA
  return true;
#else
  return false;
#endif
}

double omegw_double_double(double x) {
  return processor_has_fma() ? omegw_double_double_fused(x) : omegw_double_double_split(x);
}

#endif

}  // namespace brx
