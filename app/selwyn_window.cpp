#include "app/selwyn_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "app/side_window.h"
#include "app/text_fields.h"
#include "app/window_guard.h"
#include "plot/selwyn_plot_drawing.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = toolkit;
namespace cc = crosscheck;

std::string number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", v);
  return buf;
}

// What the window says under the plot: the table, the group, the verdict and its note.
std::string verdict_text(const cc::SelwynFit& f, const std::string& table) {
  const std::string nl = "\r\n";
  std::string t = "Global fit of " + table;
  if (std::isfinite(f.so)) t += ", the curves at [So] = " + number(f.so);
  t += ":" + nl + f.text + nl;
  if (!f.note.empty()) t += f.note + nl;
  return t;
}

}  // namespace

cc::SelwynFit selwyn_fit_of_curve(const CurveSetTable& table, const std::string& curve) {
  std::vector<cc::SetCurve> set;
  std::size_t chosen = 0;
  for (const TableCurve& c : table.curves) {
    if (c.name == curve) chosen = set.size();
    set.push_back({c.name, c.t_raw, c.y, c.so, c.e0});
  }
  for (const std::vector<std::size_t>& group : cc::group_by_substrate(set)) {
    for (std::size_t i : group) {
      if (i == chosen) return cc::fit_selwyn(set, group);
    }
  }
  return cc::fit_selwyn(set, {});
}

SelwynPicture selwyn_picture_of(const cc::SelwynFit& fit, const std::string& table) {
  SelwynPicture p;
  p.title = table;
  if (std::isfinite(fit.so)) p.title += ", [So] = " + number(fit.so);
  for (const cc::SelwynSeries& s : fit.plot.points) {
    p.names.push_back(utf8_to_cp1252(s.name) + "  [E]0 = " + number(s.e0));
    p.points.push_back({s.x, s.y});
  }
  for (const cc::SelwynSeries& s : fit.plot.curves) p.curves.push_back({s.x, s.y});
  p.stable = {fit.plot.stable.x, fit.plot.stable.y};
  return p;
}

void show_selwyn_plot(MainWindow& w) {
  std::shared_ptr<const CurveSetTable> table;
  std::string curve, name;
  {
    std::lock_guard lock(window_mutex());
    table = w.table;
    curve = w.curve_name;
    name = trim_right(w.gp.cfilename);
  }
  if (table == nullptr) return;
  // The fits take a moment; the window's lock is not held meanwhile.
  with_window(w.ids.window, [] { tk::setbusycursor(true); });
  const cc::SelwynFit fit = selwyn_fit_of_curve(*table, curve);
  with_window(w.ids.window, [] { tk::setbusycursor(false); });
  const std::string text = utf8_to_cp1252(verdict_text(fit, name));

  std::lock_guard lock(window_mutex());
  const int win =
      open_side_window(w, w.selwyn_window, kSelwynWidth, kSelwynHeight + kSelwynTextHeight,
                       std::string(kSelwynTitle) + " \x97 " + utf8_to_cp1252(name));
  if (win < 0) return;
  draw_selwyn_picture(selwyn_picture_of(fit, utf8_to_cp1252(name)));
  show_side_text(kSelwynHeight, kSelwynWidth, kSelwynTextHeight, text);
}

}  // namespace brx
