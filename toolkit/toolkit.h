// The windowing toolkit: numbered windows with a current window, menus, child controls, modal
// dialogs, an idle/wake-up loop for the program thread, and immediate-mode drawing with pages,
// viewports, text, bitmap saving and printing. Plain types only; Qt stays inside toolkit/.
//
// Threads. Qt's event loop runs on the process's main thread (run_toolkit_program). The
// application's procedural code runs on a program thread; every menu command, button click and
// check-box click runs its handler on a new thread of its own. Any of these threads may call
// any operation below: window, menu, control and dialog work is handed to the event-loop thread
// and the caller waits for it; drawing runs on the calling thread under the window's drawing
// lock. Operations act on the current window, one value for the whole process. An operation
// that needs a current window and finds none shows the error "Drawing operation was attempted
// when there was no current window." and ends the process with status 1. Once the program has
// returned, calls from threads still running do nothing and give their failure values.
//
// Another thread may make another window current at any moment, so the calls that wait (the
// idle loop, dialogs, saving and printing a picture) can be given their window: a wait then
// stays with that window whatever becomes current meanwhile. Without one they take the window
// current at the moment of the call.
//
// Pages are kept in logical pixels: a 550 x 650 window draws into 550 x 650 pixel pages on
// every display, and Qt scales the shown page when the display is scaled; saved and printed
// pictures have exactly the pixels the program drew.
//
// Index
//   process        run_toolkit_program, useoffscreenwindows
//   windows        initwindow, closewindow, setcurrentwindow, getcurrentwindow, isvalidwindow,
//                  getsignallingwindow, setwindowtitle, setwindowclosecallback,
//                  setwindowsystemclosecallback, setapplicationdpiaware, useansitext,
//                  setbusycursor
//   menus          addmenu, addmenuitem, addmenuseparator, enablemenuitem, enablemenu,
//                  setmenuitemshortcut
//   idle loop      startidle, stopidle, loop
//   pages          refreshall, setactivepage, setvisualpage, getactivepage, getvisualpage,
//                  swapbuffers
//   controls       createbutton, createcheckbox, createtextbox, createmultilinetextbox,
//                  enablebutton, enabletextbox, setbuttonvisible,
//                  checkboxischecked, checkboxsetchecked, settextboxcontents, gettextboxlength,
//                  gettextboxcontents, inserttextboxtext, appendtextboxtext,
//                  settextboxcursorposition, settextboxreadonly, settextboxfont
//   dialogs        dlgmessage, dlgrequesttext, dlgchooseitem, dlgopenfile, dlgsavefile
//   colours        creatergb, getredvalue, getgreenvalue, getbluevalue
//   drawing state  setcolor, getcolor, setbkcolor, getbkcolor, setfillstyle, graphresult,
//                  setviewport, resetviewport, getviewsettings, moveto, getx, gety
//   drawing        clearviewport, getmaxx, getmaxy, line, bar
//   text           settextstyle, setmatchthemetextstyle, settextjustify, outtextxy,
//                  textwidth, textheight
//   output         writeimagefile, writeimagefileas, printimage, lastfileerror
//   pictures       beginpicture, endpicture
//   vector output  isvectorformat, writevectorfile, printvector
//   identity       setapplicationidentity
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace brx::toolkit {

// ---- process ------------------------------------------------------------------------------

// Runs `program` on a program thread while the calling (main) thread runs the event loop;
// returns the program's status once it and every callback thread have ended. Call it once,
// from main(), before any other operation. An exception leaving `program` is rethrown here
// after the windows are gone (catch it inside `program` to tell the user in a message box).
int run_toolkit_program(int argc, char** argv, std::function<int()> program);
// Called before run_toolkit_program: windows exist off-screen only, so no display is needed
// (batch pictures, tests). Everything else works as usual.
void useoffscreenwindows();

// ---- windows ------------------------------------------------------------------------------

using Callback = std::function<void()>;   // menu items, buttons, check boxes, close
using CloseQuery = std::function<int()>;  // system close: 0 refuses the request

constexpr int kNoWindow = -3;             // getcurrentwindow() when none is current
constexpr int kCurrentWindow = -1;        // closewindow(), waits, dialogs: the current window
constexpr int kAllWindows = -2;           // closewindow(): every window
constexpr int kDefaultPosition = -32768;  // initwindow(): let the system place it
constexpr int kKeepOption = -1;           // initwindow(): keep the stored sticky option

// Creates a window whose drawing area is exactly width x height pixels, makes it current and
// returns its identifier (0, 1, 2, ... in creation order, never reused), or -1. A null title
// gives a default title; an empty one a window without caption; titles are cut to 255
// characters and trailing blanks removed. `dbflag` (double buffering) and `closeflag` (closing
// the window ends the process) are sticky: kKeepOption uses the values stored by the last call
// that gave them (initially 0 and 1).
int initwindow(int width, int height, const char* title = nullptr, int left = kDefaultPosition,
               int top = kDefaultPosition, int dbflag = kKeepOption, int closeflag = kKeepOption);
// Destroys a window (kCurrentWindow, kAllWindows or an identifier); unknown ones are ignored.
void closewindow(int window = kCurrentWindow);
// Makes an open window current and brings it to the front; others are ignored.
void setcurrentwindow(int window);
int getcurrentwindow();
bool isvalidwindow(int window);
// The window whose callback is running on the calling thread (or which the calling thread
// created); -1 when none.
int getsignallingwindow();
void setwindowtitle(const char* title);
// Called on the event-loop thread when the current window is closed by the user (after the
// system-close query allowed it); the window's idle loop is then woken and the window destroyed.
void setwindowclosecallback(Callback handler);
// Asked on the event-loop thread when the user closes the current window from its title bar;
// a result of 0 refuses the request.
void setwindowsystemclosecallback(CloseQuery handler);
// Does nothing: Qt scales every window for the display's resolution itself.
void setapplicationdpiaware();
// From now on all text passed in or handed back is Windows-1252 instead of UTF-8.
void useansitext();
// Shows the busy (wait) cursor over the current window while `busy`, the usual cursor otherwise.
void setbusycursor(bool busy);

// ---- menus (current window) ----------------------------------------------------------------
// In menu and item names an "&" marks the letter after it as the access key and is not shown
// ("&File": Alt+F opens the menu; in an open menu the letter alone chooses the item; "&&" shows
// one "&"). F10 opens the first usable menu of the menu bar.

// parent -1: creates the window's menu bar (name ignored), -2 if it already has one; the
// drawing area keeps its size. parent >= 0: a drop-down menu `name` at the end of that menu;
// -2 for an unknown parent or a missing name. Menu identifiers count from 0 per window.
int addmenu(const char* name, int parent);
// Appends an item running `handler` on a new thread when chosen. A handler without a name, or
// neither, appends a separator; a name without a handler, or an unknown menu, gives -2. Item
// identifiers (separators included) count from 0 per window, apart from menu identifiers.
int addmenuitem(const char* name, int menu, Callback handler);
int addmenuseparator(int menu);
void enablemenuitem(int item, bool enabled);
// Enables or greys a whole drop-down menu by its menu identifier.
void enablemenu(int menu, bool enabled);
// Gives an item a keyboard shortcut, written as "Ctrl+O", "Ctrl+Shift+S" or "F5" (empty: none);
// the menu shows it beside the name, and it works only while the item is usable. Returns 1, or
// 0 for an unknown item or keys that cannot be read.
int setmenuitemshortcut(int item, const char* keys);

// ---- idle loop (`window`, or the current window) --------------------------------------------
// Every window has its own wake-up. A wait returns early when its window is closed or the
// toolkit shuts down; a window given by identifier that is not open is not waited on.

// Waits at most `milliseconds` for the window's wake-up and consumes it if it came.
void startidle(int milliseconds, int window = kCurrentWindow);
// Wakes one waiter of the window (an auto-reset event: two wake-ups before one wait release that
// wait once).
void stopidle(int window = kCurrentWindow);
// Waits for the window's wake-up without time-out and consumes it.
void loop(int window = kCurrentWindow);

// ---- pages (current window) ----------------------------------------------------------------

// Marks the whole window for repainting when the active page is the visual page.
void refreshall();
void setactivepage(int page);  // 0..3: the page drawn into
void setvisualpage(int page);  // 0..3: the page shown
int getactivepage();
int getvisualpage();
// Double-buffered windows only: exchanges pages 0 and 1 and repaints.
void swapbuffers();

// ---- controls (current window) -------------------------------------------------------------
// Identifiers count from 0 per window, shared by every kind of control. Unknown identifiers
// are ignored (queries give -1 or 0). Positions are in drawing-area pixels. In a button's or
// check box's label an "&" marks its access key, as in menu names: Alt and the key click it.

int createbutton(int left, int top, int width, int height, const char* text, Callback handler = {});
// A check box toggles its own mark before its handler runs.
int createcheckbox(int left, int top, int width, int height, const char* text,
                   Callback handler = {});
// Single-line text box, aligned as the current horizontal text justification.
int createtextbox(int left, int top, int width, int height);
// Multi-line text box with scroll bars; without `wrap` lines scroll horizontally. Lines are
// handed back separated by CR LF.
int createmultilinetextbox(int left, int top, int width, int height, bool wrap);
void enablebutton(int id, bool enabled);  // buttons and check boxes
void enabletextbox(int id, bool enabled);
void setbuttonvisible(int id, bool visible);    // buttons and check boxes
int checkboxischecked(int id);                  // 1 when checked, else 0
void checkboxsetchecked(int id, bool checked);  // the box's handler is not called
void settextboxcontents(int id, const char* text);
// Length of the text in bytes of the current text encoding; -1 for an unknown identifier.
int gettextboxlength(int id);
// Copies at most size - 1 bytes and a terminator into `buffer`; returns the bytes copied, or
// the whole length when `buffer` is null; -1 for an unknown identifier.
int gettextboxcontents(int id, char* buffer, int size);
std::string gettextboxcontents(int id);
// Inserts at the caret, replacing any selection; the box's limit grows so nothing is lost.
void inserttextboxtext(int id, const char* text);
// Appends at the end of the text; the caret, any selection and the scrolled view stay put.
void appendtextboxtext(int id, const char* text);
constexpr int kTextEnd = 2147483647;
// Puts the caret at `position` (kTextEnd: the end) and scrolls it into view.
void settextboxcursorposition(int id, int position);
// A read-only text box can be scrolled, and its text selected and copied, but not changed by
// the user; the program may still change it.
void settextboxreadonly(int id, bool readonly);
// The text box's font, numbered and sized as for settextstyle (6: fixed pitch, for text laid
// out in columns).
void settextboxfont(int id, int font, int size);

// ---- dialogs (modal to `window`, or to the current window) ----------------------------------
// A dialog whose window is not open (or closes meanwhile) is shown without an owner.

// Message box with one OK button: kind 1 "Information", 2 "Warning", 3 "Error", any other
// "Message" (no icon). Lines are separated by CR LF or LF.
void dlgmessage(int kind, const char* text, int window = kCurrentWindow);
// One-line text request pre-filled with `text` (trailing blanks removed). "Ok" stores the entry
// (at most `maxlength` characters when positive) and returns 1; "Cancel" or closing returns 0
// and leaves `text` unchanged. A null title gives "Input Requested".
int dlgrequesttext(std::string& text, const char* title, const char* prompt, int maxlength = 0,
                   int window = kCurrentWindow);
// A list to choose one entry from, the entry `index` selected at first (none when out of range).
// "Ok" (or a double click) stores the chosen entry's place in `index` and returns 1; "Cancel" or
// closing returns 0 and leaves `index` unchanged, as does an empty list. A null title gives
// "Choose".
int dlgchooseitem(int& index, const std::vector<std::string>& items, const char* title,
                  const char* prompt, int window = kCurrentWindow);
// File dialogs: `filename` ending in "/" names the folder to open in; otherwise it starts the
// name field (a folder and pattern such as /data/*.dat lists matching files there). The filter
// offers `description` (or the pattern's name) selecting `pattern`, then "All Files". On
// confirmation `filename` becomes the full path and the result is 1; otherwise 0. The open
// dialog moves the working directory to the chosen file's folder when that folder can be
// entered (else it stays where it was); saving never asks before overwriting.
int dlgopenfile(std::string& filename, const char* description, const char* pattern,
                const char* title, int window = kCurrentWindow);
int dlgsavefile(std::string& filename, const char* description, const char* pattern,
                const char* title, int window = kCurrentWindow);

// ---- colours -------------------------------------------------------------------------------

// Colours are packed 0x00BBGGRR.
constexpr int creatergb(int r, int g, int b) {
  return r + 256 * g + 65536 * b;
}
constexpr int getredvalue(int colour) {
  return colour & 0xFF;
}
constexpr int getgreenvalue(int colour) {
  return (colour >> 8) & 0xFF;
}
constexpr int getbluevalue(int colour) {
  return (colour >> 16) & 0xFF;
}

// ---- drawing state (current window) --------------------------------------------------------

void setcolor(int colour);  // lines and text
int getcolor();
void setbkcolor(int colour);  // clearing and text background
int getbkcolor();
// 0 empty (background colour), 1 solid, 2..11 hatched and dotted patterns, 12 user pattern
// (drawn solid); other styles change nothing and make graphresult() -11.
void setfillstyle(int style, int colour);
// Result of the last failing drawing-state call (0 when none); reading it clears it.
int graphresult();

struct ViewSettings {
  int left, top, right, bottom, clip;
};
// Viewport in window coordinates; drawing coordinates become relative to (left, top), drawing
// outside is cut when `clip` is non-zero; the current position becomes (0, 0).
void setviewport(int left, int top, int right, int bottom, int clip);
void resetviewport();  // the whole window, no clipping
ViewSettings getviewsettings();
void moveto(int x, int y);  // current position, viewport coordinates
int getx();
int gety();

// ---- drawing (current window, active page) -------------------------------------------------

// Fills the viewport (right - left by bottom - top pixels) with the background colour; the
// current position becomes (0, 0).
void clearviewport();
int getmaxx();  // width - 1
int getmaxy();  // height - 1
// Straight line in the drawing colour; the current position does not move.
void line(int x1, int y1, int x2, int y2);
// Filled rectangle without outline; the right and bottom edges are not filled.
void bar(int left, int top, int right, int bottom);

// ---- text ----------------------------------------------------------------------------------

// font 0..8 (0 bold sans, 1 sans, 2 serif, 3 script, 4 bold sans, 5 bold serif, 6 fixed pitch,
// 7 interface font, 8 symbols); direction 0 horizontal, other values vertical (reading bottom
// to top), -999 keeps the direction; size is the text cell height in pixels.
void settextstyle(int font, int direction, int size);
// The desktop's interface font at its own size (recorded as font 7).
void setmatchthemetextstyle();
// horizontal: 0 left, 1 centre, 2 right; vertical: 0 bottom, 1 centre, 2 top.
void settextjustify(int horizontal, int vertical);
// Moves the current position to (x, y), then writes there, justified, in the drawing colour on
// the background colour; the current position's y moves to the text's lower edge (for vertical
// text its x to the right edge).
void outtextxy(int x, int y, const char* text);
// Size of the unturned text in the current font; -1 when it cannot be converted.
int textwidth(const char* text);
int textheight(const char* text);

// ---- output (`window`, or the current window; while the calling thread draws a picture, that
// picture) ---------------------------------------------------------------------------------------
// Files are replaced in one step: a reader sees the old file or the new one, never half of one.

// Saves a region of the window as a 24-bit BMP file; returns 1 when written, 0 when the window
// is not open. Without a name a save dialog asks for one (".BMP" is appended to a chosen name
// without a three-letter extension). Regions are clamped to the window; the picture is
// |right - left| + 1 by |bottom - top| + 1 pixels, taken from the visual page (the active page
// when `active`).
int writeimagefile(const char* name, int left, int top, int right, int bottom, bool active = false,
                   int window = kCurrentWindow);
// No name, from (0, 0) to the current viewport's right and bottom edges, visual page.
int writeimagefile();
// As writeimagefile with a name, in `format`: "bmp" (the BMP of writeimagefile) or any format
// the image writer of the windowing layer knows ("png", "jpg", ...), in any letter case.
int writeimagefileas(const char* name, const char* format, int left, int top, int right, int bottom,
                     bool active = false, int window = kCurrentWindow);
// Prints a region of the window on one page after the print dialog, under `title` (null: the
// window's title); returns 1 when printed.
int printimage(const char* title, int left, int top, int right, int bottom, bool active = false,
               int window = kCurrentWindow);
// No title, from (0, 0) to the current viewport's right and bottom edges, visual page.
int printimage();
// Why the calling thread's last writeimagefile, writeimagefileas or printimage gave 0, in words
// ("Permission denied"); empty after one that succeeded or whose dialog was cancelled.
std::string lastfileerror();

// ---- pictures (calling thread) -------------------------------------------------------------

// Starts a picture of width x height pixels drawn by the calling thread alone, without a window:
// until endpicture, this thread's drawing, text and output operations act on the picture,
// whatever window is current, while other threads go on with theirs (several threads may draw
// pictures at once). The picture starts as a new window's page does: black, with the default
// drawing state. It is never shown. Needs the running toolkit (its fonts), not the event-loop
// thread. Returns 1, or 0 when this thread is drawing a picture already.
int beginpicture(int width, int height);
// Ends and forgets the calling thread's picture.
void endpicture();

// ---- vector output (calling thread) --------------------------------------------------------
// A vector picture is drawn as a picture is (beginpicture), by the calling thread alone, but its
// lines, bars and text become lines, rectangles and text of a document instead of pixels: it
// stays sharp at any size. It starts empty (white paper, not a black page) and has no pixels to
// save with writeimagefile. Lines are one picture pixel wide, whatever the document's scale.

// Whether writevectorfile writes `format`: "svg" or "pdf", in any letter case.
bool isvectorformat(const char* format);
// Runs `draw`, whose drawing operations act on a new vector picture of width x height pixels,
// and writes the picture as a file in `format`: an SVG image of that many pixels, or a one-page
// PDF document of that size at 96 pixels to the inch. `draw` must only draw. Returns 1 when
// written, else 0 with the reason in lastfileerror().
int writevectorfile(const char* name, const char* format, int width, int height,
                    const std::function<void()>& draw);
// Prints what `draw` draws on a width x height vector picture, on one page after the print
// dialog (modal to `window`), placed as printimage places a window's picture but drawn at the
// printer's resolution; `title` as for printimage (null: the title of `window`). `draw` runs on the
// event-loop thread and must only draw. Returns 1 when printed.
int printvector(const char* title, int width, int height, const std::function<void()>& draw,
                int window = kCurrentWindow);

// ---- identity ------------------------------------------------------------------------------

// Names the program's desktop entry (its file name without ".desktop"), so that the desktop
// shell matches the program's windows to that entry, and gives the windows the icon theme's icon
// of that name, or else the icon made of those `icon_files` that can be read (sizes of one
// picture, SVG or PNG). Call it before run_toolkit_program or from the program.
void setapplicationidentity(const std::string& desktop_id,
                            const std::vector<std::string>& icon_files);

}  // namespace brx::toolkit
