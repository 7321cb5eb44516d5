// Where a window beside the main window goes: the monitor and the plot open
// next to the main window, so that neither hides the controls the user is
// working with.
#include <wx/frame.h>

#include <algorithm>
#include <functional>

#include "platform/wx/wx_backend.h"

namespace wxb {

wxRect BesideMainWindow(const wxSize& size, const wxSize& least)
{
    wxFrame* main = wxb::Frame();
    const wxRect free = wxb::FreeScreenArea(main);
    if (!main)
        return wxRect(free.GetPosition(), size);
    constexpr int kGap = 8;
    const wxRect m = main->GetRect();
    // The room on each side, and where a window of size `s` goes in it.
    struct Side {
        wxRect room;
        std::function<wxPoint(const wxSize&)> place;
    };
    auto along_x = [&](const wxSize& s) {
        return std::max(free.GetLeft(), std::min(m.GetLeft(), free.GetRight() + 1 - s.x));
    };
    auto along_y = [&](const wxSize& s) {
        return std::max(free.GetTop(), std::min(m.GetTop(), free.GetBottom() + 1 - s.y));
    };
    const Side sides[] = {
        {wxRect(wxPoint(m.GetRight() + 1 + kGap, free.GetTop()), free.GetBottomRight()),
         [&](const wxSize& s) { return wxPoint(m.GetRight() + 1 + kGap, along_y(s)); }},
        {wxRect(wxPoint(free.GetLeft(), m.GetBottom() + 1 + kGap), free.GetBottomRight()),
         [&](const wxSize& s) { return wxPoint(along_x(s), m.GetBottom() + 1 + kGap); }},
        {wxRect(free.GetTopLeft(), wxPoint(m.GetLeft() - 1 - kGap, free.GetBottom())),
         [&](const wxSize& s) { return wxPoint(m.GetLeft() - kGap - s.x, along_y(s)); }},
        {wxRect(free.GetTopLeft(), wxPoint(free.GetRight(), m.GetTop() - 1 - kGap)),
         [&](const wxSize& s) { return wxPoint(along_x(s), m.GetTop() - kGap - s.y); }},
    };
    const Side* roomiest = nullptr;
    long roomiest_area = 0;
    for (const Side& side : sides) {
        const wxSize room = side.room.GetSize();
        if (room.x >= size.x && room.y >= size.y)
            return wxRect(side.place(size), size);
        const wxSize fit(std::min(size.x, room.x), std::min(size.y, room.y));
        if (fit.x >= least.x && fit.y >= least.y && long(fit.x) * fit.y > roomiest_area) {
            roomiest = &side;
            roomiest_area = long(fit.x) * fit.y;
        }
    }
    if (roomiest) {
        const wxSize room = roomiest->room.GetSize();
        const wxSize fit(std::min(size.x, room.x), std::min(size.y, room.y));
        return wxRect(roomiest->place(fit), fit);
    }
    wxPoint below(m.GetLeft(), m.GetBottom() + 1 + kGap);
    return wxRect(wxb::OnScreen(wxRect(below, size)), size);
}

} // namespace wxb
