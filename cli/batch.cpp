#include "cli/batch.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <ostream>
#include <sstream>
#include <thread>

#include "analysis/input_error.h"
#include "base/stop.h"
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

// Minimal JSON writer: numbers with all their digits, non-finite figures as null.
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
    for (const char c : v) {
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
void crosscheck_object(Json& j, const crosscheck::CrossCheck& c) {
  using crosscheck::Verdict;
  j.open();
  j.key("model").string("first-order enzyme loss").key("n").integer(c.n);
  j.key("p").number(c.p).key("F").number(c.F);
  j.key("aicc1").number(c.aicc1).key("aicc2").number(c.aicc2).key("weight1").number(c.weight1);
  j.key("kd").number(c.loss.kd).key("kd_low").number(c.kd_low).key("kd_high").number(c.kd_high);
  j.key("half_life").number(c.half_life);
  j.key("half_life_low").number(c.half_life_low).key("half_life_high").number(c.half_life_high);
  j.key("Km").number(c.loss.km).key("Vmax").number(c.loss.vmax).key("P0").number(c.loss.p0);
  j.key("ssr1").number(c.ssr1).key("ssr2").number(c.ssr2);
  j.key("verdict");
  if (c.verdict == Verdict::kDeactivation) {
    j.string("deactivation");
  } else if (c.verdict == Verdict::kNoEvidence) {
    j.string("no evidence");
  } else {
    j.null();
  }
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

std::string stop_message(const std::string& file, const Stop& s) {
  std::string m = file + ": ";
  if (!s.message().empty()) m += s.message() + " ";
  return m + "(STOP " + s.text() + ")\n";
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

bool parse_jobs(const std::string& text, int& jobs) {
  int value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || value < 1) return false;
  jobs = value;
  return true;
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
         "Options:\n"
         "  --json        one JSON object per line and file (JSON Lines)\n"
         "  --plot        also save the plot beside each report (run7.bmp and run7.png),\n"
         "                as the desktop program's window shows it after a run; needs no\n"
         "                display, but the picture module brevantix-kd-pictures.so\n"
         "                installed with the program\n"
         "  -j N, --jobs N\n"
         "                analyse N files at once (default: one per processor core);\n"
         "                the output keeps the order of the files\n"
         "  --help        show this text and exit\n"
         "  --version     show the version and exit\n"
         "\n"
         "Exit status: 0 when every file was analysed, 1 when any file failed,\n"
         "2 for a usage error. Errors go to standard error and name the file and line.\n";
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
    } else if (a == "--help" || a == "-h") {
      options.help = true;
    } else if (a == "--version") {
      options.version = true;
    } else if (a == "-j" || a == "--jobs") {
      if (i + 1 >= args.size()) return a + " needs a number of files to analyse at once";
      if (!parse_jobs(args[++i], options.jobs)) return "bad number of jobs '" + args[i] + "'";
    } else if (a.rfind("--jobs=", 0) == 0 ||
               (a.rfind("-j", 0) == 0 && a.size() > 2 && a[1] == 'j')) {
      const std::string value = a[1] == 'j' ? a.substr(2) : a.substr(7);
      if (!parse_jobs(value, options.jobs)) return "bad number of jobs '" + value + "'";
    } else {
      return "unknown option '" + a + "'";
    }
  }
  if (!options.help && !options.version && options.files.empty()) return "no data file given";
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
  std::string line = file + ": ";
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
                      const crosscheck::CrossCheck& cc) {
  const Comparison& c = s.stats;
  Json j;
  j.open();
  j.key("file").string(file).key("report").string(s.report_path);
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

FileOutcome analyse_file(const std::string& file, bool json, const PlotWriter& plot,
                         ModelThreads threads) {
  FileOutcome o;
  auto failed = [&](const std::string& message) {
    o.errors += message;
    if (json) {
      Json j;
      std::string text = message;
      if (!text.empty() && text.back() == '\n') text.pop_back();
      j.open().key("file").string(file).key("error").string(text).close();
      o.line = j.text();
    }
  };
  try {
    globalsplot gp;
    std::ostringstream notes;
    const RunSummary s = brevantix_run(file, gp, notes, threads);
    o.errors += prefixed(file, notes.str());
    // Beside the report, never in it: the exact model of enzyme loss on the points as recorded.
    const crosscheck::CrossCheck cc = crosscheck::check_deactivation(s.t_raw, s.y_raw, s.so_raw);
    o.line = json ? json_line(file, s, cc) : text_line(file, s, cc);
    o.ok = s.report_written;
    if (!s.report_written)
      o.errors += file + ": the report " + s.report_path +
                  " could not be written: " + s.report_error + "\n";
    if (plot && o.ok) {
      if (const std::string e = plot(s, gp); !e.empty()) {
        o.errors += file + ": " + e + "\n";
        o.ok = false;
      }
    }
  } catch (const Stop& s) {
    failed(stop_message(file, s));
  } catch (const InputError& e) {
    failed(std::string(e.what()) + "\n");
  } catch (const std::exception& e) {
    failed(file + ": " + e.what() + "\n");
  }
  return o;
}

int run_batch(const BatchOptions& options, std::ostream& out, std::ostream& err,
              const PlotWriter& plot) {
  const std::size_t count = options.files.size();
  std::vector<FileOutcome> outcomes(count);
  std::vector<char> done(count, 0);
  std::mutex m;
  std::condition_variable cv;
  std::atomic<std::size_t> next{0};

  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  unsigned jobs = options.jobs > 0 ? static_cast<unsigned>(options.jobs) : cores;
  jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, std::max<std::size_t>(count, 1)));
  // A second thread per file only while a core would otherwise sit idle: with a file per core
  // it would only take turns with the others.
  const ModelThreads per_file = jobs < cores ? ModelThreads::kTwo : ModelThreads::kOne;

  auto worker = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      FileOutcome o = analyse_file(options.files[i], options.json,
                                   options.plot ? plot : PlotWriter{}, per_file);
      std::lock_guard<std::mutex> lock(m);
      outcomes[i] = std::move(o);
      done[i] = 1;
      cv.notify_all();
    }
  };
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < jobs; ++t) threads.emplace_back(worker);

  // Each file's output is written as soon as it and every file before it are done.
  bool all_ok = true;
  for (std::size_t i = 0; i < count; ++i) {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return done[i] != 0; });
    const FileOutcome o = outcomes[i];
    lock.unlock();
    err << o.errors << std::flush;
    if (!o.line.empty()) out << o.line << '\n' << std::flush;
    all_ok = all_ok && o.ok;
  }
  for (auto& t : threads) t.join();
  return all_ok ? kExitAllAnalysed : kExitSomeFailed;
}

}  // namespace brx
