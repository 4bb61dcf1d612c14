#include "analysis/brevantix_run.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
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

}  // namespace

RunSummary brevantix_run(const std::string& data_file, globalsplot& gp, std::ostream& notes) {
  namespace fs = std::filesystem;
  RunSummary out;
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

  // 1. Cleared state: every analysis starts as a fresh process would.
  nrtype nr;
  double po = 0;  // the saved [Po] start value
  std::array<double, 6> p0;
  p0.fill(1.0);

  // 2-4. Import, tie repair, deactivation type.
  std::vector<double> P, traw;
  Table yraw;
  int N = 0;
  data_import(path, P, traw, yraw, 1, 1, N);
  const double last_time = N >= 1 ? traw[static_cast<std::size_t>(N)] : 0;
  repair_tied_times(traw, N);
  // The repair moves only times before the last; the last is only stretched, which the raw
  // points leave out.
  out.t_raw.assign(traw.begin() + 1, traw.end());
  if (N >= 1) out.t_raw.back() = last_time;
  for (int i = 1; i <= N; ++i) out.y_raw.push_back(yraw(i, 1));
  out.so_raw = P[1];
  p0[5] = P[1];
  out.n = N;
  nr.flagpexp = deactivation_flag(p0[5]);
  out.flagpexp = nr.flagpexp;

  // 5. Normalise to the largest time and product. Without a positive largest value there is
  // nothing to normalise to, and the fit is reported as aborted.
  double tmax = 0, ymax = 0;
  for (int i = 1; i <= N; ++i) {
    tmax = i == 1 ? traw[1] : std::max(tmax, traw[static_cast<std::size_t>(i)]);
    ymax = i == 1 ? yraw(1, 1) : std::max(ymax, yraw(i, 1));
  }
  const bool scalable = N >= 1 && tmax > 0 && ymax > 0;
  // The regression needs three points (its first step size reads the third time).
  const bool fittable = scalable && N >= 3;
  if (scalable) {
    p0[5] = std::fabs(p0[5]) / ymax;
    for (int i = 1; i <= N; ++i) {
      traw[static_cast<std::size_t>(i)] /= tmax;
      yraw(i, 1) /= ymax;
    }
    out.tmax = tmax;
    out.ymax = ymax;
  }

  // 6-7. A zero at the first point becomes 0.001; every other value <= 0 in the fitted tables
  // becomes 0.01. With more than a thousand points the second time may lie below 0.001; the first
  // then moves to half the second so that the times still increase.
  const std::vector<double> tfile(traw);  // repaired times in the file's units, for messages
  if (N >= 1 && traw[1] == 0) {
    const bool crowded = N >= 2 && traw[2] > 0 && traw[2] <= kFirstPointFloor;
    traw[1] = crowded ? traw[2] / 2 : kFirstPointFloor;
  }
  if (N >= 1 && yraw(1, 1) == 0) yraw(1, 1) = kFirstPointFloor;
  std::vector<double> tnorm(traw);
  Table ynorm(N, 1);
  for (int i = 1; i <= N; ++i) {
    double& t = tnorm[static_cast<std::size_t>(i)];
    if (t <= 0) t = kNonPositiveFloor;
    ynorm(i, 1) = yraw(i, 1) <= 0 ? kNonPositiveFloor : yraw(i, 1);
  }
  // The fitting engine integrates from row to row and needs strictly increasing times; a file
  // that does not give them is refused here rather than fitted to nonsense.
  for (int i = 2; fittable && i <= N; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (tnorm[k] > tnorm[k - 1]) continue;
    throw InputError(path, i + 1, "",
                     tfile[k] <= tfile[k - 1]
                         ? "the times must increase from row to row (this time is not later "
                           "than the one before it)"
                         : "times of 0 or less cannot be fitted after the first row");
  }

  // 8-9. Start values and held parameters.
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

  // 10-12. Shared values read by the rate equations, the result tables, the stopwatch.
  nr.iupdwn = 1;
  nr.so = p0[5];
  po = p0[3];
  Table x2(N, 2), y2(N, 2), z2(N, 2);
  std::vector<double> p(p0.begin(), p0.end());
  Table w(1, 1);
  w(1, 1) = 1.0;
  bool start = true;
  const double started = timeit(start);

  // 13. Model 1, then Model 2: simplex estimate, then two regression passes, the first with
  // relative weights, the second (weighting mode consumed by the first) with unit weights.
  double kdp = 0;
  for (int imdl = 1; imdl <= 2; ++imdl) {
    ModelFit& fit = imdl == 1 ? out.model1 : out.model2;
    nr.imdl = imdl;
    int ierr = 0, ithr = 0, iwt = 1;
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
    po = p[3];
    nr.mask[3] = 0;
    p[5] = p0[5];
    nr.so = p[5];
    nr.mask[5] = 1;
    if (fittable) {
      // The simplex's [Po] is not kept: the regression starts from the saved [Po].
      std::vector<double> ptmp(p.begin(), p.begin() + 5);
      std::vector<double> y0(static_cast<std::size_t>(N) + 1, 0.0), z0(y0);
      for (int i = 1; i <= N; ++i) y0[static_cast<std::size_t>(i)] = ynorm(i, 1);
      double ssq = 0;
      smplx_curvefit(k, ptmp, nr.mask, ssq, tnorm, y0, z0, N, nr.so, kSimplexLimit, nr.flagpexp);
      std::copy(ptmp.begin() + 1, ptmp.begin() + 5, p.begin() + 1);
      p[3] = po;

      l7500(nr, imdl, p, ynorm, sf0, tnorm, w, iwt, kIntegratorTol, ierr, ithr, N, 1, k,
            kRegressionLimit, ssr, se, kdp);
      ierr = 0;
      ithr = 0;
      // Model 2 holds [Po] in its second pass; Model 1 adjusts it in both.
      if (imdl == 2) nr.mask[3] = 1;
      l7500(nr, imdl, p, ynorm, sf0, tnorm, w, iwt, kIntegratorTol, ierr, ithr, N, 1, k,
            kRegressionLimit, ssr, se, kdp);
    }
    for (int i = 1; i <= N; ++i) {
      x2(i, imdl) = tnorm[static_cast<std::size_t>(i)];
      y2(i, imdl) = ynorm(i, 1);
      z2(i, imdl) = sf0(i, 1);
    }
    if (imdl == 1) {
      nr.mask[4] = 0;
    } else {
      p[4] = 0;
      nr.mask[4] = 1;
    }
    po = p[3];
    nr.so = p[5];
    std::copy(p.begin(), p.end(), fit.p.begin());
    if (!fittable) std::fill(fit.p.begin() + 1, fit.p.begin() + 5, nan());  // nothing was fitted
    fit.ssr = ssr;
    fit.se = se;
    fit.ierr = ierr;
    fit.ithr = ithr;
  }
  out.fitted = fittable;

  // 14. Legend labels and title.
  gp.model0lbl = "Experimental Data";
  gp.model1lbl = nr.flagpexp == 1 ? "Type 2 Deactivation Model 1" : "Type 1 Deactivation Model 1";
  gp.model2lbl = "Classical Model 2";
  gp.titlelbl = std::string(kTitle).substr(0, 50);

  // 15-16. Statistics and the stopwatch.
  out.stats = fittable ? compare_models(N, out.model1.ssr, out.model1.se, out.model2.ssr,
                                        out.model2.se, out.model1.p[4], kdp)
                       : no_comparison(N);
  out.cpu_seconds = timeit(start) - started;

  // 17. The report. A fit that could not be made counts as aborted unless there were too few
  // points to try.
  if (out.model2.ierr > 0 || (!fittable && N >= 3)) {
    out.body = ReportBody::kAbortedFit;
  } else if (too_few_points(N)) {
    out.body = ReportBody::kTooFewPoints;
  } else {
    out.body = ReportBody::kFull;
  }
  ReportInput report;
  report.body = out.body;
  report.flagpexp = nr.flagpexp;
  report.stats = out.stats;
  report.ithr2 = out.model2.ithr;
  report.elapsed = out.cpu_seconds;
  report.when = std::time(nullptr);
  const FileWrite written = write_report(out.report_path, report_text(report));
  out.report_written = static_cast<bool>(written);
  out.report_error = written.reason();

  // 18. The data file must still be there.
  int bflag = 0;
  file_name_exists(path, bflag);
  if (bflag == 0) {
    throw Stop("EXECUTION L1286", Stop::Notice::kStdout, "No data file was found!");
  }

  // 20. Publish the tables for the plot.
  out.n8 = N;
  out.x8 = x2;
  out.y8 = y2;
  out.z8 = z2;
  out.label8 = {std::string(), std::string()};
  out.title8 = kTitle;
  return out;
}

}  // namespace brx
