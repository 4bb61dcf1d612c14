#pragma once
// The cross-check layer: an independent test of enzyme deactivation on the raw points of one
// progress curve, and the global (Selwyn) fit of curves at several enzyme concentrations, one
// line per routine (file in brackets):
//
//   check_deactivation  the whole cross-check: both fits, F test, AICc, interval, verdict
//                                                                     (deactivation_check.h)
//   fit_selwyn_groups   the global fit of each group of a set sharing [So]: shared Km, kcat,
//                       kd, F test, interval, scaling test, verdict    (selwyn_fit.h)
//   group_by_substrate  a set's curves grouped by |[So]|; fit_selwyn, one group
//                                                                     (selwyn_fit.h)
//   selwyn_plot         product formed against [E]0·t, points and fitted curves
//                                                                     (selwyn_plot.h)
//   fit_loss_and_classical  both fits of one or more curves, F test, kd profile (loss_fits.h)
//   verdict_sentence    the verdict in one sentence; verdict_short, verdict_note
//                                                                     (verdict_text.h)
//   wright_omega        ω(x) = W(eˣ) in double precision                 (wright_omega.h)
//   active_time         τ(t) = (1 − e^(−kd·t))/kd and dτ/dkd             (enzyme_loss_model.h)
//   enzyme_loss_product P(t) of the closed-form model and its gradient   (enzyme_loss_model.h)
//   CurveResidual       one curve's residuals for the solver             (curve_residual.h)
//   fit_from_start      bounded Levenberg–Marquardt fit from one start   (least_squares_fit.h)
//   best_of_starts      the best of several fits; curve_starts, set_starts, their starts
//                                                                     (multi_start_fit.h)
//   compare_nested      extra-sum-of-squares F test, AICc, Akaike weight (nested_test.h)
//   profile_interval    profile-likelihood interval of kd                (profile_interval.h)
//
// The fitting pieces take several curves that share Km, kcat and kd (one P0 each), so that
// curves at several enzyme concentrations can be fitted together; the cross-check passes one.
// A fit may also give each curve its own rate (the scaling test of the global fit).
// No state outside a call; nothing here throws on bad data.

#include "crosscheck/curve_residual.h"
#include "crosscheck/deactivation_check.h"
#include "crosscheck/enzyme_loss_model.h"
#include "crosscheck/least_squares_fit.h"
#include "crosscheck/loss_fits.h"
#include "crosscheck/multi_start_fit.h"
#include "crosscheck/nested_test.h"
#include "crosscheck/profile_interval.h"
#include "crosscheck/progress_curve.h"
#include "crosscheck/selwyn_fit.h"
#include "crosscheck/selwyn_plot.h"
#include "crosscheck/verdict_text.h"
#include "crosscheck/wright_omega.h"
