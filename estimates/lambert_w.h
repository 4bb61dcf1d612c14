#pragma once
// The Lambert W function as the simplex fit of the integrated rate law uses it.

namespace brx {

// Principal branch W(x) of the Lambert W function, the w >= 0 with w·e^w = x, worked out in
// binary128 and rounded to double. Reentrant, allocates nothing.
//
// What the caller gets is the value of a short, loose refinement, not the correctly rounded W:
//  - the Halley steps stop as soon as the residual satisfies |w·e^w - x| <= 1e-7·(1 + x), so a
//    result may be off by up to about 1e-7 (omegw(1) = 0.56714331160318, W(1) = 0.56714329040978);
//  - the first guess is capped at 65 and at most ten steps are taken, each gaining only about 2
//    far from the root, so from about x = 1e37 on the result falls short of W(x) (by 0.03 at
//    1e38): omegw(1e40) = 84.7021871379976 where W is 87.63, and every x from about 1e100 up gives
//    84.7349232460484. Nothing reports it.
// Arguments outside the finite non-negative range:
//  - x < 0 (also -inf) is treated as 0 and gives 0;
//  - NaN gives NaN;
//  - +inf gives +inf, the limit of W (the refinement itself would make inf/inf of it).
double omegw(double x);

}  // namespace brx
