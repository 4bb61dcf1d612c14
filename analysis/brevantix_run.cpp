#include "analysis/brevantix_run.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <future>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "analysis/data_import.h"
#include "analysis/input_error.h"
#include "analysis/timeit.h"
#include "base/stop.h"
#include "estimates/simplex.h"
#include "fitting/regression.h"

namespace brx {
namespace {

constexpr double kStartKm = 1.0;
constexpr double kStartVmax = 10.0;
constexpr double kStartPoFraction = 0.001;  // [Po] starts at 0.001·[So]
constexpr double kStartKd = 0.01;
constexpr double kKdOffset = 1.5258767971235425e-5;  // keeps the kd start off a round value
constexpr double kFirstPointFloor = 0.001;           // an exact 0 at the first time or product
constexpr double kNonPositiveFloor = 0.01;           // any other value <= 0 in the fitted tables
constexpr int kSimplexLimit = 250;
constexpr int kRegressionLimit = 999;
constexpr double kIntegratorTol = 0.001;
const char* const kTitle = "Normalized Progress Curves";

std::string full_path(const std::string& data_file, const globalsplot& gp) {
  namespace fs = std::filesystem;
  fs::path p(data_file);
  if (p.is_relative() && !gp.cpath.empty()) p = fs::path(gp.cpath) / p;
  return fs::absolute(p).string();
}

double nan() {
  return std::nan("");
}

// The figures of a comparison that could not be made: every number is NaN.
Comparison no_comparison(int n) {
  return compare_models(n, nan(), nan(), nan(), nan(), nan(), nan());
}

// The data file's full path and the report's beside it; the shell record learns the file when
// it does not know it yet.
void locate_files(const std::string& data_file, globalsplot& gp, RunSummary& out) {
  namespace fs = std::filesystem;
  const std::string path = full_path(data_file, gp);
  out.data_path = path;
  out.report_path = report_path(path);
  if (out.report_path == path) {
    throw InputError(path, 0, "", "the report would replace the data file; rename the file");
  }
  if (gp.cfilenamepath.empty()) {
    gp.cfilenamepath = gp.cfilenamedata = path;
    gp.cfilename = fs::path(path).filename().string();
    gp.cpath = fs::path(path).parent_path().string() + "/";
  }
}

// The points of a data file, rows 1..n: times with ties repaired and the last stretched, and
// products.
struct Points {
  int n = 0;
  double so = 0;           // |[So]| of line 1; its sign chose the deactivation type
  std::vector<double> t;   // t[1..n]
  Table y;                 // y(1..n, 1)
  std::vector<int> lines;  // the file's line of each point, 0-based, for messages
};

// Mends tied times of points laid out as data_import lays them out; the points as recorded, the
// deactivation type and the number of points go to `out`.
Points repair(Points pts, double so, RunSummary& out) {
  const int n = pts.n;
  const double last_time = n >= 1 ? pts.t[static_cast<std::size_t>(n)] : 0;
  repair_tied_times(pts.t, n);
  // The repair moves only times before the last; the last is only stretched, which the raw
  // points leave out.
  out.t_raw.assign(pts.t.begin() + 1, pts.t.end());
  if (n >= 1) out.t_raw.back() = last_time;
  for (int i = 1; i <= n; ++i) out.y_raw.push_back(pts.y(i, 1));
  out.so_raw = so;
  out.n = n;
  pts.so = so;
  out.flagpexp = deactivation_flag(pts.so);
  return pts;
}

// The points of a data file: line 1 holds [So], point k (0-based) line k + 2.
Points import_data_file(const std::string& path, int max_rows, RunSummary& out) {
  Points pts;
  std::vector<double> P;
  data_import(path, P, pts.t, pts.y, 1, 1, pts.n, max_rows);
  for (int k = 0; k < pts.n; ++k) pts.lines.push_back(k + 2);
  return repair(std::move(pts), P[1], out);
}

// The points of one curve of a table, with the lines they come from.
Points import_table_curve(const TableCurve& curve, RunSummary& out) {
  Points pts;
  std::vector<double> P;
  import_curve(curve, P, pts.t, pts.y, 1, pts.n);
  pts.lines = curve.lines;
  return repair(std::move(pts), P[1], out);
}

// The fitting engine integrates from row to row and needs strictly increasing times: a file that
// does not give them is refused rather than fitted to nonsense, with the real reason. The file's
// own times come first, so that a fault of the scaling is never blamed on the file: `repaired`
// (ties mended, the last stretched by 1 %) and `own` (the same, the last as written; 0-based);
// then the times the fits see, rows 1..n: `scaled` before and `fitted` after the replacement of
// values <= 0.
void check_times(const std::string& path, const std::vector<int>& lines,
                 const std::vector<double>& repaired, const std::vector<double>& own,
                 const std::vector<double>& scaled, const std::vector<double>& fitted) {
  for (std::size_t k = 1; k < own.size(); ++k) {
    const int line = lines[k];
    const double t = repaired[k + 1];
    // The stretch may be what parts a tie at the end (1, 3, 3, 3 ends 2, 3, 3.03); a negative
    // last time it moves back, which is no fault of the order.
    if (!(t > own[k - 1]) && !(own[k] > own[k - 1])) {
      throw InputError(path, line, "",
                       "the times must increase from row to row (this time is not later than "
                       "the one before it)");
    }
    if (t <= 0) {
      throw InputError(path, line, "", "times of 0 or less cannot be fitted after the first row");
    }
  }
  if (!std::isfinite(repaired.back())) {
    throw InputError(path, lines.back(), "",
                     "the last time is too large: the fits stretch it by 1 %, which would "
                     "exceed the largest number a double holds");
  }
  for (std::size_t k = 2; k < fitted.size(); ++k) {
    if (fitted[k] > fitted[k - 1]) continue;
    // A first time below 0 is fitted as 0.01 (of the last time), after a second time that
    // may lie below it; otherwise the smallest times were lost below the smallest double.
    throw InputError(path, lines[k - 1], "",
                     k == 2 && scaled[1] < 0
                         ? "a first time below 0 is fitted as 1 % of the last time, which is "
                           "not earlier than this time"
                         : "the times span too many orders of magnitude to be normalised");
  }
}

// The tables the fits see.
struct FitTables {
  int n = 0;
  std::vector<double> t;  // t[1..n], normalised, values <= 0 replaced
  Table y;                // y(1..n, 1), normalised, values <= 0 replaced
  double so = 0;          // [So] on the same scale as the products
  bool fittable = false;  // something to fit: a positive largest time and product, 3 points
};

// Divides times and products by their largest values and replaces what the fits cannot take:
// an exact 0 at the first point by 0.001 and any other value <= 0 by 0.01. Without a positive
// largest value there is nothing to divide by: nothing is fitted and the fit is reported as
// aborted. Times that do not increase from row to row are refused.
FitTables normalise(Points pts, const std::string& path, RunSummary& out) {
  const int n = pts.n;
  std::vector<double>& t = pts.t;
  Table& y = pts.y;
  FitTables f;
  f.n = n;
  f.so = pts.so;
  double tmax = 0, ymax = 0;
  for (int i = 1; i <= n; ++i) {
    tmax = i == 1 ? t[1] : std::max(tmax, t[static_cast<std::size_t>(i)]);
    ymax = i == 1 ? y(1, 1) : std::max(ymax, y(i, 1));
  }
  const std::vector<double> repaired(t);  // the file's own times, for the checks
  const bool scalable = n >= 1 && tmax > 0 && ymax > 0;
  // The regression needs three points (its first step size reads the third time).
  f.fittable = scalable && n >= 3;
  if (scalable) {
    f.so = std::fabs(f.so) / ymax;
    for (int i = 1; i <= n; ++i) {
      t[static_cast<std::size_t>(i)] /= tmax;
      y(i, 1) /= ymax;
    }
    out.tmax = tmax;
    out.ymax = ymax;
  }

  // With more than a thousand points the second time may lie below 0.001; the first then moves
  // to half the second so that the times still increase.
  const std::vector<double> before_floors(t);  // for the messages about times that do not rise
  if (n >= 1 && t[1] == 0) {
    const bool crowded = n >= 2 && t[2] > 0 && t[2] <= kFirstPointFloor;
    t[1] = crowded ? t[2] / 2 : kFirstPointFloor;
  }
  if (n >= 1 && y(1, 1) == 0) y(1, 1) = kFirstPointFloor;
  f.t = t;
  f.y = Table(n, 1);
  for (int i = 1; i <= n; ++i) {
    double& ti = f.t[static_cast<std::size_t>(i)];
    if (ti <= 0) ti = kNonPositiveFloor;
    f.y(i, 1) = y(i, 1) <= 0 ? kNonPositiveFloor : y(i, 1);
  }
  if (f.fittable) check_times(path, pts.lines, repaired, out.t_raw, before_floors, f.t);
  return f;
}

// The start values p0(1..5) of both models, and which parameters are held: [Po] when it starts
// at 0 or less (with a note to the user), [So] when it is 0 or less.
std::array<double, 6> start_values(double so, nrtype& nr, std::ostream& notes) {
  std::array<double, 6> p0;
  p0.fill(1.0);
  p0[5] = so;
  p0[1] = kStartKm;
  p0[2] = kStartVmax;
  p0[3] = kStartPoFraction * std::fabs(p0[5]);
  p0[4] = kStartKd;
  nr.mask[1] = nr.mask[2] = 0;
  nr.mask[3] = p0[3] <= 0 ? 1 : 0;
  nr.mask[4] = 0;
  p0[4] += kKdOffset;
  nr.mask[5] = p0[5] <= 0 ? 1 : 0;
  for (int i = 1; i <= 5; ++i)
    p0[static_cast<std::size_t>(i)] = std::fabs(p0[static_cast<std::size_t>(i)]);
  if (nr.mask[3] == 1) {
    notes << "\nSetting [Po] <= 0.0 masks the value.\n"
          << "Alternatively, set [Po] to some small positive value\n"
          << "which allows it to be adjusted appropriately.\n";
  }
  return p0;
}

// The normalised data and the fitted curves, one column per model.
struct CurveTables {
  explicit CurveTables(int n) : x(n, 2), y(n, 2), z(n, 2) {}
  Table x, y, z;  // times, observations, fitted curve
};

// Fits model imdl (1 deactivation, 2 classical) from the start values p0: a simplex estimate,
// then two regression passes, the first with relative weights, the second (the weighting mode
// consumed by the first) with unit weights. `p` is the working parameter vector, carried from
// one model to the next; the curve goes into column imdl of `curves`; kd's p-value into `kdp`
// while kd is fitted.
ModelFit fit_one_model(int imdl, nrtype& nr, const std::array<double, 6>& p0,
                       std::vector<double>& p, const FitTables& f, CurveTables& curves,
                       std::optional<double>& kdp) {
  const int N = f.n;
  nr.imdl = imdl;
  int ierr = 0, ithr = 0;
  double ssr = nan(), se = nan();
  Table sf0(N, 1);
  int k = 0;
  if (imdl == 2) {
    std::copy(p0.begin() + 1, p0.begin() + 4, p.begin() + 1);
    p[4] = 0;
    nr.mask[4] = 1;
    k = kParamsModel2;
  } else {
    std::copy(p0.begin() + 1, p0.begin() + 5, p.begin() + 1);
    nr.mask[4] = 0;
    k = kParamsModel1;
  }
  const double po = p[3];  // the saved [Po]: the simplex's own [Po] is not kept
  nr.mask[3] = 0;
  p[5] = p0[5];
  nr.so = p[5];
  nr.mask[5] = 1;
  if (f.fittable) {
    std::vector<double> ptmp(p.begin(), p.begin() + 5);
    std::vector<double> y0(static_cast<std::size_t>(N) + 1, 0.0), z0(y0);
    for (int i = 1; i <= N; ++i) y0[static_cast<std::size_t>(i)] = f.y(i, 1);
    double ssq = 0;
    smplx_curvefit(k, ptmp, nr.mask, ssq, f.t, y0, z0, N, nr.so, kSimplexLimit, nr.flagpexp);
    std::copy(ptmp.begin() + 1, ptmp.begin() + 5, p.begin() + 1);
    p[3] = po;

    FitOptions pass{
        .weighting = Weighting::kRelative, .tol = kIntegratorTol, .maxit = kRegressionLimit};
    FitResult fitted = l7500(nr, imdl, p, f.y, sf0, f.t, N, 1, k, pass);
    if (fitted.kdp) kdp = fitted.kdp;
    // Model 2 holds [Po] in its second pass; Model 1 adjusts it in both.
    if (imdl == 2) nr.mask[3] = 1;
    pass.weighting = Weighting::kUnit;
    fitted = l7500(nr, imdl, p, f.y, sf0, f.t, N, 1, k, pass);
    if (fitted.kdp) kdp = fitted.kdp;
    ierr = fitted.ierr();
    ithr = fitted.ithr();
    ssr = fitted.ssr;
    se = fitted.se;
  }
  for (int i = 1; i <= N; ++i) {
    curves.x(i, imdl) = f.t[static_cast<std::size_t>(i)];
    curves.y(i, imdl) = f.y(i, 1);
    curves.z(i, imdl) = sf0(i, 1);
  }
  if (imdl == 1) {
    nr.mask[4] = 0;
  } else {
    p[4] = 0;
    nr.mask[4] = 1;
  }
  nr.so = p[5];

  ModelFit fit;
  std::copy(p.begin(), p.end(), fit.p.begin());
  if (!f.fittable) std::fill(fit.p.begin() + 1, fit.p.begin() + 5, nan());  // nothing was fitted
  fit.ssr = ssr;
  fit.se = se;
  fit.ierr = ierr;
  fit.ithr = ithr;
  return fit;
}

// Both models' fits, and what the run keeps of them beyond the parameters.
struct BothFits {
  ModelFit model1, model2;
  double kdp = 0;                 // kd's p-value from the last pass that fitted kd
  double other_thread_cpu = 0.0;  // processor time of Model 2's thread, when it had one
};

// Fits Model 1, then Model 2, from the same start values, on the calling thread or with Model 2
// on a thread of its own. Model 2 reads nothing that Model 1 leaves behind: each fit sets the
// model, the masks of [Po], kd and [So], [So] itself and the working parameters it starts from
// (no fit changes the masks of Km and Vmax); each regression pass restarts the seeds of its
// random search, and its first draw (seed 1415) replaces the uniform generator's state; kd
// (nr.j1) is written and read only while kd is fitted. So Model 2 fitted in a copy of the fit
// context and of the working vector taken before Model 1 starts comes out bit for bit as it
// does after Model 1. It writes only into its own copies; the data tables and start values are
// shared read-only.
BothFits fit_both_models(nrtype& nr, const std::array<double, 6>& p0, const FitTables& f,
                         ModelThreads threads, CurveTables& curves) {
  BothFits both;
  std::vector<double> p(p0.begin(), p0.end());  // the working vector, carried on as it is
  std::optional<double> kdp1, kdp2;
  if (threads == ModelThreads::kOne || !f.fittable) {
    both.model1 = fit_one_model(1, nr, p0, p, f, curves, kdp1);
    both.model2 = fit_one_model(2, nr, p0, p, f, curves, kdp2);
  } else {
    nrtype nr2 = nr;
    std::vector<double> p2 = p;
    CurveTables curves2(f.n);
    ModelFit fit2;
    auto fit_model2 = [&] {
      const double started = timeit();
      fit2 = fit_one_model(2, nr2, p0, p2, f, curves2, kdp2);
      return timeit() - started;
    };
    // Declared after everything Model 2 writes: should Model 1 throw, the future's end waits for
    // Model 2 before those go.
    std::future<double> model2;
    try {
      model2 = std::async(std::launch::async, fit_model2);
    } catch (const std::system_error&) {
      // No thread to be had: Model 2 follows on this one.
    }
    both.model1 = fit_one_model(1, nr, p0, p, f, curves, kdp1);
    if (model2.valid()) {
      both.other_thread_cpu = model2.get();
    } else {
      fit_model2();  // counted in the calling thread's time
    }
    both.model2 = fit2;
    for (int i = 1; i <= f.n; ++i) {
      curves.x(i, 2) = curves2.x(i, 2);
      curves.y(i, 2) = curves2.y(i, 2);
      curves.z(i, 2) = curves2.z(i, 2);
    }
  }
  // As the sequential order has it: a later pass that fits kd would overwrite the p-value.
  both.kdp = kdp2.value_or(kdp1.value_or(0.0));
  return both;
}

// The legend labels and the run's title of the plot.
void label_the_plot(globalsplot& gp, int flagpexp) {
  gp.model0lbl = "Experimental Data";
  gp.model1lbl = flagpexp == 1 ? "Type 2 Deactivation Model 1" : "Type 1 Deactivation Model 1";
  gp.model2lbl = "Classical Model 2";
  gp.titlelbl = std::string(kTitle).substr(0, 50);
}

// Every figure and decision of the comparison of the two fits.
Comparison statistics(const RunSummary& out, double kdp) {
  if (!out.fitted) return no_comparison(out.n);
  return compare_models(out.n, out.model1.ssr, out.model1.se, out.model2.ssr, out.model2.se,
                        out.model1.p[4], kdp);
}

// Writes the report beside the data file. A fit that could not be made counts as aborted unless
// there were too few points to try.
void write_the_report(RunSummary& out) {
  if (out.model2.ierr > 0 || (!out.fitted && out.n >= 3)) {
    out.body = ReportBody::kAbortedFit;
  } else if (too_few_points(out.n)) {
    out.body = ReportBody::kTooFewPoints;
  } else {
    out.body = ReportBody::kFull;
  }
  ReportInput report;
  report.body = out.body;
  report.flagpexp = out.flagpexp;
  report.stats = out.stats;
  report.ithr2 = out.model2.ithr;
  report.elapsed = out.cpu_seconds;
  report.when = std::time(nullptr);
  const FileWrite written = write_report(out.report_path, report_text(report));
  out.report_written = static_cast<bool>(written);
  out.report_error = written.reason();
}

// A data file that went away during the run ends it, after the report was written.
void require_data_file(const std::string& path) {
  int bflag = 0;
  file_name_exists(path, bflag);
  if (bflag == 0) {
    throw Stop("EXECUTION L1286", Stop::Notice::kStdout, "No data file was found!");
  }
}

// Hands the normalised data, both curves and the plot's texts to the caller.
void publish(RunSummary& out, CurveTables curves) {
  out.n8 = out.n;
  out.x8 = std::move(curves.x);
  out.y8 = std::move(curves.y);
  out.z8 = std::move(curves.z);
  out.label8 = {std::string(), std::string()};
  out.title8 = kTitle;
}

// Normalises the points, fits both models, compares them, writes the report and publishes the
// tables: everything a run does once it has its points.
void analyse(Points pts, globalsplot& gp, std::ostream& notes, ModelThreads threads,
             RunSummary& out) {
  nrtype nr;  // every analysis starts as a fresh process would
  const FitTables tables = normalise(std::move(pts), out.data_path, out);
  nr.flagpexp = out.flagpexp;
  const std::array<double, 6> p0 = start_values(tables.so, nr, notes);
  nr.iupdwn = 1;
  nr.so = p0[5];

  const double started = timeit();
  CurveTables curves(out.n);
  const BothFits fits = fit_both_models(nr, p0, tables, threads, curves);
  out.model1 = fits.model1;
  out.model2 = fits.model2;
  out.fitted = tables.fittable;
  label_the_plot(gp, nr.flagpexp);
  out.stats = statistics(out, fits.kdp);
  // The processor time of both threads: what the analysis cost, whichever way it ran.
  out.cpu_seconds = timeit() - started + fits.other_thread_cpu;

  write_the_report(out);
  require_data_file(out.data_path);
  publish(out, std::move(curves));
}

}  // namespace

std::string missing_curves_reason(const RunSummary& s) {
  switch (s.body) {
    case ReportBody::kFull:
      return {};
    case ReportBody::kTooFewPoints:
      return "too few data points";
    case ReportBody::kAbortedFit:
      break;
  }
  return s.fitted ? "the fit failed" : "no positive time or product";
}

RunSummary brevantix_run(const std::string& data_file, globalsplot& gp, std::ostream& notes,
                         int max_rows, ModelThreads threads) {
  RunSummary out;
  locate_files(data_file, gp, out);
  Points pts = import_data_file(out.data_path, max_rows, out);
  analyse(std::move(pts), gp, notes, threads, out);
  return out;
}

std::string curve_report_path(const std::string& table_file, const std::string& curve_name) {
  namespace fs = std::filesystem;
  const fs::path table(table_file);
  std::string safe;
  for (const char c : curve_name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 && byte < 0xC0) continue;  // the rest of a character already replaced
    const bool plain = std::isalnum(byte) != 0 || c == '-' || c == '_' || c == '.' || c == '+';
    safe += plain ? c : '_';
  }
  if (safe.size() > kCurveNameBytes) safe.resize(kCurveNameBytes);
  const std::string stem = table.stem().string() + "-" + safe + ".out";
  return (table.parent_path() / stem).string();
}

RunSummary brevantix_run_curve(const CurveSetTable& table, const TableCurve& curve, globalsplot& gp,
                               std::ostream& notes, ModelThreads threads) {
  RunSummary out;
  locate_files(table.file, gp, out);
  out.report_path = curve_report_path(out.data_path, curve.name);
  Points pts = import_table_curve(curve, out);
  analyse(std::move(pts), gp, notes, threads, out);
  return out;
}

}  // namespace brx
