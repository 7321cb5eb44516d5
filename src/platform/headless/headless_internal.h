// What the files of the headless backend share among themselves. Nothing
// outside platform/headless includes this header.
#pragma once

#include "platform/ui.h"

namespace headless {

const ui::EventSink& Sink();
// Handles of image and line windows, from one count (never reused, also
// across Reset).
int NewWindowHandle();
void Notify(int id, ui::Notify how);

// Controls (headless_controls.cpp).
// Focus moves as on the desktop: the edit box that loses it is told first,
// then the one that gains it. 0: no control.
void MoveFocus(int id);
// Takes the focus from a control of `host` without telling it: a closed
// dialog's controls say nothing after the close.
void DropFocusOn(int host);
// The first control of `host`, in creation order, that takes the focus when
// its window opens; 0 when none does.
int FirstFocusable(int host);
void ForgetControlsOn(int host);
void ForgetControls();

// Dialogs (headless_dialogs.cpp).
// The host whose controls the user can reach now: the main window, or the
// dialog on top; -1 while that dialog is closed but the program has not yet
// resumed (the rest of the user's action in it finds nothing to act on).
int UserHost();
void ForgetDialogs();

// Image windows (headless_image_windows.cpp).
void ForgetImageWindows();

// The timer (headless_timer.cpp).
void ForgetTimer();
// Line windows (headless_line_windows.cpp).
void ForgetLineWindows();

} // namespace headless
