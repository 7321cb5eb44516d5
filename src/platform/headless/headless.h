// The headless backend's own side: a scripted user for tests and for
// regscope-script. The program side is the ordinary platform API (ui.h);
// this header lets a test act as the person in front of the window and look
// at what the window shows.
//
// Rules kept identical to the desktop backend:
//   - a notification reaches the event sink synchronously, before the action
//     that caused it returns;
//   - setting an edit box's text (by the user or by the program) notifies
//     Change; focus moving from one edit box to another notifies FocusOut to
//     the old one, then FocusIn to the new one;
//   - clicking a control gives it the focus first (so an edit box that had
//     it is told FocusOut), then a check box toggles, an option button is
//     checked and its group's other options cleared, and Click is notified;
//     disabled controls ignore the user;
//   - while a dialog is open the user reaches only its controls: the main
//     window's controls, menu, accelerators and close box ignore him, the
//     timer still ticks. When a dialog opens, its first control that takes
//     the focus gets it; when it closes, the control that had the focus
//     before gets it back.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace headless {

// Forgets every control, answer and record (each test starts from here).
void Reset();

// --- The user -------------------------------------------------------------

void MenuCommand(int command);
// Ctrl + key; returns false when no accelerator has that key or a dialog
// keeps the main window from the user.
bool PressAccelerator(char key);
void HighlightMenuItem(int command); // 0: none (menu closed)
void Focus(int id);
void Click(int id);
// Focuses the box, then types one character at a time: each keystroke
// changes the text and notifies Change. "\n" in a multi-line box is Enter
// (a CR LF line break); in a single-line box it is ignored.
void Type(int id, const std::string& keys);
// Deletes the box's text with one keystroke per character (each notifying).
void Erase(int id);
// Focuses the box and replaces its whole text at once (one Change).
void SetTextAsUser(int id, const std::string& text);
void MoveWindow(int x_dlu, int y_dlu);
void Activate(bool active);
// Delivers n ticks of the timer if it is running, as the program's timer
// counts them (a resting timer too); returns how many were delivered.
int Tick(int n = 1);
// The window system's clock for the timer: 0 after Reset, moved only by
// AdvanceClock. Advancing it wakes the program at every deadline that falls
// due on the way (none while the timer rests) and returns how many ticks
// that delivered. Called from inside a tick, it stands for a tick that
// takes that long: time passes and nothing is delivered meanwhile.
double ClockNow();
int AdvanceClock(double seconds);
void CloseWindowBox(); // the close box

// --- Answers to modal boxes, taken in order -------------------------------
// With no queued answer a message box answers OK, the input box, file
// dialog and colour dialog answer Cancel. The password box takes the text
// answers, as the input box does.

void QueueMessageAnswer(ui::Answer answer);
void QueueTextAnswer(std::optional<std::string> text); // nullopt = Cancel
void QueueFileAnswer(std::optional<std::string> path);
void QueueColourAnswer(std::optional<ui::Colour> colour);

// --- What the window shows --------------------------------------------------

struct MessageRecord {
    std::string text, title;
    ui::Icon icon;
    ui::Buttons buttons;
};
const std::vector<MessageRecord>& MessagesShown();
void ClearMessages();

struct InputRecord {
    std::string prompt, title, initial;
    bool masked = false; // a password box
};
const std::vector<InputRecord>& InputsShown();

const std::vector<ui::FileDialogSpec>& FileDialogsShown();

struct ControlState {
    ui::ControlSpec spec; // as created (text and colours as now)
    int host = 0;         // 0: the main window; n: the dialog at nesting level n
    bool enabled = true;
    bool checked = false;
    bool read_only = false;
    int form = 0; // the kept form it belongs to; 0: none
};
// nullptr when no control has that identifier.
const ControlState* Control(int id);
std::vector<int> ControlIds(); // in creation order

int FocusedControl();

// --- Dialogs (ui::RunDialog) ----------------------------------------------
// What the user does in the next dialog that opens: `act` runs once the
// dialog is built and has given the focus to its first control, and acts
// through the user functions above (Type, Click, Focus, ..., and Tick for
// the timer). The dialog closes when `act` returns, unless it pressed the
// close box earlier; after CloseDialogBox the rest of `act` finds nothing to
// act on, as the program has not resumed yet. Actions are taken in the
// order dialogs open, a dialog opened from inside another one included.
// With no queued action a dialog closes as soon as it has opened.
void QueueDialogAction(std::function<void()> act);
// The close box of the dialog on top.
void CloseDialogBox();
// Every dialog opened, in order (title, size, background).
const std::vector<ui::DialogSpec>& DialogsShown();

// --- Image windows ----------------------------------------------------------

struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
};

// An image window asked for beside the main window (a negative position)
// stands to its right, this far from its client area's right edge, top
// edges level (dialog units at 6 x 13 pixels).
constexpr int kBesideGapPx = 8;

struct ImageWindowState {
    std::string title;
    int client_w = 0, client_h = 0; // pixels
    int x = 0, y = 0;               // screen pixels
    bool shown = false;
    bool close_allowed = true;
    // The program's buffer, as given to SetImagePixels (not a copy).
    const uint32_t* pixels = nullptr;
    int image_w = 0, image_h = 0, stride_bytes = 0;
    std::vector<PixelRect> refreshed; // every RefreshImageRect, in order
};
// nullptr when no window has that handle (never created, destroyed, or
// closed by the user).
const ImageWindowState* ImageWindow(int window);
std::vector<int> ImageWindowHandles(); // the windows that exist, oldest first
// The pixel the window shows at (x, y) of its picture, 0x00RRGGBB; 0 outside
// the picture.
uint32_t ImagePixel(int window, int x_px, int y_px);
// The close box: when the window allows its close command, it closes and
// on_window_closed reports it. Returns true when it closed.
bool PressImageWindowCloseBox(int window);
void MoveImageWindowAsUser(int window, int x_px, int y_px);
// --- Line windows -------------------------------------------------------------

struct LineWindowState {
    ui::LineWindowSpec spec; // as created, button texts as now
    bool shown = false;
    int shows = 0; // ShowLineWindow calls (each one raises it)
    std::deque<std::string> lines;
    std::string note;
    int appends = 0; // AppendLines calls that added a line
};
// nullptr when no window has that handle.
const LineWindowState* LineWindow(int window);
std::vector<int> LineWindowHandles(); // oldest first
// The user presses the button with that command; false when there is none.
bool PressLineWindowButton(int window, int command);
// The close box: the window closes and on_window_closed reports it.
bool PressLineWindowCloseBox(int window);
// The refresh period comes round once for every window that asked for one;
// returns how many were told.
int RefreshLineWindows();

int BeepCount();
// How often the busy cursor came on (ui::SetBusyCursor) since Reset.
int BusyCursorShows();
int ProcessedMessageCalls(); // how often the program pumped messages
double LastWaitRequested();

} // namespace headless
