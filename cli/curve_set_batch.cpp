#include "cli/curve_set_batch.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <sstream>
#include <system_error>
#include <thread>

#include "analysis/input_error.h"
#include "base/stop.h"
#include "base/utf8_text.h"
#include "crosscheck/verdict_text.h"

namespace brx {
namespace {

// What one curve or group gave: as FileOutcome, one line and one row.
struct Part {
  bool ok = true;
  std::string line, errors;
  CsvRow row;
};

std::string shown_name(const std::string& file, const std::string& curve) {
  return printable(file) + "[" + printable(curve) + "]";
}

std::string so_text(double so) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", so);
  return buf;
}

// Single-byte text for the pictures: ASCII kept, every other character one "?".
std::string ascii(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += c >= 0x20 ? static_cast<char>(c) : '?';
    } else if ((c & 0xC0) != 0x80) {
      out += '?';  // a lead byte (or a stray one); its continuation bytes are skipped
    }
  }
  return out;
}

Part analyse_curve(const CurveSetTable& table, const TableCurve& curve, bool json,
                   const PlotWriter& plot) {
  Part p;
  const std::string name = shown_name(table.file, curve.name);
  const auto failed = [&](const std::string& message) {
    p.ok = false;
    p.errors += message + "\n";
    if (json) p.line = curve_error_json(table.file, curve.name, message);
    p.row = csv_error_row(table.file, curve.name, message);
  };
  try {
    globalsplot gp;
    std::ostringstream notes;
    const RunSummary s = brevantix_run_curve(table, curve, gp, notes, ModelThreads::kOne);
    std::istringstream in(notes.str());
    for (std::string line; std::getline(in, line);) {
      if (!line.empty()) p.errors += name + ": " + line + "\n";
    }
    const crosscheck::CrossCheck cc = crosscheck::check_deactivation(s.t_raw, s.y_raw, s.so_raw);
    p.line = json ? json_line(table.file, s, cc, curve.name) : text_line(name, s, cc);
    p.row = csv_run_row(table.file, curve.name, s, verdict_words(s), cc);
    if (!s.report_written) {
      p.ok = false;
      p.errors += name + ": the report " + printable(s.report_path) +
                  " could not be written: " + s.report_error + "\n";
    } else if (plot) {
      if (const std::string e = plot(s, gp); !e.empty()) {
        p.ok = false;
        p.errors += name + ": " + e + "\n";
      }
    }
  } catch (const Stop& s) {
    std::string m = name + ": ";
    if (!s.message().empty()) m += s.message() + " ";
    failed(m + "(STOP " + s.text() + ")");
  } catch (const InputError& e) {
    failed(e.what());
  } catch (const std::bad_alloc&) {
    failed(name + ": there is not enough memory to analyse it");
  } catch (const std::exception& e) {
    failed(name + ": " + e.what());
  }
  return p;
}

// Runs task(i) for i in [0, count) on up to `jobs` threads, the caller's among them.
void parallel_for(std::size_t count, std::size_t jobs,
                  const std::function<void(std::size_t)>& task) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next++) < count;) task(i);
  };
  std::vector<std::thread> threads;
  for (std::size_t t = 1; t < std::min(jobs, count); ++t) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // the threads that started, and this one, do the work
    }
  }
  work();
  for (auto& t : threads) t.join();
}

}  // namespace

std::string selwyn_picture_path(const std::string& file, double so, const std::string& extension) {
  const std::filesystem::path p(file);
  std::string value = so_text(so);
  for (char& c : value) {
    if (c == '+') c = 'p';
  }
  return (p.parent_path() / (p.stem().string() + "-selwyn-" + value + "." + extension)).string();
}

SelwynPicture selwyn_picture_of(const crosscheck::SelwynFit& fit) {
  SelwynPicture s;
  s.title = "[So] = " + so_text(fit.so) + ": " +
            (fit.verdict == crosscheck::Verdict::kDeactivation ? "deactivation detected"
             : fit.verdict == crosscheck::Verdict::kNoEvidence ? "no evidence of deactivation"
                                                               : "no verdict");
  if (std::isfinite(fit.p)) s.title += " (" + crosscheck::p_text(fit.p) + ")";
  if (fit.doubtful) s.title += ", doubtful";
  for (const crosscheck::SelwynSeries& points : fit.plot.points) {
    s.names.push_back(ascii(points.name) + ", [E]0 = " + so_text(points.e0));
    s.points.push_back({points.x, points.y});
  }
  for (const crosscheck::SelwynSeries& c : fit.plot.curves) s.curves.push_back({c.x, c.y});
  s.stable = {fit.plot.stable.x, fit.plot.stable.y};
  return s;
}

std::string selwyn_text_line(const std::string& file, const crosscheck::SelwynFit& fit) {
  return printable(file) + "[So " + so_text(fit.so) + "]: Selwyn fit of " + printable(fit.text);
}

FileOutcome analyse_table(const std::string& file, bool json, int max_rows, std::size_t jobs,
                          const PlotWriter& plot, const SelwynWriter& selwyn) {
  FileOutcome o;
  CurveSetTable table;
  try {
    table = read_curve_set_table(file, max_rows);
  } catch (const std::exception& e) {
    const std::string message = dynamic_cast<const InputError*>(&e) != nullptr
                                    ? std::string(e.what())
                                    : printable(file) + ": " + e.what();
    o.errors = message + "\n";
    if (json) o.line = curve_error_json(file, "", message);
    o.rows = {csv_error_row(file, "", message)};
    return o;
  }

  // Two names that become the same safe name would write one report: the later curve is refused.
  std::vector<std::string> refused(table.curves.size());
  std::map<std::string, std::string> report_owner;
  for (std::size_t k = 0; k < table.curves.size(); ++k) {
    const std::string& name = table.curves[k].name;
    const auto [it, fresh] = report_owner.emplace(curve_report_path(file, name), name);
    if (!fresh) {
      refused[k] = shown_name(file, name) + ": its report " + printable(it->first) +
                   " would be the report of curve " + printable(it->second) + "; not analysed";
    }
  }

  std::vector<crosscheck::SetCurve> set;
  for (const TableCurve& c : table.curves) set.push_back({c.name, c.t_raw, c.y, c.so, c.e0});
  const std::vector<std::vector<std::size_t>> groups = crosscheck::group_by_substrate(set);
  std::vector<crosscheck::SelwynFit> fits(groups.size());
  std::vector<Part> parts(table.curves.size());
  // The global fits take longer than a curve: they go first, so that no thread is left with one
  // at the end.
  const std::size_t count = groups.size() + table.curves.size();
  parallel_for(count, jobs, [&](std::size_t i) {
    if (i < groups.size()) {
      fits[i] = crosscheck::fit_selwyn(set, groups[i]);
      return;
    }
    const std::size_t k = i - groups.size();
    if (refused[k].empty()) {
      parts[k] = analyse_curve(table, table.curves[k], json, plot);
    } else {
      parts[k] = {false, json ? curve_error_json(file, table.curves[k].name, refused[k]) : "",
                  refused[k] + "\n", csv_error_row(file, table.curves[k].name, refused[k])};
    }
  });

  o.ok = true;
  const auto add_line = [&o](const std::string& line) {
    if (line.empty()) return;
    o.line += (o.line.empty() ? "" : "\n") + line;
  };
  for (Part& p : parts) {
    add_line(p.line);
    o.errors += p.errors;
    o.rows.push_back(std::move(p.row));
    o.ok = o.ok && p.ok;
  }
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const crosscheck::SelwynFit& fit = fits[g];
    add_line(json ? selwyn_json_line(file, set, groups[g], fit) : selwyn_text_line(file, fit));
    o.rows.push_back(csv_group_row(file, fit));
    if (selwyn && !fit.plot.points.empty()) {
      if (const std::string e = selwyn(file, fit); !e.empty()) {
        o.errors += printable(file) + ": " + e + "\n";
        o.ok = false;
      }
    }
  }
  return o;
}

}  // namespace brx
