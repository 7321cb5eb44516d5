// Windows places its own dialogs within the screen's free area.
#include <wx/window.h>

#include "platform/wx/wx_backend.h"

namespace wxb {

void FitNativeDialogToScreen(wxWindow*) {}

} // namespace wxb
