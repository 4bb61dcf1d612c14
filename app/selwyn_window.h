#pragma once
// "Selwyn Plot": the global fit of the chosen curve's group in a curve-set table (the curves that
// share its [So]) with its Selwyn plot and verdict, in a window of its own.
//
//   selwyn_fit_of_curve  the global fit of the group of one curve of a table
//   show_selwyn_plot     "Selwyn Plot": the window for the chosen curve's group

#include <string>

#include "analysis/curve_set_table.h"
#include "crosscheck/selwyn_fit.h"
#include "plot/selwyn_picture.h"

namespace brx {

struct MainWindow;

// The window: the plot, and the verdict under it.
inline constexpr int kSelwynTextHeight = 150;
inline constexpr const char* kSelwynTitle = "Brevantix Selwyn Plot";

// The global fit of the curves of `table` that share |[So]| with the curve named `curve` (every
// curve of the table when none has that name), their points as recorded.
crosscheck::SelwynFit selwyn_fit_of_curve(const CurveSetTable& table, const std::string& curve);

// The picture of a global fit of the table named `table`: its points and curves, each curve
// named with its [E]0, under a title naming the table and the group's [So].
SelwynPicture selwyn_picture_of(const crosscheck::SelwynFit& fit, const std::string& table);

// "Selwyn Plot": fits the chosen curve's group and opens (or opens anew) the window with its
// Selwyn plot and the verdict.
void show_selwyn_plot(MainWindow& w);

}  // namespace brx
