// Start of the window system, the event sink, dialog units, colours, fonts
// and the message pump of the wxWidgets backend.
#include <wx/app.h>
#include <wx/dcscreen.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/utils.h>

#include "platform/wx/native_style.h"
#include "platform/wx/wx_backend.h"

namespace wxb {

class App : public wxApp {
public:
    bool OnInit() override
    {
        // The program ends when the main window closes, not earlier: message
        // boxes shown before it exists must not end the loop.
        SetExitOnFrameDelete(true);
        return true;
    }
};

} // namespace wxb

namespace {

ui::EventSink sink;

struct BaseUnits {
    int x = 0, y = 0;
};

BaseUnits& Units()
{
    static BaseUnits units;
    if (units.x == 0) {
        // The average width of the Latin letters and the character height of
        // the dialog font, computed the way the Windows dialog manager does,
        // so that a layout made in dialog units keeps its proportions.
        wxScreenDC dc;
        dc.SetFont(wxb::DialogFont());
        wxCoord w = 0, h = 0;
        dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &w, &h);
        units.x = std::max(1, (w / 26 + 1) / 2);
        units.y = std::max(1, int(dc.GetCharHeight()));
    }
    return units;
}

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDivRounded(int a, int b, int c)
{
    long long p = (long long)a * b;
    long long q = p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c);
    return int(q);
}

} // namespace

wxIMPLEMENT_APP_NO_MAIN(wxb::App);

namespace wxb {

const ui::EventSink& Sink() { return sink; }

int NewWindowHandle()
{
    static int last_handle = 0;
    return ++last_handle;
}

void Notify(int id, ui::Notify how)
{
    if (sink.on_command)
        sink.on_command(id, how);
}

const wxFont& DialogFont()
{
    // Arial, or its metric twin: at 8 points it gives the classic 6 x 13
    // dialog base units at 96 dpi.
    static wxFont font(wxFontInfo(8).FaceName(kSansFace));
    return font;
}

wxPoint DluToPx(int x_dlu, int y_dlu)
{
    return wxPoint(MulDivRounded(x_dlu, Units().x, 4), MulDivRounded(y_dlu, Units().y, 8));
}

wxSize DluToPxSize(int w_dlu, int h_dlu)
{
    wxPoint p = DluToPx(w_dlu, h_dlu);
    return wxSize(p.x, p.y);
}

void PxToDlu(const wxPoint& px, int* x_dlu, int* y_dlu)
{
    if (x_dlu)
        *x_dlu = MulDivRounded(px.x, 4, Units().x);
    if (y_dlu)
        *y_dlu = MulDivRounded(px.y, 8, Units().y);
}

void PxSizeToDlu(const wxSize& px, int* w_dlu, int* h_dlu)
{
    PxToDlu(wxPoint(px.x, px.y), w_dlu, h_dlu);
}

wxColour ToWx(ui::Colour c) { return wxColour(ui::RedOf(c), ui::GreenOf(c), ui::BlueOf(c)); }

ui::Colour FromWx(const wxColour& c) { return ui::Rgb(c.Red(), c.Green(), c.Blue()); }

wxFont FontFor(ui::Font font)
{
    switch (font) {
    case ui::Font::Title: return wxFont(wxFontInfo(14).FaceName(kSansFace).Bold());
    case ui::Font::Value: return wxFont(wxFontInfo(10).FaceName(kMonoFace).Bold());
    case ui::Font::Result: return wxFont(wxFontInfo(8).FaceName(kMonoFace));
    case ui::Font::Dialog: break;
    }
    return DialogFont();
}

wxString ToWxText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    // The program's texts are 8-bit; accept them whether or not they are
    // valid UTF-8 rather than showing nothing.
    wxString s = wxString::FromUTF8(out);
    if (s.empty() && !out.empty())
        s = wxString::From8BitData(out.data(), out.size());
    return s;
}

std::string FromWxText(const wxString& text, bool crlf)
{
    std::string in = text.utf8_string();
    if (!crlf)
        return in;
    std::string out;
    out.reserve(in.size() + 16);
    for (char c : in) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace wxb

namespace ui {

bool Initialize(int argc, char** argv)
{
    static int saved_argc;
    saved_argc = argc;
    if (!wxEntryStart(saved_argc, argv))
        return false;
    if (!wxTheApp || !wxTheApp->CallOnInit())
        return false;
    wxb::ApplyCompactStyle();
    return true;
}

void SetEventSink(const EventSink& s) { sink = s; }

void ProcessPendingMessages()
{
    if (!wxb::Running() || !wxTheApp)
        return;
    // onlyIfNeeded: the program may pump from inside a handler that is
    // itself running in a pump; that is allowed, only not re-entered.
    wxTheApp->Yield(true);
}

void Beep() { wxBell(); }

} // namespace ui
