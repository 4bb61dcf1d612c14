#include "cli/csv_summary.h"

#include <cmath>
#include <cstdio>

#include "base/utf8_text.h"
#include "crosscheck/verdict_text.h"

namespace brx {
namespace {

// All the digits of a double, as the JSON lines print them; nothing for a non-finite figure.
std::string number(double v) {
  if (!std::isfinite(v)) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string quoted(const std::string& cell) {
  const std::string v = valid_utf8(cell);
  const bool quote = v.find_first_of(",\"\r\n") != std::string::npos ||
                     (!v.empty() && (v.front() == ' ' || v.back() == ' '));
  if (!quote) return v;
  std::string out = "\"";
  for (const char c : v) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + '"';
}

}  // namespace

const std::vector<std::string>& csv_columns() {
  static const std::vector<std::string> columns = {"kind",
                                                   "file",
                                                   "curve",
                                                   "error",
                                                   "n",
                                                   "deactivation_type",
                                                   "kd",
                                                   "kd_pvalue",
                                                   "F",
                                                   "pvalue",
                                                   "pvalue_low",
                                                   "pvalue_high",
                                                   "welch_t",
                                                   "welch_tcrit",
                                                   "case",
                                                   "verdict",
                                                   "model1_Km",
                                                   "model1_Vmax",
                                                   "model1_Po",
                                                   "model1_kd",
                                                   "model2_Km",
                                                   "model2_Vmax",
                                                   "model2_Po",
                                                   "model2_kd",
                                                   "half_life",
                                                   "crosscheck_p",
                                                   "crosscheck_kd",
                                                   "crosscheck_kd_low",
                                                   "crosscheck_kd_high",
                                                   "crosscheck_half_life",
                                                   "crosscheck_verdict",
                                                   "So",
                                                   "curves",
                                                   "selwyn_p",
                                                   "selwyn_F",
                                                   "selwyn_kd",
                                                   "selwyn_kd_low",
                                                   "selwyn_kd_high",
                                                   "selwyn_half_life",
                                                   "selwyn_half_life_low",
                                                   "selwyn_half_life_high",
                                                   "selwyn_Km",
                                                   "selwyn_kcat",
                                                   "selwyn_scaling_p",
                                                   "selwyn_verdict",
                                                   "selwyn_text"};
  return columns;
}

std::string csv_text(const std::vector<CsvRow>& rows) {
  std::string out;
  const auto line = [&out](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) out += ',';
      out += quoted(cells[i]);
    }
    out += "\r\n";
  };
  line(csv_columns());
  for (const CsvRow& row : rows) {
    std::vector<std::string> cells;
    for (const std::string& column : csv_columns()) {
      const auto it = row.find(column);
      cells.push_back(it == row.end() ? std::string() : it->second);
    }
    line(cells);
  }
  return out;
}

CsvRow csv_run_row(const std::string& file, const std::string& curve, const RunSummary& s,
                   const std::string& verdict, const crosscheck::CrossCheck& cc) {
  const Comparison& c = s.stats;
  const bool full = s.body == ReportBody::kFull;
  CsvRow r{{"kind", curve.empty() ? "file" : "curve"},
           {"file", file},
           {"curve", curve},
           {"n", std::to_string(s.n)},
           {"deactivation_type", s.flagpexp == 1 ? "2" : "1"},
           {"kd", number(c.kd)},
           {"kd_pvalue", number(c.kdp)},
           {"F", number(c.F)},
           {"pvalue", number(c.pF)},
           {"pvalue_low", number(c.pLow)},
           {"pvalue_high", number(c.pHigh)},
           {"welch_t", number(c.tW)},
           {"welch_tcrit", number(c.tCrit)},
           {"case", full ? std::to_string(c.conclusion) : std::string()},
           {"verdict", verdict},
           {"half_life", number(std::log(2.0) / (s.model1.p[4] / s.tmax))},
           {"crosscheck_p", number(cc.p)},
           {"crosscheck_kd", number(cc.loss.kd)},
           {"crosscheck_kd_low", number(cc.kd_low)},
           {"crosscheck_kd_high", number(cc.kd_high)},
           {"crosscheck_half_life", number(cc.half_life)},
           {"crosscheck_verdict", crosscheck::verdict_name(cc.verdict)}};
  // The parameters in the file's units, as the JSON's "units": the fits ran on times divided by
  // tmax and concentrations divided by ymax.
  for (const auto& [prefix, m] :
       {std::pair{"model1_", &s.model1}, std::pair{"model2_", &s.model2}}) {
    r[std::string(prefix) + "Km"] = number(m->p[1] * s.ymax);
    r[std::string(prefix) + "Vmax"] = number(m->p[2] * s.ymax / s.tmax);
    r[std::string(prefix) + "Po"] = number(m->p[3] * s.ymax);
    r[std::string(prefix) + "kd"] = number(m->p[4] / s.tmax);
  }
  return r;
}

CsvRow csv_error_row(const std::string& file, const std::string& curve, const std::string& error) {
  return {{"kind", "error"}, {"file", file}, {"curve", curve}, {"error", error}};
}

CsvRow csv_group_row(const std::string& file, const crosscheck::SelwynFit& fit) {
  std::string curves;
  for (const crosscheck::SelwynMember& m : fit.members) {
    char e0[32];
    std::snprintf(e0, sizeof e0, "%g", m.e0);
    curves += (curves.empty() ? "" : "; ") + m.name + " (E0 " + e0 + ")";
  }
  return {{"kind", "group"},
          {"file", file},
          {"n", std::to_string(fit.n)},
          {"So", number(fit.so)},
          {"curves", curves},
          {"selwyn_p", number(fit.p)},
          {"selwyn_F", number(fit.F)},
          {"selwyn_kd", number(fit.kd)},
          {"selwyn_kd_low", number(fit.kd_low)},
          {"selwyn_kd_high", number(fit.kd_high)},
          {"selwyn_half_life", number(fit.half_life)},
          {"selwyn_half_life_low", number(fit.half_life_low)},
          {"selwyn_half_life_high", number(fit.half_life_high)},
          {"selwyn_Km", number(fit.km)},
          {"selwyn_kcat", number(fit.kcat)},
          {"selwyn_scaling_p", number(fit.scaling_p)},
          {"selwyn_verdict", crosscheck::verdict_name(fit.verdict)},
          {"selwyn_text", fit.text}};
}

}  // namespace brx
