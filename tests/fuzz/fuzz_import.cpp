// Fuzzes the importers alone on any bytes: the data file reader (with its row count and the tie
// repair) and the curve-set table reader. Beyond no crash and no undefined behaviour:
//
//   - the rows read are the lines counted up to the end of the data, and the values are finite;
//   - nothing after the end of the data is read: the same bytes followed by an empty line and
//     more give the same result;
//   - times that do not decrease come out of a successful tie repair strictly increasing;
//   - every curve of a table has as many times, products and lines as points, times that do not
//     decrease, [So] other than 0 and E0 above 0.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/curve_set_table.h"
#include "analysis/data_import.h"
#include "analysis/input_error.h"
#include "analysis/text_file.h"
#include "base/stop.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using brx::fuzz::check;

constexpr int kMaxRows = 2000;

struct Imported {
  bool ok = false;
  std::vector<double> P, t, y;
  int n = -1;
};

Imported import(const std::string& path) {
  Imported r;
  brx::Table y;
  try {
    brx::data_import(path, r.P, r.t, y, 1, 1, r.n, kMaxRows);
  } catch (const brx::InputError&) {
    return r;
  } catch (const brx::Stop&) {
    return r;
  }
  r.ok = true;
  for (int i = 1; i <= r.n; ++i) r.y.push_back(y(i, 1));
  return r;
}

// The lines from the start of the file up to the end of the data, line 1 included; 0 for a file
// that cannot be read as text.
int count_rows(const std::string& path) {
  int rows = 0;
  try {
    auto in = brx::TextFile::open(path);
    if (!in) return 0;
    for (std::string line; in->next(line) && !brx::ends_data(line);) ++rows;
  } catch (const brx::InputError&) {
    return 0;
  }
  return rows;
}

void check_data_file(std::string_view bytes) {
  const std::string path = brx::fuzz::write_input("in.dat", bytes).string();
  const int rows = count_rows(path);
  const Imported r = import(path);
  if (r.ok) {
    check(r.n == rows - 1, "rows read = rows counted - 1",
          std::to_string(r.n) + " vs " + std::to_string(rows));
    check(r.t.size() == static_cast<std::size_t>(r.n) + 1 && r.P.size() == 2,
          "the tables are sized from the rows");
    check(std::isfinite(r.P[1]), "[So] is finite");
    for (int i = 1; i <= r.n; ++i) {
      check(std::isfinite(r.t[static_cast<std::size_t>(i)]) &&
                std::isfinite(r.y[static_cast<std::size_t>(i - 1)]),
            "imported values are finite");
    }
  }

  // What follows the end of the data is never read.
  std::string longer(bytes);
  longer += "\n\n1, 2\n\x01\xff garbage " + std::string(bytes.substr(0, 200));
  const Imported more = import(brx::fuzz::write_input("in.dat", longer).string());
  check(more.ok == r.ok || bytes.empty(), "text after the data does not change the outcome");
  if (r.ok) {
    check(more.n == r.n && more.P == r.P && more.y == r.y &&
              std::equal(r.t.begin(), r.t.end(), more.t.begin(), more.t.end()),
          "text after the data does not change the values");
  }

  if (!r.ok || r.n < 2) return;
  std::vector<double> t = r.t;
  bool rising = true;
  for (int i = 1; i < r.n; ++i) {
    rising = rising && t[static_cast<std::size_t>(i)] <= t[static_cast<std::size_t>(i + 1)];
  }
  const double last = t.back();
  try {
    brx::repair_tied_times(t, r.n);
  } catch (const brx::Stop&) {
    return;  // ties left: the run stops with its message
  }
  check(t.back() == last * 1.01, "the repair moves the last time only by its stretch");
  // The stretch moves a last time below 0 back, which may undo the order.
  if (!rising || !(last > 0)) return;
  for (int i = 1; i < r.n; ++i) {
    check(t[static_cast<std::size_t>(i)] < t[static_cast<std::size_t>(i + 1)],
          "repaired times increase", std::to_string(i));
  }
}

void check_table(std::string_view bytes) {
  const std::string path = brx::fuzz::write_input("in.csv", bytes).string();
  brx::CurveSetTable table;
  try {
    table = brx::read_curve_set_table(path, kMaxRows);
  } catch (const brx::InputError&) {
    return;
  }
  check(!table.curves.empty(), "a table has a curve");
  for (const brx::TableCurve& c : table.curves) {
    check(c.t.size() == c.y.size() && c.t.size() == c.lines.size() && c.t.size() == c.t_raw.size(),
          "a curve's tables have one entry per point");
    check(c.so != 0 && std::isfinite(c.so) && c.e0 > 0 && std::isfinite(c.e0),
          "[So] is not 0 and E0 is above 0");
    check(!c.name.empty(), "a curve has a name");
    for (std::size_t k = 1; k < c.t.size(); ++k) {
      check(c.t[k - 1] <= c.t[k], "a table's times do not decrease");
      check(c.lines[k - 1] < c.lines[k], "a curve's points come from later lines");
    }
  }
  brx::is_curve_set_table(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check_data_file(bytes);
  check_table(bytes);
  return 0;
}
