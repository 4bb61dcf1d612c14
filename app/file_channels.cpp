#include "app/file_channels.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

namespace brx {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<int, std::string> open;  // channel -> file
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

int nuunit(int from, int to) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (int n = from; n <= to; ++n) {
    if (!r.open.contains(std::abs(n))) return n;
  }
  return 0;
}

bool connect_unit(int unit, const std::string& path, UnitPosition position) {
  // The file is created here; readers and writers open it by name afterwards.
  if (position == UnitPosition::kAppend) {
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (f == nullptr) return false;
    std::fclose(f);
  }
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.open[unit] = path;
  return true;
}

void close_unit(int unit) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.open.erase(unit);
}

int isunitopen(int unit) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.open.contains(unit) ? 1 : 0;
}

std::string unit_file_name(int unit) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  const auto it = r.open.find(unit);
  return it == r.open.end() ? std::string() : it->second;
}

int unit_of_file(const std::string& path) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (const auto& [unit, file] : r.open) {
    if (file == path) return unit;
  }
  return 0;
}

void close_all_units() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.open.clear();
}

}  // namespace brx
