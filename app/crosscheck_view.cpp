#include "app/crosscheck_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/main_window.h"
#include "app/side_window.h"
#include "app/text_fields.h"
#include "app/window_guard.h"
#include "crosscheck/enzyme_loss_model.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = toolkit;
namespace cc = crosscheck;

// A figure of the table: six significant digits, "-" where it does not exist. Km and Vmax are
// unbounded when the best fit is the first-order limit (Km far above [So]).
std::string figure(double v) {
  if (std::isnan(v)) return "-";
  if (std::isinf(v)) return v > 0 ? "unbounded" : "-unbounded";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

// An interval end: four significant digits; "open" for an upper end that does not exist.
std::string bound(double v) {
  if (std::isinf(v)) return "open";
  if (std::isnan(v)) return "-";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", v);
  return buf;
}

std::string row(const std::string& name, const std::string& with, const std::string& without) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "  %-15s %-16s %s", name.c_str(), with.c_str(), without.c_str());
  return buf;
}

bool fitted(const cc::EnzymeLossParams& q) {
  return std::isfinite(q.vmax) && std::isfinite(q.km) && std::isfinite(q.p0) && std::isfinite(q.kd);
}

}  // namespace

std::string crosscheck_text(const cc::CrossCheck& c, const std::string& file) {
  const std::string nl = "\r\n";
  std::string t = "Cross-check of " + file + ": " + std::to_string(c.n) + " points" + nl;
  t += "First-order loss of enzyme fitted to the points as recorded, in the file's units." + nl;
  t += nl + c.text + nl;
  if (!c.note.empty()) t += nl + c.note + nl;
  if (c.verdict == cc::Verdict::kNone) return t;
  const double weight2 = std::isnan(c.weight1) ? c.weight1 : 1 - c.weight1;
  t += nl + row("", "with loss", "without loss") + nl;
  t += row("Km", figure(c.loss.km), figure(c.classical.km)) + nl;
  t += row("Vmax", figure(c.loss.vmax), figure(c.classical.vmax)) + nl;
  t += row("P0", figure(c.loss.p0), figure(c.classical.p0)) + nl;
  t += row("kd", figure(c.loss.kd), "0") + nl;
  t += row("SSR", figure(c.ssr1), figure(c.ssr2)) + nl;
  t += row("AICc", figure(c.aicc1), figure(c.aicc2)) + nl;
  t += row("Akaike weight", figure(c.weight1), figure(weight2)) + nl;
  t += nl + "  F = " + figure(c.F) + " on 1 and " + std::to_string(c.n - 4) +
       " degrees of freedom, p = " + figure(c.p) + nl;
  t += "  kd, 95 % interval:        [" + bound(c.kd_low) + ", " + bound(c.kd_high) +
       "] per time unit" + nl;
  t += "  half-life, 95 % interval: " + figure(c.half_life) + " [" + bound(c.half_life_low) + ", " +
       bound(c.half_life_high) + "] time units" + nl;
  t += nl + "Km, Vmax and P0 in the file's concentration unit (Vmax per time unit)." + nl;
  return t;
}

void crosscheck_points(const RunSummary& s, const cc::CrossCheck& c, std::vector<double>& times,
                       std::vector<double>& curve, int samples) {
  times.clear();
  curve.clear();
  if (!fitted(c.loss) || s.t_raw.empty() || samples < 2 || !(s.tmax > 0) || !(s.ymax > 0)) return;
  const auto [lo, hi] = std::minmax_element(s.t_raw.begin(), s.t_raw.end());
  const double so = std::fabs(s.so_raw);
  for (int i = 0; i < samples; ++i) {
    const double t = *lo + (*hi - *lo) * i / (samples - 1);
    times.push_back(t / s.tmax);
    curve.push_back(cc::enzyme_loss_product(t, so, c.loss) / s.ymax);
  }
}

void show_crosscheck(MainWindow& w) {
  std::lock_guard lock(window_mutex());
  if (!w.crosscheck) return;
  std::string name = trim_right(w.gp.cfilename);
  if (!w.curve_name.empty()) name += ", curve " + w.curve_name;
  const std::string text = utf8_to_cp1252(crosscheck_text(*w.crosscheck, name));
  const int win = open_side_window(w, w.crosscheck_window, kCrossCheckWidth, kCrossCheckHeight,
                                   kCrossCheckTitle);
  if (win < 0) return;
  show_side_text(0, kCrossCheckWidth, kCrossCheckHeight, text);
}

}  // namespace brx
