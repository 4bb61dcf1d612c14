#pragma once
// The cross-check in the desktop program: its window and its dashed curve on the plot.
//
//   crosscheck_text    what the cross-check window says: sentence, both fits, intervals
//   crosscheck_points  the curve with loss of enzyme, normalised as the plot's points
//   show_crosscheck    "Cross-check": the window for the last run

#include <string>
#include <vector>

#include "analysis/brevantix_run.h"
#include "crosscheck/deactivation_check.h"

namespace brx {

struct MainWindow;

// The cross-check window's size and title.
inline constexpr int kCrossCheckWidth = 640;
inline constexpr int kCrossCheckHeight = 420;
inline constexpr const char* kCrossCheckTitle = "Brevantix Cross-check";
// Points of the dashed curve: enough to look smooth across the plot.
inline constexpr int kCrossCheckSamples = 241;

// The window's text for the cross-check `c` of the data file `file` (its name as shown): the
// verdict sentence and its note, the table of both fits (Km, Vmax, P0, kd, SSR, AICc, Akaike
// weight) and the intervals of kd and the half-life, in the file's units; lines end in CR LF.
std::string crosscheck_text(const crosscheck::CrossCheck& c, const std::string& file);

// The fitted curve with loss of enzyme at `samples` times evenly over the run's recorded times,
// as the plot shows its points: t / s.tmax and P / s.ymax. Empty when the cross-check fitted no
// such curve or the run has no points.
void crosscheck_points(const RunSummary& s, const crosscheck::CrossCheck& c,
                       std::vector<double>& times, std::vector<double>& curve,
                       int samples = kCrossCheckSamples);

// "Cross-check": opens (or opens anew) the window with the cross-check of the last run.
void show_crosscheck(MainWindow& w);

}  // namespace brx
