#pragma once
// The Wright omega function in double precision.

namespace brx::crosscheck {

// ω(x) = W(eˣ), the principal branch of Lambert W at eˣ: the real root w of w + ln w = x.
// Defined for every real x without overflow: ω(x) ≈ eˣ for very negative x (0 below about −745),
// ω(x) ≈ x − ln x for large x; +∞ at +∞ and NaN for NaN. Relative error a few ulps.
double wright_omega(double x);

}  // namespace brx::crosscheck
