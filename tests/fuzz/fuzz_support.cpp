#include "tests/fuzz/fuzz_support.h"

#include <glog/logging.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "analysis/report.h"
#include "cli/batch.h"

namespace brx::fuzz {
namespace fs = std::filesystem;

namespace {

fs::path make_scratch() {
  // The cross-check's least-squares solver logs its failures; the analysis reports them itself.
  FLAGS_minloglevel = google::GLOG_FATAL;
  std::error_code ec;
  const fs::path base =
      fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / "brx-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("brx-fuzz: cannot make a scratch folder");
    std::abort();
  }
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(scratch(), ignored);
  });
  return pattern;
}

}  // namespace

const fs::path& scratch() {
  static const fs::path folder = make_scratch();
  return folder;
}

fs::path write_input(const std::string& name, std::string_view bytes) {
  for (const auto& entry : fs::directory_iterator(scratch())) fs::remove_all(entry.path());
  const fs::path path = scratch() / name;
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  check(static_cast<bool>(out), "the input file was written");
  return path;
}

std::string scratch_names() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(scratch())) {
    names.insert(entry.path().filename().string());
  }
  std::string joined;
  for (const std::string& n : names) joined += (joined.empty() ? "" : " ") + n;
  return joined;
}

void check(bool ok, const char* invariant, const std::string& detail) {
  if (ok) return;
  std::fprintf(stderr, "brx-fuzz: invariant broken: %s\n%s\n", invariant, detail.c_str());
  std::abort();
}

bool check_json_line(const std::string& line) {
  check(line.find('\n') == std::string::npos, "a JSON line holds no line end", line);
  nlohmann::json j;
  try {
    j = nlohmann::json::parse(line);  // refuses invalid UTF-8 too
  } catch (const nlohmann::json::exception& e) {
    check(false, "the JSON line parses as valid UTF-8 JSON", e.what() + ("\n" + line));
  }
  check(j.is_object() && j.contains("file") && j.contains("report"),
        "the JSON line is an object with \"file\" and \"report\"", line);
  check(j["report"].is_null() || j["report"].is_string(), "\"report\" is a path or null", line);
  check(j["report"].is_string() != j.contains("error"), "a line has a report or an error", line);
  return j["report"].is_string();
}

void check_whole_analysis(const fs::path& path, int max_rows) {
  const FileOutcome o = analyse_file(path.string(), true, {}, max_rows);
  const bool reported = check_json_line(o.line);
  const std::string report = report_path(path.string());
  const bool exists = fs::exists(report);
  check(reported == o.ok, "the JSON names a report exactly when the file counts as analysed",
        o.line);
  check(exists == o.ok, "a report is written exactly when the file counts as analysed", o.errors);
  check(o.ok || !o.errors.empty(), "a file not analysed says why");
  std::string expected = path.filename().string();
  if (exists) expected += " " + fs::path(report).filename().string();  // sorts after "x.dat"
  check(scratch_names() == expected, "nothing but the data file and its report is left",
        scratch_names());
}

}  // namespace brx::fuzz
