// Keeping windows on the screen. Positions are saved in the settings files
// and may come from a larger screen or a second monitor; the system's own
// dialogs size themselves for a large screen. Either way a window would be
// out of the user's reach on a small one (1024 x 768).
#include <wx/display.h>
#include <wx/frame.h>

#include <algorithm>

#include "platform/wx/wx_backend.h"

namespace {

// The free area of the display that shows most of `r`, else of the one the
// main window is on.
wxRect FreeAreaFor(const wxRect& r)
{
    int best = wxNOT_FOUND;
    long best_area = 0;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        wxRect common = r.Intersect(wxDisplay(i).GetGeometry());
        long area = long(common.width) * common.height;
        if (!common.IsEmpty() && area > best_area) {
            best = int(i);
            best_area = area;
        }
    }
    if (best == wxNOT_FOUND && wxb::Frame())
        best = wxDisplay::GetFromWindow(wxb::Frame());
    return wxDisplay(best == wxNOT_FOUND ? 0u : unsigned(best)).GetClientArea();
}

int Clamp(int at, int size, int low, int room)
{
    // A window larger than the room shows its top-left part.
    return std::max(low, std::min(at, low + room - size));
}

} // namespace

namespace wxb {

wxPoint OnScreen(const wxRect& window)
{
    const wxRect free = FreeAreaFor(window);
    return wxPoint(Clamp(window.x, window.width, free.x, free.width),
                   Clamp(window.y, window.height, free.y, free.height));
}

wxRect FreeScreenArea(const wxWindow* w)
{
    int display = wxDisplay::GetFromWindow(w);
    return wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
}

} // namespace wxb
