#pragma once
// The two kinetic models as rate equations for the one state [P] (product concentration), on the
// normalised scales of the run (times in (0, 1], concentrations in units of the largest
// observed product value).
//
// Parameter vector p, index 0 unused:   1 Km   2 Vmax   3 [Po]   4 kd (Model 1)   5 [So] (unread)
// State and rate vectors y, d: index 1 = [P], d[P]/dt (col = 1).

#include <vector>

#include "fitting/nrtype.h"

namespace brx {

// Product at the first data time: yi(1) := [Po] = p(3).
void l800(const std::vector<double>& p, std::vector<double>& yi, int col);

// Rate d[P]/dt at time t and [P] = y(1) into d(1):
//   Model 2:         Vmax·(So − P)/(Km + So − P)
//   Model 1 type 1:  exp(−kd·t)·Vmax·(So − P)/(Km + So − P)
//   Model 1 type 2:  the type 1 rate − (t·Km/Vmax/kd)·exp(kd·t)
// with So = nr.so. For the rate only, [P] at or above So counts as 0.99·So and [P] below 0.0001
// as 0.0001; a [P] between 0.99·So and So is used as it is. Writes clamps back into p: fitted
// parameters below 1.0001e-15 in magnitude become 1.0001e-15, and for Model 1 kd is kept within
// [1.0001e-15, 23]. Throws Stop("DESCENDING CURVE NOT ALLOWED!") when the curve is not rising
// (nr.iupdwn != 1).
void l900(const nrtype& nr, std::vector<double>& p, const std::vector<double>& y,
          std::vector<double>& d, double t, int nparam, int col);

}  // namespace brx
