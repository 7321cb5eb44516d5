// The look of the native controls the wxWidgets backend makes: GTK needs
// adjustments (style_gtk.cpp), Windows controls have them already
// (style_msw.cpp).
#pragma once

class wxWindow;

namespace wxb {

// The faces of the program's fonts: Arial and Courier New on Windows; on
// Linux Liberation Sans and Mono, whose advance widths equal theirs.
extern const char* const kSansFace;
extern const char* const kMonoFace;

// Lets native controls be as small as the layouts in dialog units make them
// (the default GTK theme pads entries and buttons to 34 pixels).
void ApplyCompactStyle();

// Blank pixels left and right of the text of a multi-line box: GTK draws its
// text against the border, where single-line boxes keep a small margin.
void SetTextMargins(wxWindow* multi_line_box, int px);

// Keeps the vertical scroll bar of a multi-line box on screen at all times:
// GTK's overlay bars show only while the pointer moves over the box, which
// hides that a list goes on below its last visible line.
void ShowVerticalScrollBar(wxWindow* multi_line_box);

// Keeps the scroll bars of a scrolled window on screen whenever it needs
// them, for the same reason: a picture larger than the screen would look
// cut otherwise.
void KeepScrollBarsShown(wxWindow* scrolled);

// Makes a multi-line box a little taller wherever its size in dialog units
// would cut its last visible line: a list shows whole lines.
void ShowWholeLines(wxWindow* multi_line_box);

} // namespace wxb
