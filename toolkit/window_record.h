// Internals shared by the toolkit's source files: the window record, the window table, the
// hand-over of work to the event-loop thread and the callback threads. Qt types live here,
// never in toolkit.h.
#pragma once

#include <QFont>
#include <QImage>
#include <QKeySequence>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/test_hooks.h"
#include "toolkit/toolkit.h"

class QAction;
class QDialog;
class QPainter;
class QMenuBar;
class QWidget;

namespace brx::toolkit::detail {

class Frame;
class Canvas;

// Drawing state of one window; guarded by Window::draw_mutex.
struct DrawState {
  int color = 0xFFFFFF;
  int bkcolor = 0;
  int fillstyle = 1;
  int fillcolor = 0xFFFFFF;
  int vp_left = 0, vp_top = 0, vp_right = 0, vp_bottom = 0, vp_clip = 0;
  int cp_x = 0, cp_y = 0;  // current position, viewport coordinates
  int font = 0, direction = 0, size = 12;
  QFont qfont;
  int hjust = 0, vjust = 2;
  bool refresh = true;
  int active = 0, visual = 0;
  int graphresult = 0;
};

enum class ControlKind { Button, CheckBox, TextBox, MultiLineTextBox };

// A child control; lives on the event-loop thread only.
struct Control {
  ControlKind kind = ControlKind::Button;
  QPointer<QWidget> widget;  // null: the identifier is free
  Callback handler;
};

struct Window {
  std::atomic<int> id{-1};
  int width = 0, height = 0;
  bool dbflag = false, closeflag = true;
  std::thread::id creator;
  std::atomic<bool> open{false};
  std::atomic<bool> raise_posted{false};  // a request to bring it to the front is on its way

  // Guarded by draw_mutex: the pages and everything drawing reads or writes.
  std::mutex draw_mutex;
  QImage pages[4];
  DrawState ds;
  QRect dirty;                  // not yet repainted part of the visual page
  bool repaint_posted = false;  // a repaint request is on its way to the event loop
  // A vector picture's painter (vector_output.cpp): while set, drawing goes to it, not to the
  // pages, which stay empty.
  QPainter* vector = nullptr;

  // Guarded by the process-wide idle mutex (windows.cpp); the waits also end once `open` is
  // false, so closing a window notifies that mutex's condition variable.
  bool idle_set = false;

  // Event-loop thread only.
  Frame* frame = nullptr;
  Canvas* canvas = nullptr;
  QMenuBar* menubar = nullptr;
  std::vector<QWidget*> menus;  // menu identifier -> the menu bar or a drop-down menu
  std::vector<QAction*> items;  // item identifier -> action (separators included)
  std::vector<Callback> item_handlers;
  std::vector<Control> controls;
  Callback close_callback;
  CloseQuery system_close_callback;
  int last_command = -1;
  QString title;
};

using WindowPtr = std::shared_ptr<Window>;

// ---- process (process.cpp) -----------------------------------------------------------------

bool on_gui_thread();
bool toolkit_closing();
// Runs `work` on the event-loop thread and waits for it (directly when already there).
// Returns false, without running it, when the toolkit is not running or is shutting down.
bool run_on_gui(const std::function<void()>& work);
// Queues `work` for the event-loop thread without waiting; dropped once shutting down.
void post_to_gui(std::function<void()> work);
// Runs `handler` on a new thread counted as a callback thread of `window` (event-loop
// thread only); `command` is recorded as the window's last command meanwhile.
void start_callback(const WindowPtr& window, int command, Callback handler);
// The window whose callback runs on the calling thread, or -1.
int callback_window_of_this_thread();
// Ends the process at once with `status`, flushing the standard streams first.
[[noreturn]] void end_process(int status);
// The interface font of the desktop, read once at start-up.
QFont interface_font();

// ---- identity (identity.cpp) ---------------------------------------------------------------

// Gives the application the desktop entry name and window icon set by setapplicationidentity
// (event-loop thread; run_toolkit_program calls it at its start).
void apply_identity();

// ---- windows (windows.cpp) -----------------------------------------------------------------

// The open window with this identifier, or null.
WindowPtr window_by_id(int id);
// The current window; shows the fatal error and ends the process when there is none (returns
// null only while the toolkit shuts down).
WindowPtr current_window();
// The window a call names: `window`, or the current one for kCurrentWindow (and then as
// current_window()); null when the window named is not open.
WindowPtr addressed_window(int window);
// Identifier of the current window (kNoWindow when none).
int current_window_id();
// Sets the idle event of the current window, if any.
void wake_current_window();
// Destroys the window's widgets and clears its slot (event-loop thread).
void destroy_window(const WindowPtr& window);
// Closes every window and forgets the table (event-loop thread, at shutdown or between tests).
void forget_all_windows();
// Wakes every thread waiting in loop() or startidle() (shutdown).
void wake_all_idle_waiters();

// ---- drawing (drawing.cpp) ----------------------------------------------------------------

// Fills every page with black, resets the drawing state and selects the default font.
void reset_drawing_state(Window& w);
// What drawing and image output act on: the calling thread's picture (beginpicture) if it has
// one, else the current window (null only while the toolkit shuts down).
WindowPtr drawing_target();
// Marks `r` of the window for repainting if the active page is shown; caller holds the lock.
// Returns true when the caller must post the repaint (after unlocking).
bool mark_dirty(Window& w, const QRect& r);
void post_repaint(const WindowPtr& w);
// Makes the calling thread draw into `painter` as into a picture of width x height pixels
// (beginpicture) until endpicture: the vector pictures of vector_output.cpp. False when the
// thread draws a picture already.
bool begin_vector_picture(QPainter& painter, int width, int height);
// Theme font as a control font.
QFont control_font();
// The font of text style `font` (0..8, as settextstyle) with a text cell `size` pixels high.
QFont style_font(int font, int size);

// ---- text (text_encoding.cpp) ---------------------------------------------------------------

bool ansi_text();
void set_ansi_text(bool on);
// Converts program text in the current encoding; `ok` false on malformed UTF-8.
QString from_program_text(const char* text, bool* ok = nullptr);
std::string to_program_text(const QString& text);
// File names are always the system's own (UTF-8) bytes.
QString from_file_name(const std::string& name);
std::string to_file_name(const QString& name);
// Removes trailing blanks.
std::string trim_right(std::string s);
// Keys written as "Ctrl+O" or "F10"; empty for a null or empty text and for keys that cannot
// be read.
QKeySequence keys_from_text(const char* keys);

// ---- dialogs (dialogs.cpp) -----------------------------------------------------------------

// The window a dialog is modal to: `window`, or the current one for kCurrentWindow; null when
// there is none (never fatal: the error box about a missing window needs no owner). Taken on the
// calling thread, when the dialog is asked for.
WindowPtr dialog_window(int window);
// The frame to own a dialog of `window`; null when the window is gone (event-loop thread).
QWidget* dialog_owner(const WindowPtr& window);
// Shows a modal dialog that was made with `new` and is held by a QPointer; true when it was
// accepted. The dialog may be destroyed meanwhile with its owner window (closed from another
// thread): then it counts as cancelled, and the caller's `delete` through its QPointer does
// nothing.
bool run_modal(QDialog* dialog);
// Save dialog of writeimagefile, modal to `window`; returns false when cancelled.
bool ask_image_file_name(const WindowPtr& window, std::string& name);

// ---- output (image_output.cpp) -------------------------------------------------------------

// Forgets the printer settings kept between print jobs (event-loop thread, at shutdown).
void release_printer();
// Sets what lastfileerror() tells the calling thread ("" after a success).
void set_file_error(std::string reason);

// ---- vector output (vector_output.cpp) -----------------------------------------------------

// Draws what `draw` draws on a vector picture of `size` pixels into `target` of `painter`'s
// device, scaled to fill it; false (with the reason for lastfileerror) when the calling thread
// draws a picture already.
bool draw_vector_picture(QPainter& painter, const QRectF& target, QSize size,
                         const std::function<void()>& draw);

// ---- test seam (test_hooks.cpp) -------------------------------------------------------------

void reset_sticky_options();
// Asks the installed dialog answerer; false when none is installed (show the real dialog).
bool answer_by_test(const test::DialogRequest& request, test::DialogAnswer& answer);

}  // namespace brx::toolkit::detail
