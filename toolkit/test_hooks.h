// Test seam of the toolkit: answer modal dialogs without showing them, read a window's pages
// as pixels, and act as the user would (choose a menu item, click a control, press the
// title-bar close button). Only tests and demo programs include this header.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace brx::toolkit::test {

enum class DialogKind { Message, RequestText, ChooseItem, OpenFile, SaveFile, Print };

// What a dialog would have shown.
struct DialogRequest {
  DialogKind kind = DialogKind::Message;
  std::string title;
  // Message: its text. RequestText: the pre-filled entry. Open/SaveFile: the initial file name
  // ("" when the dialog opens on a folder). Print: the document's title line. ChooseItem: the
  // entry selected at first ("" when none).
  std::string text;
  std::string prompt;              // RequestText: the prompt
  std::string folder;              // Open/SaveFile: the folder the dialog opens in ("" when none)
  std::string filter;              // Open/SaveFile: "Description (pattern);;All Files (*)"
  int icon = 0;                    // Message: 0 none, 1 information, 2 warning, 3 error
  bool confirm_overwrite = false;  // SaveFile: whether overwriting would be confirmed
  int window = -1;                 // the window the dialog is modal to (-1: none)
  std::vector<std::string> items;  // ChooseItem: the entries offered, in order
};

// The user's answer: `accepted` false is Cancel. RequestText: the entry; ChooseItem: the text of
// the entry chosen (one not offered counts as Cancel); Open/SaveFile: the
// chosen path; Print: the absolute path of the PDF file to print into.
struct DialogAnswer {
  bool accepted = false;
  std::string text;
};

using DialogAnswerer = std::function<DialogAnswer(const DialogRequest&)>;

// While an answerer is installed no dialog is shown: each dialog asks it instead, on the
// thread that opened the dialog. An empty function restores the real dialogs.
void set_dialog_answerer(DialogAnswerer answerer);

// A page as 0x00RRGGBB pixels, row by row from the top.
struct PageImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// Copy of a page of a window (-1: its visual page); empty when the window is not open.
PageImage grab_page(int window, int page = -1);

// What the window shows on screen, rendered by its widgets (menu bar, controls, picture),
// saved as PNG; returns true when written.
bool save_window_snapshot(int window, const std::string& png_path);

// Size of a window's drawing area as laid out on screen: {width, height}, {0, 0} if not open.
std::pair<int, int> client_size(int window);

// Acts as the user would, on the event-loop thread; the call returns once the event has been
// handled (handlers themselves run on their own threads and may still be running).
void choose_menu_item(int window, int item);
void click_control(int window, int id);
void press_close_button(int window);
bool menu_item_enabled(int window, int item);
bool control_enabled(int window, int id);
bool control_visible(int window, int id);
std::string window_title(int window);

// The name of a menu or of a menu item as it was given, "&" markers included; "" when unknown.
std::string menu_text(int window, int menu);
std::string menu_item_text(int window, int item);
// A menu item's shortcut written as "Ctrl+O" ("" when it has none).
std::string menu_item_shortcut(int window, int item);

// Makes the window the active one and presses `keys` ("Ctrl+O", "Alt+F", "F10", "O", "Escape")
// as the user would: the keys take the path of the keyboard's own events, through shortcuts,
// access keys and open menus. Returns false when the window is not open or does not become
// active, or the keys cannot be read.
bool press_keys(int window, const std::string& keys);
// The name of the drop-down menu that is open ("" when none), "&" markers included; and
// closing it (false when none is open).
std::string open_menu_text();
bool close_open_menu();

// Whether the busy cursor shows over the window's drawing area.
bool busy_cursor_shown(int window);

// How a text box shows its text.
struct TextBoxLook {
  bool read_only = false;
  std::string font_family;  // the face in use
  bool fixed_pitch = false;
  int top_line = -1;  // multi-line boxes: the first line in view (0: scrolled to the top)
  int left = -1;      // the horizontal scroll position (0: the lines' start in view)
};
TextBoxLook textbox_look(int window, int id);

// The title of the modal dialog being shown ("" when none), and closing it as Ok (`accept`) or
// Cancel would; returns false when no dialog is open. For exercising the real dialogs.
std::string open_dialog_title();
bool close_open_dialog(bool accept);

// The desktop entry the program names (setapplicationidentity), and the sizes of its windows'
// icon as {width, height} pairs (empty without an icon).
std::string desktop_file_name();
std::vector<std::pair<int, int>> window_icon_sizes(int window);

// Number of callback threads that have not finished yet.
int running_callbacks();

// Closes every window and starts the window table afresh (identifiers from 0 again), restores
// the sticky creation options and UTF-8 text. For use between tests.
void reset_toolkit();

}  // namespace brx::toolkit::test
