// The busy cursor. The program shows it just before it blocks, so it must
// reach the display at once and not when the loop next runs.
#include <wx/utils.h>

#ifdef __WXGTK__
#include <gdk/gdk.h>
#endif

#include "platform/wx/wx_backend.h"

namespace {
bool shown = false;
}

namespace ui {

void SetBusyCursor(bool busy)
{
    if (!wxb::Running() || busy == shown)
        return;
    shown = busy;
    if (busy)
        wxBeginBusyCursor();
    else
        wxEndBusyCursor();
#ifdef __WXGTK__
    if (GdkDisplay* display = gdk_display_get_default())
        gdk_display_flush(display);
#endif
}

bool BusyCursorShown() { return shown; }

} // namespace ui
