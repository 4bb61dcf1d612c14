#pragma once
// Student t and normal distribution functions for the parameter statistics.

namespace brx {

// Two-sided tail probability 2·(1 − P(T <= t)) of Student's t with df degrees of freedom, for
// t >= 0; −1 for t < 0. With df < 1 the standard normal distribution stands in for Student's t
// (and a negative t is then not special). A not-a-number t gives a not-a-number result.
double studnt(int df, double t);

// Standard normal distribution function Φ(x), from a 25-term Chebyshev series of erfc.
double phid(double x);

// Two-sided 95 % critical value of Student's t: tabled for df <= 20, interpolated beyond (two
// decimals). df <= 0 has no critical value; it gets the df = 1 value, the most cautious one.
void l4100(int df, double& tcrit);

}  // namespace brx
