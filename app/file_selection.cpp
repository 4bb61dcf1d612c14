#include "app/file_selection.h"

#include <unistd.h>

#include <filesystem>

#include "app/text_fields.h"
#include "app/window_guard.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

// The working directory with a trailing "/", after moving there (which only matters when the
// system reports it differently from how it was reached).
std::string settle_working_directory() {
  std::error_code ec;
  const std::string folder = with_trailing_slash(std::filesystem::current_path(ec).string());
  if (!ec && chdir(folder.c_str()) != 0) {
    // The folder was just reported; if it cannot be entered again the old one stays.
  }
  return folder;
}

void show_title(const MainWindow& w, const std::string& text) {
  with_window(w.ids.window, [&] { toolkit::setwindowtitle(text.c_str()); });
}

}  // namespace

void openfile(MainWindow& w, std::string& datafile, int& chosen) {
  chosen = 0;
  std::string path = settle_working_directory() + "*.dat";
  if (toolkit::dlgopenfile(path, "*.dat", "*.dat", "Enter data file", w.ids.window) != 1) return;
  chosen = 1;
  // The dialog leaves the working directory at the chosen file's folder.
  const std::string folder_after = settle_working_directory();
  const std::string chosen_path = trim_right(path);
  datafile = chosen_path;
  std::string name;
  {
    std::lock_guard lock(window_mutex());
    w.gp.cpath = folder_after;
    w.gp.cfilenamedata = chosen_path;
    w.gp.cfilenamepath = chosen_path;
    w.gp.cfilename = trim_right(bare_file_name(chosen_path));
    name = w.gp.cfilename;
  }
  // File names are UTF-8; the window takes single-byte text.
  show_title(w, utf8_to_cp1252(name));
}

}  // namespace brx
