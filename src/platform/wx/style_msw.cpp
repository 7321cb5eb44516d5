// Windows controls are as compact as dialog-unit layouts make them, keep
// their text off the border and show their scroll bars: nothing to adjust.
#include <wx/window.h>

#include "platform/wx/native_style.h"

namespace wxb {

const char* const kSansFace = "Arial";
const char* const kMonoFace = "Courier New";

void ApplyCompactStyle() {}
void SetTextMargins(wxWindow*, int) {}
void ShowVerticalScrollBar(wxWindow*) {}
void KeepScrollBarsShown(wxWindow*) {}
void ShowWholeLines(wxWindow*) {}

} // namespace wxb
