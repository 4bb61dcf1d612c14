#include "cli/report_collisions.h"

#include <cstddef>
#include <filesystem>
#include <map>
#include <system_error>

#include "analysis/report.h"
#include "base/utf8_text.h"

namespace brx {
namespace {

namespace fs = std::filesystem;

// The path as the file it names, so that two spellings of one file compare equal.
std::string file_key(const fs::path& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  if (ec) return path.lexically_normal().string();
  const fs::path resolved = fs::weakly_canonical(absolute, ec);
  return ec ? absolute.lexically_normal().string() : resolved.string();
}

std::string report_of(const std::string& file) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(file, ec);
  return report_path(ec ? file : absolute.string());
}

}  // namespace

std::vector<std::string> report_collisions(const std::vector<std::string>& files) {
  const std::size_t count = files.size();
  std::vector<std::string> reports(count), data_keys(count), why(count);
  std::map<std::string, std::size_t> data;  // each data file, by the first input that names it
  for (std::size_t i = 0; i < count; ++i) {
    reports[i] = report_of(files[i]);
    data_keys[i] = file_key(files[i]);
    data.emplace(data_keys[i], i);
  }
  std::map<std::string, std::size_t> written;  // each report, by the input that writes it
  for (std::size_t i = 0; i < count; ++i) {
    const std::string key = file_key(reports[i]);
    const std::string refused =
        printable(files[i]) + ": not analysed: its report " + printable(reports[i]);
    if (const auto d = data.find(key); d != data.end() && key != data_keys[i]) {
      why[i] = refused + " would replace the data file " + printable(files[d->second]);
    } else if (const auto w = written.find(key); w != written.end()) {
      why[i] = refused + " would replace the report of " + printable(files[w->second]);
    } else {
      written.emplace(key, i);
    }
  }
  return why;
}

}  // namespace brx
