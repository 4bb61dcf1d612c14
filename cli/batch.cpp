#include "cli/batch.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <ostream>
#include <sstream>
#include <system_error>
#include <thread>

#include "analysis/input_error.h"
#include "base/atomic_file.h"
#include "base/stop.h"
#include "base/utf8_text.h"
#include "cli/curve_set_batch.h"
#include "cli/progress_line.h"
#include "cli/report_collisions.h"
#include "crosscheck/verdict_text.h"

namespace brx {
namespace {

const char* body_name(ReportBody body) {
  switch (body) {
    case ReportBody::kFull:
      return "full";
    case ReportBody::kTooFewPoints:
      return "too_few_points";
    case ReportBody::kAbortedFit:
      return "aborted_fit";
  }
  return "full";
}

// Minimal JSON writer: numbers with all their digits (%.17g, which the lines have always had; a
// general JSON library prints the shortest form that reads back, other digits), non-finite
// figures as null. Strings are
// valid UTF-8 whatever they held: a byte that is not part of a UTF-8 sequence becomes U+FFFD.
class Json {
 public:
  Json& open() {
    comma();
    s_ += '{';
    first_ = true;
    return *this;
  }
  Json& close() {
    s_ += '}';
    first_ = false;
    return *this;
  }
  Json& key(const std::string& k) {
    comma();
    string_value(k);
    s_ += ':';
    first_ = true;  // the value follows without a comma
    return *this;
  }
  Json& number(double v) {
    comma();
    if (!std::isfinite(v)) {
      s_ += "null";
    } else {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.17g", v);
      s_ += buf;
    }
    return *this;
  }
  Json& integer(long v) {
    comma();
    s_ += std::to_string(v);
    return *this;
  }
  Json& boolean(bool v) {
    comma();
    s_ += v ? "true" : "false";
    return *this;
  }
  Json& null() {
    comma();
    s_ += "null";
    return *this;
  }
  Json& string(const std::string& v) {
    comma();
    string_value(v);
    return *this;
  }
  Json& begin_array() {
    comma();
    s_ += '[';
    first_ = true;
    return *this;
  }
  Json& end_array() {
    s_ += ']';
    first_ = false;
    return *this;
  }
  const std::string& text() const { return s_; }

 private:
  void comma() {
    if (!first_) s_ += ',';
    first_ = false;
  }
  void string_value(const std::string& v) {
    s_ += '"';
    for (const char c : valid_utf8(v)) {
      if (c == '"' || c == '\\') {
        s_ += '\\';
        s_ += c;
      } else if (static_cast<unsigned char>(c) < 0x20) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
        s_ += buf;
      } else {
        s_ += c;
      }
    }
    s_ += '"';
  }

  std::string s_;
  bool first_ = true;
};

void model_object(Json& j, const ModelFit& m) {
  j.open();
  j.key("Km").number(m.p[1]).key("Vmax").number(m.p[2]).key("Po").number(m.p[3]);
  j.key("kd").number(m.p[4]).key("So").number(m.p[5]);
  j.key("ssr").number(m.ssr).key("se").number(m.se);
  j.key("ierr").integer(m.ierr).key("ithr").integer(m.ithr);
  j.close();
}

// The parameters in the data file's own units: the fits ran on times divided by tmax and
// concentrations divided by ymax.
void units_object(Json& j, const ModelFit& m, double tmax, double ymax) {
  j.open();
  j.key("Km").number(m.p[1] * ymax).key("Vmax").number(m.p[2] * ymax / tmax);
  j.key("Po").number(m.p[3] * ymax).key("kd").number(m.p[4] / tmax);
  j.key("So").number(m.p[5] * ymax);
  j.close();
}

void column(Json& j, const Table& table, int col, int n) {
  j.begin_array();
  for (int i = 1; i <= n; ++i) j.number(table(i, col));
  j.end_array();
}

// The cross-check in the file's own units; figures that do not exist are null.
// The cross-check's verdict by name, null when there is none.
void verdict_value(Json& j, crosscheck::Verdict v) {
  const std::string name = crosscheck::verdict_name(v);
  if (name.empty()) {
    j.null();
  } else {
    j.string(name);
  }
}

void crosscheck_object(Json& j, const crosscheck::CrossCheck& c) {
  j.open();
  j.key("model").string("first-order enzyme loss").key("n").integer(c.n);
  j.key("p").number(c.p).key("F").number(c.F);
  j.key("aicc1").number(c.aicc1).key("aicc2").number(c.aicc2).key("weight1").number(c.weight1);
  j.key("kd").number(c.loss.kd).key("kd_low").number(c.kd_low).key("kd_high").number(c.kd_high);
  j.key("half_life").number(c.half_life);
  j.key("half_life_low").number(c.half_life_low).key("half_life_high").number(c.half_life_high);
  j.key("Km").number(c.loss.km).key("Vmax").number(c.loss.vmax).key("P0").number(c.loss.p0);
  j.key("ssr1").number(c.ssr1).key("ssr2").number(c.ssr2);
  verdict_value(j.key("verdict"), c.verdict);
  j.key("text").string(c.text);
  j.key("note");
  if (c.note.empty()) {
    j.null();
  } else {
    j.string(c.note);
  }
  j.close();
}

std::string fixed(double v, int decimals) {
  if (!std::isfinite(v)) return std::isnan(v) ? "NaN" : (v > 0 ? "Inf" : "-Inf");
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string sci(double v) {
  if (!std::isfinite(v)) return fixed(v, 0);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.5E", v);
  return buf;
}

std::string stop_message(const std::string& name, const Stop& s) {
  std::string m = name + ": ";
  if (!s.message().empty()) m += s.message() + " ";
  return m + "(STOP " + s.text() + ")";
}

// What a failed run says about a report already beside its data file: it is not this run's.
std::string earlier_report_note(const std::string& report) {
  std::error_code ec;
  if (report.empty() || !std::filesystem::is_regular_file(report, ec)) return {};
  return "; the existing report " + printable(report) + " is from an earlier run";
}

// The report a run of `file` writes, as the run names it.
std::string report_of(const std::string& file) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
  const std::string data = ec ? file : absolute.string();
  const std::string report = report_path(data);
  return report == data ? std::string() : report;
}

// The line of a file that was not analysed: its name, no report, and why.
std::string error_json(const std::string& file, const std::string& message) {
  Json j;
  j.open().key("file").string(file).key("error").string(message).key("report").null().close();
  return j.text();
}

// The lines a run wrote for the user (the masked-[Po] note), each prefixed with the file.
std::string prefixed(const std::string& file, const std::string& text) {
  std::string out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) out += file + ": " + line + "\n";
  }
  return out;
}

// A count of 1 or more.
bool parse_count(const std::string& text, int& count) {
  int value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || value < 1) return false;
  count = value;
  return true;
}

// Files analysed at once: as asked (by default one per core), but never more than there are
// files, nor more than kWorkersPerCore per core, each holding a whole analysis.
constexpr std::size_t kWorkersPerCore = 4;
std::size_t worker_count(int asked, std::size_t files) {
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t wanted = asked > 0 ? static_cast<std::size_t>(asked) : cores;
  return std::min({wanted, std::max<std::size_t>(files, 1), kWorkersPerCore * cores});
}

}  // namespace

std::string batch_usage() {
  return "Usage: brevantix-kd-batch [options] FILE...\n"
         "\n"
         "Analyses each progress-curve data file as the desktop program's \"Run Analysis\"\n"
         "does: fits the deactivation model and the classical Michaelis-Menten model,\n"
         "compares them, and writes the report beside the data file (run7.dat -> run7.out).\n"
         "Prints one line per file: the file, kd, the F-test p-value, Welch's t against its\n"
         "critical value, and the verdict; then, after \" | cross-check: \", the verdict of an\n"
         "independent check that fits an exact model of first-order enzyme loss to the\n"
         "points as recorded (the report is not changed by it).\n"
         "\n"
         "A curve-set table (a .csv or .tsv file: a time column, one column per curve,\n"
         "rows So and E0) is analysed curve by curve (reports plate-A1.out, ...), and\n"
         "each group of curves sharing [So] gets a global (Selwyn) fit: one line each.\n"
         "With more than one file, a progress line is shown on a terminal.\n"
         "\n"
         "Options:\n"
         "  --json        one JSON object per line and file (JSON Lines)\n"
         "  --plot        also save the plot beside each report (run7.bmp and run7.png),\n"
         "                as the desktop program's window shows it after a run; needs no\n"
         "                display, but the picture module brevantix-kd-pictures.so\n"
         "                installed with the program\n"
         "  --plot-format LIST\n"
         "                the pictures --plot saves, a comma-separated list of bmp, png,\n"
         "                svg (lines and text) and pdf (one page); implies --plot\n"
         "  --csv FILE    also write a summary table, one row per file (per curve and\n"
         "                per group of a curve-set table), as CSV to FILE; with - the\n"
         "                table goes to standard output instead of the lines\n"
         "  -j N, --jobs N\n"
         "                analyse N files at once (default: one per processor core, at\n"
         "                most four per core); the output keeps the order of the files\n"
         "  --max-rows N  analyse files of up to N data rows (default 100000); a file of\n"
         "                more is refused: each row adds some 3 ms to the fits\n"
         "  --help        show this text and exit\n"
         "  --version     show the version and exit\n"
         "\n"
         "Exit status: 0 when every file was analysed, 1 when any file failed (or the\n"
         "results could not be written), 2 for a usage error. Errors go to standard error\n"
         "and name the file and line. Two files whose reports would be the same file, or\n"
         "whose report would replace another of the files, are refused: the second one\n"
         "given is not analysed.\n";
}

std::optional<std::string> parse_batch_args(const std::vector<std::string>& args,
                                            BatchOptions& options) {
  bool options_end = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (options_end || a.empty() || a[0] != '-' || a == "-") {
      options.files.push_back(a);
    } else if (a == "--") {
      options_end = true;
    } else if (a == "--json") {
      options.json = true;
    } else if (a == "--plot") {
      options.plot = true;
    } else if (a == "--plot-format" || a.rfind("--plot-format=", 0) == 0) {
      if (a == "--plot-format" && i + 1 >= args.size()) return a + " needs a list of formats";
      const std::string list = a == "--plot-format" ? args[++i] : a.substr(a.find('=') + 1);
      if (auto error = parse_plot_formats(list, options.plot_formats)) return *error;
      options.plot = true;
    } else if (a == "--csv" || a.rfind("--csv=", 0) == 0) {
      if (a == "--csv" && i + 1 >= args.size())
        return a + " needs a file name (or - for standard output)";
      options.csv = a == "--csv" ? args[++i] : a.substr(6);
      if (options.csv.empty()) return "--csv needs a file name (or - for standard output)";
    } else if (a == "--help" || a == "-h") {
      options.help = true;
    } else if (a == "--version") {
      options.version = true;
    } else if (a == "-j" || a == "--jobs") {
      if (i + 1 >= args.size()) return a + " needs a number of files to analyse at once";
      if (!parse_count(args[++i], options.jobs)) return "bad number of jobs '" + args[i] + "'";
    } else if (a.rfind("--jobs=", 0) == 0 ||
               (a.rfind("-j", 0) == 0 && a.size() > 2 && a[1] == 'j')) {
      const std::string value = a[1] == 'j' ? a.substr(2) : a.substr(7);
      if (!parse_count(value, options.jobs)) return "bad number of jobs '" + value + "'";
    } else if (a == "--max-rows" || a.rfind("--max-rows=", 0) == 0) {
      if (a == "--max-rows" && i + 1 >= args.size()) return a + " needs a number of rows";
      const std::string value = a == "--max-rows" ? args[++i] : a.substr(11);
      if (!parse_count(value, options.max_rows)) return "bad number of rows '" + value + "'";
    } else {
      return "unknown option '" + a + "'";
    }
  }
  if (!options.help && !options.version && options.files.empty()) return "no data file given";
  if (options.csv == "-" && options.json) return "--csv - and --json both want standard output";
  return std::nullopt;
}

std::string verdict_words(const RunSummary& s) {
  if (s.body == ReportBody::kAbortedFit) return "curve-fit aborted";
  if (s.body == ReportBody::kTooFewPoints) return "too few points (at least 5 needed)";
  std::string v;
  switch (s.stats.conclusion) {
    case 1:
      v = "significant deactivation likely";
      break;
    case 2:
    case 4:
      v = "some deactivation likely";
      break;
    default:
      v = "no significant deactivation (classical model preferred)";
      break;
  }
  if (s.stats.conclusion <= 4 && s.stats.contentious) v += ", but kd < 0.001 is contentious";
  return v;
}

std::string text_line(const std::string& file, const RunSummary& s,
                      const crosscheck::CrossCheck& cc) {
  std::string line = printable(file) + ": ";
  if (s.body != ReportBody::kFull) {
    line += "n=" + std::to_string(s.n) + ": " + verdict_words(s);
  } else {
    const Comparison& c = s.stats;
    line += "kd=" + sci(c.kd) + " p=" + fixed(c.pF, 5) + " t=" + fixed(c.tW, 3) +
            (c.W == 1 ? " > " : " < ") + fixed(c.tCrit, 3) + ": " + verdict_words(s);
  }
  return line + " | cross-check: " + crosscheck::verdict_short(cc);
}

std::string json_line(const std::string& file, const RunSummary& s,
                      const crosscheck::CrossCheck& cc, const std::string& curve) {
  const Comparison& c = s.stats;
  Json j;
  j.open();
  j.key("file").string(file);
  if (!curve.empty()) j.key("set").string(file).key("curve").string(curve);
  j.key("report");
  if (s.report_written) {
    j.string(s.report_path);
  } else {
    j.null();
  }
  j.key("body").string(body_name(s.body)).key("n").integer(s.n);
  j.key("deactivation_type").integer(s.flagpexp == 1 ? 2 : 1);
  j.key("kd").number(c.kd).key("kd_pvalue").number(c.kdp);
  j.key("aicc1").number(c.aicc1).key("aicc2").number(c.aicc2).key("F").number(c.F);
  j.key("pvalue").number(c.pF).key("pvalue_low").number(c.pLow).key("pvalue_high").number(c.pHigh);
  j.key("sd").number(c.sd);
  j.key("welch_t").number(c.tW);
  j.key("welch_df").integer(c.dfW);
  j.key("welch_tcrit").number(c.tCrit);
  if (s.body == ReportBody::kFull) {
    j.key("case").integer(c.conclusion);
  } else {
    j.key("case").null();
  }
  j.key("verdict").string(verdict_words(s));
  j.key("model1");
  model_object(j, s.model1);
  j.key("model2");
  model_object(j, s.model2);
  j.key("units").open();
  j.key("model1");
  units_object(j, s.model1, s.tmax, s.ymax);
  j.key("model2");
  units_object(j, s.model2, s.tmax, s.ymax);
  // Half-life of the enzyme under Model 1's first-order deactivation, in the file's time unit.
  j.key("half_life").number(std::log(2.0) / (s.model1.p[4] / s.tmax));
  j.close();
  j.key("crosscheck");
  crosscheck_object(j, cc);
  j.key("tables").open();
  j.key("t");
  column(j, s.x8, 1, s.n8);
  j.key("y");
  column(j, s.y8, 1, s.n8);
  j.key("model1");
  column(j, s.z8, 1, s.n8);
  j.key("model2");
  column(j, s.z8, 2, s.n8);
  j.close();
  j.key("cpu_seconds").number(s.cpu_seconds);
  j.close();
  return j.text();
}

std::string curve_error_json(const std::string& file, const std::string& curve,
                             const std::string& message) {
  if (curve.empty()) return error_json(file, message);
  Json j;
  j.open().key("file").string(file).key("set").string(file).key("curve").string(curve);
  j.key("error").string(message).key("report").null().close();
  return j.text();
}

std::string selwyn_json_line(const std::string& file, const std::vector<crosscheck::SetCurve>& set,
                             const std::vector<std::size_t>& group,
                             const crosscheck::SelwynFit& f) {
  Json j;
  j.open().key("set").string(file).key("So").number(f.so).key("curves").begin_array();
  for (const std::size_t k : group) {
    j.open().key("name").string(set[k].name).key("E0").number(set[k].e0).close();
  }
  j.end_array().key("selwyn").open();
  j.key("model").string("first-order enzyme loss, shared Km, kcat and kd");
  j.key("n").integer(f.n).key("curves").integer(f.curves);
  j.key("concentrations").integer(f.concentrations);
  j.key("p").number(f.p).key("F").number(f.F);
  j.key("aicc1").number(f.aicc1).key("aicc2").number(f.aicc2).key("weight1").number(f.weight1);
  j.key("kd").number(f.kd).key("kd_low").number(f.kd_low).key("kd_high").number(f.kd_high);
  j.key("half_life").number(f.half_life);
  j.key("half_life_low").number(f.half_life_low).key("half_life_high").number(f.half_life_high);
  j.key("Km").number(f.km).key("kcat").number(f.kcat);
  j.key("classical_Km").number(f.classical_km).key("classical_kcat").number(f.classical_kcat);
  j.key("ssr1").number(f.ssr1).key("ssr2").number(f.ssr2);
  j.key("scaling_F").number(f.scaling_F).key("scaling_p").number(f.scaling_p);
  j.key("doubtful").boolean(f.doubtful);
  verdict_value(j.key("verdict"), f.verdict);
  j.key("text").string(f.text).key("note");
  f.note.empty() ? j.null() : j.string(f.note);
  j.key("members").begin_array();
  for (const crosscheck::SelwynMember& m : f.members) {
    j.open().key("name").string(m.name).key("E0").number(m.e0).key("n").integer(m.n);
    j.key("P0").number(m.p0).key("Vmax").number(m.vmax).key("Vmax_own").number(m.vmax_own);
    j.close();
  }
  j.end_array().close().close();
  return j.text();
}

FileOutcome analyse_file(const std::string& file, bool json, const PlotWriter& plot, int max_rows,
                         ModelThreads threads) {
  FileOutcome o;
  const std::string name = printable(file);
  // A file that could not be analysed: its message, and whether a report lies beside it from
  // before.
  auto failed = [&](std::string message, bool report_untouched) {
    if (report_untouched) message += earlier_report_note(report_of(file));
    o.errors += message + "\n";
    if (json) o.line = error_json(file, message);
    o.rows = {csv_error_row(file, "", message)};
  };
  try {
    globalsplot gp;
    std::ostringstream notes;
    const RunSummary s = brevantix_run(file, gp, notes, max_rows, threads);
    o.errors += prefixed(name, notes.str());
    // Beside the report, never in it: the exact model of enzyme loss on the points as recorded.
    const crosscheck::CrossCheck cc = crosscheck::check_deactivation(s.t_raw, s.y_raw, s.so_raw);
    o.line = json ? json_line(file, s, cc) : text_line(file, s, cc);
    o.rows.push_back(csv_run_row(file, "", s, verdict_words(s), cc));
    o.ok = s.report_written;
    if (!s.report_written) {
      o.errors += name + ": the report " + printable(s.report_path) +
                  " could not be written: " + s.report_error + earlier_report_note(s.report_path) +
                  "\n";
    }
    if (plot && o.ok) {
      if (const std::string e = plot(s, gp); !e.empty()) {
        o.errors += name + ": " + e + "\n";
        o.ok = false;
      }
    }
  } catch (const Stop& s) {
    // A data file gone by the end of the run stops it after its report was written.
    failed(stop_message(name, s), s.text() != "EXECUTION L1286");
  } catch (const InputError& e) {
    failed(e.what(), true);
  } catch (const std::bad_alloc&) {
    failed(name + ": there is not enough memory to analyse it", true);
  } catch (const std::exception& e) {
    failed(name + ": " + e.what(), true);
  }
  return o;
}

int run_batch(const BatchOptions& options, std::ostream& out, std::ostream& err,
              const PlotWriter& plot, const SelwynWriter& selwyn) {
  // The summary table must not replace one of the files it summarises.
  for (const std::string& f : options.files) {
    std::error_code ec;
    if (!options.csv.empty() && options.csv != "-" &&
        std::filesystem::equivalent(options.csv, f, ec)) {
      err << "brevantix-kd-batch: --csv " << printable(options.csv)
          << " would replace the data file " << printable(f) << "\n";
      return kExitUsage;
    }
  }
  const std::size_t count = options.files.size();
  const std::vector<std::string> refused = report_collisions(options.files);
  std::vector<FileOutcome> outcomes(count);
  std::vector<char> done(count, 0);
  std::mutex m;
  std::condition_variable cv;
  std::atomic<std::size_t> next{0};

  const std::size_t jobs = worker_count(options.jobs, count);
  // A second thread per file only while a core would otherwise sit idle: with a file per core
  // it would only take turns with the others.
  const ModelThreads per_file = jobs < std::max(1u, std::thread::hardware_concurrency())
                                    ? ModelThreads::kTwo
                                    : ModelThreads::kOne;

  // Takes the next file nobody has taken; false when there is none left.
  auto analyse_next = [&] {
    const std::size_t i = next++;
    if (i >= count) return false;
    FileOutcome o;
    if (refused[i].empty() && is_curve_set_table(options.files[i])) {
      // A table's curves share the workers' cores among themselves.
      o = analyse_table(options.files[i], options.json, options.max_rows,
                        worker_count(options.jobs, kWorkersPerCore * 1024),
                        options.plot ? plot : PlotWriter{}, options.plot ? selwyn : SelwynWriter{});
    } else if (refused[i].empty()) {
      o = analyse_file(options.files[i], options.json, options.plot ? plot : PlotWriter{},
                       options.max_rows, per_file);
    } else {
      o.errors = refused[i] + "\n";
      if (options.json) o.line = error_json(options.files[i], refused[i]);
      o.rows.push_back(csv_error_row(options.files[i], "", refused[i]));
    }
    std::lock_guard<std::mutex> lock(m);
    outcomes[i] = std::move(o);
    done[i] = 1;
    cv.notify_all();
    return true;
  };
  // The calling thread is one of the workers; a thread that cannot be started (a limit on
  // processes or memory) leaves the work to those that could.
  std::vector<std::thread> threads;
  for (std::size_t t = 1; t < jobs; ++t) {
    try {
      threads.emplace_back([&] {
        while (analyse_next()) {
        }
      });
    } catch (const std::system_error& e) {
      err << "brevantix-kd-batch: could not start another thread (" << e.what() << "); analysing "
          << threads.size() + 1 << (threads.empty() ? " file" : " files") << " at once\n"
          << std::flush;
      break;
    }
  }

  // Each file's output is written as soon as it and every file before it are done; while the
  // next one is not, this thread analyses a file itself.
  bool all_ok = true;
  int out_error = 0;  // errno of a failed write to `out`
  const bool csv_out = options.csv == "-";
  std::vector<CsvRow> rows;
  ProgressLine progress(err, count, options.progress && count > 1);
  progress.update(0);
  for (std::size_t i = 0; i < count; ++i) {
    std::unique_lock<std::mutex> lock(m);
    while (done[i] == 0) {
      if (next.load() < count) {
        lock.unlock();
        analyse_next();
        lock.lock();
      } else {
        cv.wait(lock);
      }
    }
    const FileOutcome o = std::move(outcomes[i]);
    lock.unlock();
    if (!o.errors.empty()) {
      progress.erase();
      err << o.errors << std::flush;
    }
    progress.update(i + 1);
    rows.insert(rows.end(), o.rows.begin(), o.rows.end());
    if (!o.line.empty() && out_error == 0 && !csv_out) {
      errno = 0;
      out << o.line << '\n' << std::flush;
      if (!out) out_error = errno != 0 ? errno : EIO;
    }
    all_ok = all_ok && o.ok;
  }
  for (auto& t : threads) t.join();
  progress.erase();
  if (csv_out && out_error == 0) {
    errno = 0;
    out << csv_text(rows) << std::flush;
    if (!out) out_error = errno != 0 ? errno : EIO;
  } else if (!options.csv.empty()) {
    if (const FileWrite w = write_file_atomically(options.csv, csv_text(rows)); !w) {
      err << "brevantix-kd-batch: the summary table " << printable(options.csv)
          << " could not be written: " << w.reason() << "\n";
      all_ok = false;
    }
  }
  if (out_error != 0) {
    err << "brevantix-kd-batch: the results could not be written to standard output: "
        << std::strerror(out_error) << "\n";
    return kExitSomeFailed;
  }
  return all_ok ? kExitAllAnalysed : kExitSomeFailed;
}

}  // namespace brx
