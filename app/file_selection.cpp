#include "app/file_selection.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "analysis/curve_set_table.h"
#include "analysis/input_error.h"
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

// Reads the table `path` and asks which of its curves to analyse; null when it cannot be read
// (the error box names the file, the line and the column) or the user cancels.
std::shared_ptr<const CurveSetTable> choose_curve(const MainWindow& w, const std::string& path,
                                                  std::string& curve_name) {
  std::shared_ptr<const CurveSetTable> table;
  try {
    table = std::make_shared<const CurveSetTable>(read_curve_set_table(path));
  } catch (const InputError& e) {
    const std::string box = "The table cannot be read:\r\n" + utf8_to_cp1252(e.what());
    toolkit::dlgmessage(kErrorBox, box.c_str(), w.ids.window);
    return nullptr;
  }
  std::vector<std::string> names;
  for (const TableCurve& c : table->curves) names.push_back(utf8_to_cp1252(c.name));
  int index = 0;
  const std::string prompt = "Curve of " + utf8_to_cp1252(bare_file_name(path)) + " to analyse:";
  if (toolkit::dlgchooseitem(index, names, "Choose a curve", prompt.c_str(), w.ids.window) != 1) {
    return nullptr;
  }
  curve_name = table->curves[static_cast<std::size_t>(index)].name;
  return table;
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
  const std::string before = working_directory();
  std::string path = before + "*.dat";
  if (toolkit::dlgopenfile(path, "Data files and tables", kOpenPatterns, "Enter data file",
                           w.ids.window) != 1) {
    return;
  }
  const std::string chosen_path = trim_right(path);
  // A folder that cannot be entered (typed in the dialog but missing, or without search
  // permission) holds no file the program could read, nor room for its report: the pick is not
  // taken.
  const std::string folder = std::filesystem::path(chosen_path).parent_path().string();
  if (!enter_data_folder(folder, w.ids.window)) return;
  // A table is read now, to offer its curves; one that cannot be read, or a cancelled choice,
  // changes nothing, as Cancel does.
  std::shared_ptr<const CurveSetTable> table;
  std::string curve_name;
  if (is_curve_set_table(chosen_path)) {
    table = choose_curve(w, chosen_path, curve_name);
    if (table == nullptr) {
      if (!before.empty()) enter_data_folder(before, w.ids.window);
      return;
    }
  }
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
    if (table != nullptr) name += " \x97 " + curve_name;  // the table and its curve
    w.table = std::move(table);
    w.curve_name = curve_name;
  }
  // File names are UTF-8; the window takes single-byte text.
  show_title(w, utf8_to_cp1252(name));
}

}  // namespace brx
