#pragma once
// Initial estimates for the regression.
//   omegw           Lambert W (principal branch) in binary128, loose Halley refinement; carried
//                   in double-double with the binary128 routine as reference and fallback
//                   (estimates/lambert_w.h)
//   smplx_curvefit  Nelder-Mead fit of the integrated Michaelis-Menten progress curve
//                   (estimates/simplex.h)
//   plimits         clamp of the parameters into their bounds (estimates/simplex.h)
//   brkptbounds     arctangent reflection of one parameter into its bounds (estimates/simplex.h)

#include "estimates/lambert_w.h"
#include "estimates/simplex.h"
