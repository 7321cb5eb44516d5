// The windowing side of the platform layer: the main window, the controls
// that tools place on it, the menu, the status bar, the one timer, the modal
// boxes and dialogs, and image windows that show pictures the program draws.
//
// Two backends implement every function declared here and are chosen when a
// program is linked: platform/wx (the desktop program) and platform/headless
// (tests and regscope-script). Both follow the same rules, and the tests rely
// on them:
//   - every notification of a control (click, focus gained or lost, text
//     changed) reaches the event sink's on_command synchronously, with the
//     control's identifier; setting a box's text from the program is a text
//     change too;
//   - message boxes, the text-input box and the dialogs are modal: the call
//     returns the user's answer;
//   - one thread.
//
// Positions and sizes are dialog units of the main window, except those of
// image windows, which are pixels. Colours are those of platform/colour.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/colour.h"

namespace ui {

// ---------------------------------------------------------------------------
// Events from the window system to the program

enum class Notify {
    Menu,     // a menu item or an accelerator
    Click,    // button, check box, option button, swatch
    FocusIn,  // an edit box gained the focus
    FocusOut, // an edit box lost the focus
    Change,   // an edit box's text changed (typed or set by the program)
};

struct EventSink {
    void (*on_init)() = nullptr; // window created, before it is shown
    void (*on_command)(int id, Notify how) = nullptr;
    void (*on_timer)() = nullptr;                // a tick of the one timer
    void (*on_menu_highlight)(int id) = nullptr; // 0: no item (submenu title, menu closed)
    // The user has moved the main window: once the move has ended (a drag
    // brings many move events), and at the close for a move not yet told.
    void (*on_moved)(int x_dlu, int y_dlu) = nullptr;
    void (*on_activate)(bool active) = nullptr;
    // Windows beside the main window (image and line windows, below), by
    // handle: a button was pressed; the refresh period came round; the user
    // closed the window (its close command was allowed). A closed window is
    // gone when this is called: the handle is no longer valid and the
    // program may free what it showed.
    void (*on_window_command)(int window, int command) = nullptr;
    void (*on_window_refresh)(int window) = nullptr;
    void (*on_window_closed)(int window) = nullptr;
};

// Starts the window system (command-line arguments of the program); false
// when it cannot run (no display).
bool Initialize(int argc, char** argv);

// Set once, before CreateMainWindow.
void SetEventSink(const EventSink& sink);

// ---------------------------------------------------------------------------
// Main window

struct MenuItem {
    std::string text;            // "&Load...\tCtrl+L"; empty with command 0 = separator
    int command = 0;             // 0 for a separator or a submenu title
    std::vector<MenuItem> items; // non-empty: this item is a submenu
};

struct Accelerator {
    char key; // upper-case letter, always with Ctrl
    int command;
};

// Creates the main window (not yet shown), its status bar, menu and
// accelerators, then calls on_init.
void CreateMainWindow(const std::string& title, int x_dlu, int y_dlu, int client_w_dlu,
                      int client_h_dlu, const std::vector<MenuItem>& menu,
                      const std::vector<Accelerator>& accelerators);
// Shows the window and runs the message loop until the window closes.
// The headless backend returns at once: its user is the script.
void RunMainWindow();
void CloseMainWindow();
bool MainWindowOpen();

// Holds back the painting of the main window while a panel rebuilds many
// controls, so that the user sees the new panel at once and not every
// control as it comes. The window stays on the screen meanwhile (hidden, it
// would vanish and come back), and its controls, menu and timer keep
// working. Calls do not nest: one ThawMainWindow ends the freeze.
void FreezeMainWindow();
void ThawMainWindow();
// True from FreezeMainWindow to ThawMainWindow.
bool MainWindowFrozen();

void SetTitle(const std::string& title);
std::string GetTitle();
void SetClientSize(int w_dlu, int h_dlu);
void GetClientSize(int* w_dlu, int* h_dlu);
void GetWindowPosition(int* x_dlu, int* y_dlu);

void CheckMenuItem(int command, bool checked);
bool IsMenuItemChecked(int command);

void SetStatus(const std::string& text, Colour background);
std::string GetStatusText();
Colour GetStatusColour();

// The one timer (the auto-read timer). Ticks fall due at start + k * period
// on the monotonic clock, so the time taken to handle them never adds up.
// Ticks that fall due while the program is busy are not queued: they come as
// one tick, as soon as the program is free again. Starting the timer again
// restarts the period.
void StartTimer(int period_ms);
void StopTimer();
int TimerPeriod(); // 0 when stopped; a resting timer keeps its period
// For a running timer whose ticks would do nothing: it keeps its period, but
// the window system stops waking the program for it until StartTimer.
void RestTimer();
bool TimerResting();

// ---------------------------------------------------------------------------
// Controls

enum class Kind {
    Label,     // static text
    Separator, // etched horizontal line
    Button,    // push button
    Edit,      // edit box, single or multi-line
    Check,     // auto check box
    Option,    // auto option button; the options of one group share `group`
    Frame,     // group frame
    Swatch,    // coloured square that reports clicks
};

enum class Font { Dialog, Title, Value, Result };

enum Style : unsigned {
    kReadOnly = 1u << 0,
    kMultiLine = 1u << 1, // Enter starts a new line, vertical scroll bar
    kAlignRight = 1u << 2,
    kAlignCenter = 1u << 3,
    kTabStop = 1u << 4,
    kClientEdge = 1u << 5,
    kDisabled = 1u << 6,
};

constexpr Colour kDefaultColour = 0xFFFFFFFFu; // the control kind's own colour

struct ControlSpec {
    Kind kind = Kind::Label;
    int id = 0;
    std::string text;
    int x = 0, y = 0, w = 0, h = 0; // dialog units
    unsigned style = 0;
    Font font = Font::Dialog;
    Colour text_colour = kDefaultColour;
    Colour back_colour = kDefaultColour;
    int group = 0; // Option: identifier shared by the options of one group
};

// Creating an identifier that exists replaces the old control.
void CreateControl(const ControlSpec& spec);
void DestroyControl(int id);
bool ControlExists(int id);

// Kept forms: a tool opened again and again may keep its form between
// openings instead of building it anew. The main window's controls created
// between BeginKeptForm and EndKeptForm make up form `form` (a number of the
// tool's own, not 0), on a panel of their own that the user sees whole at
// EndKeptForm. SetFormAside(form) takes the form off the window at once: its
// controls keep their state but are no control of the program's (no
// ControlExists, no notification) until ShowKeptForm puts them back as they
// were. Forms end with the main window. A dialog's controls never belong to
// a form; creating a control under the identifier of one that belongs to a
// form replaces it in the form, in its place in the Tab order.
void BeginKeptForm(int form);
void EndKeptForm();
void SetFormAside(int form);
// False when there is no such form set aside: the tool builds it.
bool ShowKeptForm(int form);

std::string GetText(int id);                       // multi-line boxes: lines joined by CR LF
void SetText(int id, const std::string& text);     // notifies Change for edit boxes
void SetColours(int id, Colour text, Colour back); // kDefaultColour keeps that one
Colour GetBackColour(int id);
Colour GetTextColour(int id);
void Enable(int id, bool enabled);
bool IsEnabled(int id);
bool IsReadOnly(int id);
void SetChecked(int id, bool checked);
bool IsChecked(int id);
void SetFocus(int id);
int GetFocus();      // 0: no control of ours
void Redraw(int id); // 0: the whole window

// ---------------------------------------------------------------------------
// Modal boxes and dialogs

enum class Icon { None, Stop, Exclamation, Information };
enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

Answer MessageBox(const std::string& text, const std::string& title, Icon icon, Buttons buttons);

// The text-input box. Returns false when cancelled.
bool InputBox(const std::string& prompt, const std::string& title, const std::string& initial,
              std::string* answer);
// The text-input box for a password: what is typed is not shown, and the
// box starts empty. Returns false when cancelled.
bool PasswordBox(const std::string& prompt, const std::string& title, std::string* answer);

struct FileFilter {
    std::string description; // "Configuration file (*.cfg)"
    std::string patterns;    // "*.cfg" or "*.txt;*.log"
};

struct FileDialogSpec {
    bool save = false;
    std::string title;
    std::string file_name; // proposed file name, may be a full path
    std::string folder;    // folder the dialog opens in; empty = working directory
    std::vector<FileFilter> filters;
    int filter_index = 0;    // preselected filter, 0-based
    std::string default_ext; // without the dot, added to a name typed without one
    unsigned flags = 0;      // passed through, returned in flags_out
};

// Returns false when cancelled. *chosen is the full path of the choice.
bool FileDialog(const FileDialogSpec& spec, std::string* chosen, unsigned* flags_out);

// The colour dialog; custom holds 16 colours and keeps the user's changes.
bool ColourDialog(Colour initial, Colour custom[16], Colour* chosen);

// ---------------------------------------------------------------------------
// Dialogs that host controls

struct DialogSpec {
    std::string title;
    int w_dlu = 0, h_dlu = 0; // client area, dialog units
    Colour background = Rgb(240, 240, 240);
};

// Opens a modal dialog over the main window (or over the dialog open now),
// at a position the window system chooses, and returns when the user closes
// it with its close box: a dialog has no OK button of its own.
//
// `build` runs once the dialog exists and before the user sees it. While the
// dialog is open it is the current parent: CreateControl places controls on
// it, in dialog units of the same base as the main window's, and every
// function of this header that takes an identifier acts on whichever window
// holds that control (the program keeps updating the main window's
// controls). Identifiers of dialog controls must differ from those of the
// main window's. Notifications of the dialog's controls reach on_command like
// any other; the main window's controls, menu and accelerators do not react
// to the user meanwhile, but the timer keeps ticking.
//
// When the user closes the dialog its controls are destroyed, without any
// notification of theirs after the close, and the main window is the current
// parent again. Does nothing while the main window is not open.
void RunDialog(const DialogSpec& spec, const std::function<void()>& build);
// Dialogs open now (nested ones count one each).
int OpenDialogCount();

// ---------------------------------------------------------------------------
// Image windows: top-level windows that show a picture the program draws
// (the plot). Sizes and positions are pixels; positions are screen
// coordinates of the window's top-left corner (frame included).
//
// The picture is the program's own buffer of 32-bit pixels in native byte
// order, 0x00RRGGBB per pixel (cairo's RGB24 layout; note that this is not
// the order of Colour), rows `stride_bytes` apart. The window keeps a
// pointer to it and never a copy: the buffer must stay valid until another
// one is set, the window is destroyed, or on_window_closed reports the
// window gone. After drawing, the program calls RefreshImageRect for the
// part it changed; only that part is brought to the screen again.
//
// A window whose client area is larger than the screen gets scroll bars;
// one narrower than its picture starts scrolled to the picture's right edge.
// The part of the client area that the picture does not cover is white.
// Handles are positive and never reused, and image and line windows draw them
// from one count, so a handle names one window of either kind; 0 is no window.

// Created hidden. A negative x or y: beside the main window, where the
// screen has room (as line windows); the window then reports where it was
// put.
int CreateImageWindow(const std::string& title, int client_w_px, int client_h_px, int x_px,
                      int y_px);
void ShowImageWindow(int window);
void DestroyImageWindow(int window); // no on_window_closed
bool ImageWindowExists(int window);

void SetImagePixels(int window, const uint32_t* pixels, int width_px, int height_px,
                    int stride_bytes);
void RefreshImageRect(int window, int x_px, int y_px, int w_px, int h_px);

void SetImageWindowClientSize(int window, int w_px, int h_px);
void GetImageWindowClientSize(int window, int* w_px, int* h_px);
void MoveImageWindow(int window, int x_px, int y_px);
void GetImageWindowPosition(int window, int* x_px, int* y_px);

// Allows or refuses the window's close command (the system menu's Close and
// the window manager's close box). A new window allows it.
void AllowImageWindowClose(int window, bool allowed);

// ---------------------------------------------------------------------------
// Line windows: modeless top-level windows that show a long list of text
// lines the program appends (one line per frame on the serial line), a row
// of buttons above the list and a note of a few lines below it. They stay
// open beside the main window and the image windows; the main window keeps
// working while they are open.
//
// The window keeps the lines (at most max_lines; appending more drops the
// oldest). It follows new lines: when the last line was in view before an
// append, the list scrolls so that the new last line is in view; when the
// user has scrolled back, the view stays where he put it. Appending, the note
// and the button texts never raise the window or take the focus.
//
// While the window exists and refresh_ms is above 0, on_window_refresh
// reports every refresh_ms milliseconds, from the message loop: the place
// to append what came since the last time, so that a burst of traffic costs
// a few repaints and not one per line. Buttons report through
// on_window_command with their command number.
// Handles: as for image windows, from the same count.

struct LineWindowButton {
    int command = 0;
    std::string text;
};

struct LineWindowSpec {
    std::string title;
    int client_w_px = 0, client_h_px = 0; // client area, pixels
    // Screen position of the window's top-left corner (frame included);
    // negative: beside the main window, where the screen has room.
    int x_px = -1, y_px = -1;
    std::vector<LineWindowButton> buttons; // left to right
    size_t max_lines = 100000;             // at least 1
    int note_lines = 0;                    // height of the note, in lines of its text; 0: no note
    int refresh_ms = 0;
};

int CreateLineWindow(const LineWindowSpec& spec); // created hidden
// Shows the window and brings it to the front (the user asked for it).
void ShowLineWindow(int window);
void DestroyLineWindow(int window); // no on_window_closed
bool LineWindowExists(int window);

// Appends the lines of `text`, which are separated by '\n' (a last line may
// lack it; an empty text appends nothing).
void AppendLines(int window, const std::string& text);
void ClearLines(int window);
size_t LineCount(int window);
// Every line kept, each followed by '\n'.
std::string LinesText(int window);

// The note below the list; '\n' separates its lines.
void SetLineWindowNote(int window, const std::string& text);
void SetLineWindowButtonText(int window, int command, const std::string& text);

// ---------------------------------------------------------------------------
// The message loop

// The busy cursor over the program's windows: shown at once, also when the
// program then blocks without handling messages (a request on a silent
// line). Boxes and dialogs opened meanwhile show the usual cursor.
void SetBusyCursor(bool busy);
bool BusyCursorShown();

// Handles the window messages waiting now, then returns.
void ProcessPendingMessages();
// Sleeps up to the given time or until a window message arrives.
void WaitForMessages(double max_seconds);
void Beep();

} // namespace ui
