// What the files of the wxWidgets backend share among themselves. Nothing
// outside platform/wx includes this header: the program sees only ui.h.
#pragma once

#include <wx/colour.h>
#include <wx/font.h>
#include <wx/gdicmn.h>
#include <wx/window.h>

#include <string>

#include "platform/ui.h"

class wxFrame;

namespace wxb {

// The event sink given by the program (empty until SetEventSink).
const ui::EventSink& Sink();
// Handles of image and line windows, from one count, never reused.
int NewWindowHandle();
void Notify(int id, ui::Notify how);

// The main window, its client area (parent of every control), or nullptr.
wxFrame* Frame();
wxWindow* Client();
// Parent for modal boxes: the dialog on top while one is open, else the main
// window while it is open.
wxWindow* DialogParent();
// Parent for new controls: the dialog on top, else the client area.
wxWindow* ControlParent();
// The main window is closing: ends the open dialogs and returns true when
// there were any (the window then closes once they have returned).
bool EndDialogsBeforeClose();
// False once the window system has been shut down after the main loop.
bool Running();

// Dialog units of the main window. The dialog font fixes the base units, as
// on the system the program was designed for.
const wxFont& DialogFont();
wxPoint DluToPx(int x_dlu, int y_dlu);
wxSize DluToPxSize(int w_dlu, int h_dlu);
void PxToDlu(const wxPoint& px, int* x_dlu, int* y_dlu);
void PxSizeToDlu(const wxSize& px, int* w_dlu, int* h_dlu);

wxColour ToWx(ui::Colour c);
ui::Colour FromWx(const wxColour& c);
wxFont FontFor(ui::Font font);

// API texts use CR LF (or a lone CR) for line breaks; wx uses LF.
wxString ToWxText(const std::string& text);
std::string FromWxText(const wxString& text, bool crlf);

// Status bar, placed along the bottom edge of the client area.
void CreateStatusBar(wxWindow* parent);
void PlaceStatusBar();
int StatusBarHeightPx();

// Controls: forgets every control (the main window is going away).
void ForgetControls();
// Forgets the controls of dialog level `host`; `dialog` is about to delete
// their windows.
void ForgetControlsOn(int host, wxWindow* dialog);
// Kept forms take the client area above the status bar, after a resize too.
void FitKeptForms();
// Identifier of a control window of ours, 0 when it is none.
int IdOfWindow(const wxWindow* w);
// The window of control `id`, nullptr when there is none (for the GUI tests,
// which press and look at controls by the program's identifiers).
wxWindow* WindowOf(int id);

// Image windows: destroyed with the main window, without events. The frame
// of a window, nullptr when there is none (for the GUI tests).
void DestroyImageWindows();
wxFrame* ImageWindowFrame(int window);

// Line windows: destroyed with the main window, without events. For the GUI
// tests and the benchmark: the frame, a button by its command, the list, and
// how often the list's rows were painted (nullptr or 0 when no such window).
void DestroyLineWindows();
wxFrame* LineWindowFrame(int window);
wxWindow* LineWindowButton(int window, int command);
wxWindow* LineWindowList(int window);
long LineWindowPaints(int window);

// Keeping windows on the screen: the position that puts a window of
// `window`'s size whole on the display that shows most of it (its top-left
// part when it is larger than the display's free area); the free area of
// the display that shows `w`; and, for the system's own dialogs, a size and
// position within the screen's free area whenever they are shown.
wxPoint OnScreen(const wxRect& window);
wxRect FreeScreenArea(const wxWindow* w);
void FitNativeDialogToScreen(wxWindow* dialog);

// Beside the main window, covering none of it: to its right, below it, to
// its left or above it, the first side with room for a window of `size`
// (frame included); else on the side with the most room, made smaller (down
// to `least`). With no room on any side it goes below, inside the screen's
// free area.
wxRect BesideMainWindow(const wxSize& size, const wxSize& least);

// The edit box of a text-input box, as high as a line of its font and a
// margin: the compact style of the panels (gtk_style.cpp) would clip it.
void GiveEditBoxRoom(wxWindow* box);

// Timer: owner is the main window.
void StopTimerForShutdown();

// Menu command from the menu or an accelerator.
void MenuCommand(int command);

// The usual cursor while a box or dialog waits for the user, the busy one
// again after. wx's own suspender exists only in its GTK port.
class UsualCursor {
public:
    UsualCursor() : busy_(ui::BusyCursorShown())
    {
        if (busy_)
            ui::SetBusyCursor(false);
    }
    ~UsualCursor()
    {
        if (busy_)
            ui::SetBusyCursor(true);
    }
    UsualCursor(const UsualCursor&) = delete;
    UsualCursor& operator=(const UsualCursor&) = delete;

private:
    bool busy_;
};

} // namespace wxb
