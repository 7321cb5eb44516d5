// The status bar: one part along the bottom edge of the client area,
// whatever size the open panel gives the window.
#include <wx/dcscreen.h>

#include "platform/wx/label_window.h"
#include "platform/wx/native_style.h"
#include "platform/wx/wx_backend.h"

namespace {

wxb::LabelWindow* bar = nullptr;
std::string text;
ui::Colour colour = ui::Rgb(225, 225, 225);

wxFont StatusFont() { return wxFont(wxFontInfo(10).FaceName(wxb::kSansFace)); }

} // namespace

namespace wxb {

void CreateStatusBar(wxWindow* parent)
{
    bar = new LabelWindow(parent, wxPoint(0, 0), wxSize(10, 10), true);
    bar->SetFont(StatusFont());
    bar->SetForegroundColour(*wxBLACK);
    bar->SetBackgroundColour(ToWx(colour));
    bar->SetInset(4);
    bar->SetCentredVertically(true);
    bar->SetLabelText(ToWxText(text));
    // Closing the window destroys the bar with it.
    bar->Bind(wxEVT_DESTROY, [](wxWindowDestroyEvent& e) {
        if (e.GetEventObject() == bar)
            bar = nullptr;
        e.Skip();
    });
}

int StatusBarHeightPx()
{
    // Text height plus borders, as a common-controls status bar sizes itself.
    static int height = 0;
    if (height == 0) {
        wxScreenDC dc;
        dc.SetFont(StatusFont());
        height = dc.GetCharHeight() + 8;
    }
    return height;
}

void PlaceStatusBar()
{
    wxWindow* parent = Client();
    if (!bar || !parent)
        return;
    wxSize size = parent->GetClientSize();
    int h = StatusBarHeightPx();
    bar->SetSize(0, size.y - h, size.x, h);
    // Tools create their controls after the bar; keep it above them.
    bar->Raise();
}

} // namespace wxb

namespace ui {

void SetStatus(const std::string& t, Colour background)
{
    bool same_text = bar && t == text;
    text = t;
    colour = background;
    if (!bar)
        return;
    // The program shows progress in the status bar during blocking work
    // (orange during an Auto Read pass, yellow after it): paint the bar now
    // rather than when the loop next runs, and the bar alone.
    bar->SetTextAndFill(same_text ? bar->LabelText() : wxb::ToWxText(text), wxb::ToWx(colour));
    bar->PaintNow();
}

std::string GetStatusText() { return text; }
Colour GetStatusColour() { return colour; }

} // namespace ui
