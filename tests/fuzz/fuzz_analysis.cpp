// Fuzzes the whole analysis of the batch command on any bytes as a data file: import, repair,
// normalisation, both fits, the comparison, the report and the cross-check. Beyond no crash and
// no undefined behaviour: the JSON line is valid, a report is left exactly when the file counts
// as analysed, and no temporary file is left (check_whole_analysis).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Few rows: every row adds to the fits' time, and the limit itself is the importer's to test.
  constexpr int kMaxRows = 200;
  brx::fuzz::check_whole_analysis(brx::fuzz::write_input("in.dat", bytes), kMaxRows);
  return 0;
}
