#include "app/plot_picture.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "app/desktop_program.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/window_guard.h"
#include "plot/analysis_plot.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = toolkit;

std::uint32_t le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int k = bytes - 1; k >= 0; --k) {
    v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(k)]);
  }
  return v;
}

void put_be32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void chunk(std::string& png, const char* type, const std::string& data) {
  put_be32(png, static_cast<std::uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  png += body;
  const auto crc =
      crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  put_be32(png, static_cast<std::uint32_t>(crc));
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Writes beside the target and renames, so a failed write leaves no half picture.
bool write_file(const std::string& path, const std::string& bytes) {
  const std::string part = path + ".part";
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::remove(part.c_str());
      return false;
    }
  }
  if (std::rename(part.c_str(), path.c_str()) == 0) return true;
  std::remove(part.c_str());
  return false;
}

}  // namespace

int run_with_plot_pictures(int argc, char** argv, const std::function<int()>& program) {
  // No display is needed, and none is used even when there is one.
  tk::useoffscreenwindows();
  // Keep the windowing layer's notices about the off-screen display out of the error stream.
  setenv("QT_LOGGING_RULES", "default.warning=false;qt.qpa.*=false", 0);
  std::string runtime;
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
    std::string pattern = (std::filesystem::temp_directory_path() / "brx-runtime-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
      runtime = pattern;
      setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
  }
  const int status = tk::run_toolkit_program(argc, argv, program);
  if (!runtime.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(runtime, ec);
  }
  return status;
}

std::string save_plot_picture(const RunSummary& s, const globalsplot& gp,
                              const std::string& bmp_path, const std::string& png_path,
                              const std::string& abort_line) {
  // The toolkit's current window is one for the whole process: one picture at a time.
  static std::mutex one_at_a_time;
  std::lock_guard picture_lock(one_at_a_time);

  globalsplot gp_copy = gp;
  MainWindow w(gp_copy);
  w.results = s;
  if (!build_main_window(w, {kInitialXLabel, kInitialYLabel}, kInitialTitle)) {
    return "no window could be made to draw the plot in";
  }
  bool saved = false;
  with_window(w.ids.window, [&] {
    const auto n = static_cast<std::size_t>(std::max(0, s.n8));
    w.times.assign(n, 0.0);
    w.measured.assign(n, 0.0);
    w.model1.assign(n, 0.0);
    w.model2.assign(n, 0.0);
    w.abort_line = abort_line;
    // The boxes as the window leaves them after such a run (an aborted one shows no curves).
    tk::checkboxsetchecked(w.ids.model1_box, abort_line.empty());
    tk::checkboxsetchecked(w.ids.model2_box, abort_line.empty());
    dataset_changed(w);
    // Save Screen's region: from (0, 0) to the viewport's edges, the whole window after a plot.
    const tk::ViewSettings v = tk::getviewsettings();
    saved = tk::writeimagefile(bmp_path.c_str(), 0, 0, v.right, v.bottom, false) == 1;
    tk::closewindow(w.ids.window);
  });
  if (!saved) return "the picture " + bmp_path + " could not be written";
  if (png_path.empty()) return {};
  const std::string png = png_from_bmp(read_file(bmp_path));
  if (png.empty() || !write_file(png_path, png)) {
    return "the picture " + png_path + " could not be written";
  }
  return {};
}

std::string write_plot_pictures(const RunSummary& s, const globalsplot& gp) {
  return save_plot_picture(s, gp, picture_path(s.report_path, "bmp"),
                           picture_path(s.report_path, "png"),
                           aborted_run_line(missing_curves_reason(s)));
}

std::string picture_path(const std::string& report_path, const std::string& extension) {
  const std::size_t keep = report_path.size() >= 3 ? report_path.size() - 3 : 0;
  return report_path.substr(0, keep) + extension;
}

std::string png_from_bmp(const std::string& bmp) {
  constexpr std::size_t kHeaders = 54;
  if (bmp.size() < kHeaders || bmp.compare(0, 2, "BM") != 0) return {};
  const std::uint32_t offset = le(bmp, 10, 4);
  const auto width = static_cast<std::int32_t>(le(bmp, 18, 4));
  const auto height = static_cast<std::int32_t>(le(bmp, 22, 4));
  const std::uint32_t bits = le(bmp, 28, 2);
  const std::uint32_t compression = le(bmp, 30, 4);
  if (bits != 24 || compression != 0 || width <= 0 || height == 0) return {};
  const bool bottom_up = height > 0;
  const auto rows = static_cast<std::size_t>(bottom_up ? height : -height);
  const auto cols = static_cast<std::size_t>(width);
  const std::size_t row_size = (cols * 3 + 3) / 4 * 4;
  if (offset + row_size * rows > bmp.size()) return {};

  // Scan lines from the top, each led by filter type 0, pixels red-green-blue.
  std::string raw;
  raw.reserve(rows * (cols * 3 + 1));
  for (std::size_t y = 0; y < rows; ++y) {
    const std::size_t stored = bottom_up ? rows - 1 - y : y;
    const std::size_t at = offset + stored * row_size;
    raw.push_back('\0');
    for (std::size_t x = 0; x < cols; ++x) {
      raw.push_back(bmp[at + 3 * x + 2]);
      raw.push_back(bmp[at + 3 * x + 1]);
      raw.push_back(bmp[at + 3 * x]);
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packed_size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    return {};
  }
  packed.resize(packed_size);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  put_be32(header, static_cast<std::uint32_t>(cols));
  put_be32(header, static_cast<std::uint32_t>(rows));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, truecolour, no interlace
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", packed);
  chunk(png, "IEND", {});
  return png;
}

}  // namespace brx
