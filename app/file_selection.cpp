#include "app/file_selection.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/text_fields.h"
#include "app/window_guard.h"
#include "app/window_look.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

// The working directory with a trailing "/"; "" when it cannot be read (it was removed).
std::string working_directory() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::current_path(ec);
  return ec ? std::string() : with_trailing_slash(folder.string());
}

void show_title(const MainWindow& w, const std::string& text) {
  with_window(w.ids.window, [&] { toolkit::setwindowtitle(text.c_str()); });
}

}  // namespace

bool enter_data_folder(const std::string& folder, int window) {
  if (chdir(folder.c_str()) == 0) return true;
  char reason[256];
  const std::string message = "The folder of the data file cannot be entered:\r\n" +
                              utf8_to_cp1252(folder) + "\r\n" +
                              strerror_r(errno, reason, sizeof reason);
  toolkit::dlgmessage(kErrorBox, message.c_str(), window);
  return false;
}

void openfile(MainWindow& w, std::string& datafile, int& chosen) {
  chosen = 0;
  std::string path = working_directory() + "*.dat";
  if (toolkit::dlgopenfile(path, "*.dat", "*.dat", "Enter data file", w.ids.window) != 1) return;
  const std::string chosen_path = trim_right(path);
  // A folder that cannot be entered (typed in the dialog but missing, or without search
  // permission) holds no file the program could read, nor room for its report: the pick is not
  // taken.
  const std::string folder = std::filesystem::path(chosen_path).parent_path().string();
  if (!enter_data_folder(folder, w.ids.window)) return;
  chosen = 1;
  // The folder as the system reports it now (a link in the chosen path is resolved).
  const std::string folder_after = working_directory();
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
