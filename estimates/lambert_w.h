#pragma once
// The Lambert W function as the simplex fit of the integrated rate law uses it.
//   omegw               what the program calls: omegw_double_double, or omegw_binary128 in a
//                       build configured with BRX_OMEGW_REFERENCE=ON
//   omegw_binary128     the routine carried in binary128: the reference
//   omegw_double_double the same routine carried in double-double, about ten times faster;
//                       returns the reference's double for every argument

namespace brx {

// Principal branch W(x) of the Lambert W function, the w >= 0 with w·e^w = x, worked out in
// binary128 and rounded to double. Reentrant, allocates nothing.
//
// What the caller gets is the value of a short, loose refinement, not the correctly rounded W:
//  - the Halley steps stop as soon as the residual satisfies |w·e^w - x| <= 1e-7·(1 + x), so a
//    result may be off by up to about 1e-7 (omegw(1) = 0.56714331160318, W(1) = 0.56714329040978);
//  - the first guess is capped at 65 and at most ten steps are taken, each gaining only about 2
//    far from the root, so from about x = 1e37 on the result falls short of W(x) (by 0.03 at
//    1e38): omegw(1e40) = 84.7021871379976 where W is 87.63, and every x from about 1.5e54 (2^180)
//    up gives 84.7349232460484. Nothing reports it.
// Arguments outside the finite non-negative range:
//  - x < 0 (also -inf) is treated as 0 and gives 0;
//  - NaN gives NaN;
//  - +inf gives +inf, the limit of W (the refinement itself would make inf/inf of it).
double omegw(double x);

// The refinement above with every value a binary128 number (libquadmath's logq and expq, the
// binary128 operations), rounded to double at the end. About 3.5 µs a call.
double omegw_binary128(double x);

// The same refinement, step for step and in the same order of operations, with the values
// carried as double-double (about 106 bits). Wherever the narrower carrier could decide
// differently from binary128 (the residual test, the cap of the first guess, the final rounding
// to double), the decision is taken only with a margin to spare; too close to call, the argument
// goes to omegw_binary128. Uses fused multiply-add where the processor has it.
double omegw_double_double(double x);

// omegw_double_double with a given product: the exact products formed by Dekker splitting, or by
// fused multiply-add (call the latter only where processor_has_fma()). For the tests and the
// benchmarks; the program calls omegw_double_double, which picks one when the program is loaded.
double omegw_double_double_split(double x);
double omegw_double_double_fused(double x);
bool processor_has_fma();

}  // namespace brx
