// Drawing of labels, swatches, the status bar and separators.
#include "platform/wx/label_window.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/settings.h>
#include <wx/tokenzr.h>

#include <algorithm>

#ifdef __WXGTK__
#include <cairo-xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#endif

namespace wxb {

namespace {

// Breaks a paragraph into lines that fit the width, at blanks where it can,
// as a Windows static text does.
void WrapParagraph(wxDC& dc, const wxString& para, int width, wxArrayString* lines)
{
    wxString line;
    wxStringTokenizer words(para, " ", wxTOKEN_RET_EMPTY_ALL);
    while (words.HasMoreTokens()) {
        wxString word = words.GetNextToken();
        wxString candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && dc.GetTextExtent(candidate).x > width) {
            lines->Add(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    lines->Add(line);
}

#ifdef __WXGTK__
// A copy of the picture that cairo can paint from, made once per picture.
// The pixels of the picture that are not its fill (the top-left pixel), as
// a cairo surface of their bounding box *ink: only they need to travel to
// the display. Null with an empty *ink when the picture is all fill.
std::shared_ptr<void> InkOf(const wxBitmap& bitmap, wxRect* ink)
{
    wxImage image = bitmap.ConvertToImage();
    int w = image.GetWidth(), h = image.GetHeight();
    const unsigned char* px = image.GetData();
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = px + 3 * (y * w + x);
            if (p[0] != px[0] || p[1] != px[1] || p[2] != px[2]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    if (right < 0) {
        *ink = wxRect();
        return nullptr;
    }
    *ink = wxRect(left, top, right - left + 1, bottom - top + 1);
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, ink->width, ink->height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < ink->height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        const unsigned char* rgb = px + 3 * ((top + y) * w + left);
        for (int x = 0; x < ink->width; ++x, rgb += 3)
            row[x] = (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2];
    }
    cairo_surface_mark_dirty(surface);
    return std::shared_ptr<void>(
        surface, [](void* s) { cairo_surface_destroy(static_cast<cairo_surface_t*>(s)); });
}

// The context of the copies onto the display. Without graphics exposures: by
// default every copy sends back an event the main loop would have to read.
GC CopyGc(Display* x)
{
    static Display* made_for = nullptr;
    static GC gc = nullptr;
    if (made_for != x) {
        XGCValues values;
        values.graphics_exposures = False;
        gc = XCreateGC(x, DefaultRootWindow(x), GCGraphicsExposures, &values);
        made_for = x;
    }
    return gc;
}
#endif

} // namespace

LabelWindow::LabelWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size, bool sunken)
    : wxWindow(parent, wxID_ANY, pos, size,
               (sunken ? wxBORDER_SUNKEN : wxBORDER_NONE) | wxFULL_REPAINT_ON_RESIZE)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(this);
        Draw(dc);
    });
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
        if (click_ && IsEnabled())
            click_();
        else
            e.Skip();
    });
}

bool LabelWindow::SetBackgroundColour(const wxColour& colour)
{
    if (!wxWindowBase::SetBackgroundColour(colour))
        return false;
    Refresh();
    return true;
}

bool LabelWindow::SetForegroundColour(const wxColour& colour)
{
    if (!wxWindowBase::SetForegroundColour(colour))
        return false;
    Refresh();
    return true;
}

bool LabelWindow::SetFont(const wxFont& font)
{
    if (!wxWindowBase::SetFont(font))
        return false;
    Refresh();
    return true;
}

void LabelWindow::SetLabelText(const wxString& text)
{
    text_ = text;
    Refresh();
}

void LabelWindow::SetTextAndFill(const wxString& text, const wxColour& fill)
{
    text_ = text;
    fill_ = fill;
}

void LabelWindow::PaintNow()
{
    if (!IsShownOnScreen())
        return;
#ifdef __WXGTK__
    // Drawing outside a paint event reaches the screen only on X11; other
    // displays get the ordinary repaint of this window alone.
    if (!GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
        Refresh();
        Update();
        return;
    }
#endif
    Drawn& d = Picture();
    if (!d.bitmap.IsOk())
        return;
#ifdef __WXGTK__
    // Cairo straight onto the window: a wx device context costs more to set
    // up than the picture costs to show.
    GdkWindow* window = GTKGetDrawingWindow();
    if (!window)
        window = gtk_widget_get_window(m_widget);
    if (!d.inked) {
        d.surface = InkOf(d.bitmap, &d.ink);
        d.inked = true;
    }
    if (!d.on_display) {
        // The picture travels to the display once, as the fill and the text's
        // pixels; from then on the display copies it by itself.
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        cairo_t* cr = gdk_cairo_create(window);
        G_GNUC_END_IGNORE_DEPRECATIONS
        wxSize size = d.bitmap.GetSize();
        cairo_surface_t* copy =
            cairo_surface_create_similar(cairo_get_target(cr), CAIRO_CONTENT_COLOR, size.x, size.y);
        cairo_destroy(cr);
        cairo_t* c = cairo_create(copy);
        const wxColour& fill = d.fill;
        cairo_set_source_rgb(c, fill.Red() / 255.0, fill.Green() / 255.0, fill.Blue() / 255.0);
        cairo_paint(c);
        if (d.surface) {
            cairo_set_source_surface(c, static_cast<cairo_surface_t*>(d.surface.get()), d.ink.x,
                                     d.ink.y);
            cairo_paint(c);
        }
        cairo_destroy(c);
        cairo_surface_flush(copy);
        d.on_display = std::shared_ptr<void>(
            copy, [](void* p) { cairo_surface_destroy(static_cast<cairo_surface_t*>(p)); });
    }
    auto* shown = static_cast<cairo_surface_t*>(d.on_display.get());
    Display* x = GDK_DISPLAY_XDISPLAY(gdk_window_get_display(window));
    if (cairo_surface_get_type(shown) != CAIRO_SURFACE_TYPE_XLIB ||
        cairo_xlib_surface_get_depth(shown) != DefaultDepth(x, DefaultScreen(x))) {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        cairo_t* cr = gdk_cairo_create(window);
        G_GNUC_END_IGNORE_DEPRECATIONS
        cairo_set_source_surface(cr, shown, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        gdk_display_flush(gdk_window_get_display(window));
        return;
    }
    // Shown twice in every Auto Read pass: one copy request and a flush,
    // without a cairo context, a clip region and an event read each time.
    const wxSize size = d.bitmap.GetSize();
    XCopyArea(x, cairo_xlib_surface_get_drawable(shown), gdk_x11_window_get_xid(window), CopyGc(x),
              0, 0, unsigned(size.x), unsigned(size.y), 0, 0);
    // The drawing would wait in the connection's buffer until the main loop
    // next runs, which is after the blocking work this picture announces.
    XFlush(x);
#else
    wxClientDC dc(this);
    dc.DrawBitmap(d.bitmap, 0, 0);
#endif
}

LabelWindow::Drawn& LabelWindow::Picture()
{
    wxSize size = GetClientSize();
    for (Drawn& d : drawn_)
        if (d.bitmap.IsOk() && d.size == size && d.enabled == IsEnabled() && d.fill == Fill() &&
            d.text == text_)
            return d;
    Drawn& d = drawn_[next_drawn_];
    next_drawn_ = 1 - next_drawn_;
    d = Drawn{text_, Fill(), size, IsEnabled(), wxBitmap(), nullptr, nullptr, wxRect(), false};
    if (size.x <= 0 || size.y <= 0)
        return d;
    d.bitmap.Create(size);
    wxMemoryDC dc(d.bitmap);
    Draw(dc);
    return d;
}

void LabelWindow::Draw(wxDC& dc)
{
    wxSize size = GetClientSize();
    dc.SetBackground(wxBrush(Fill()));
    dc.Clear();
    if (text_.empty())
        return;
    dc.SetFont(GetFont());
    dc.SetTextForeground(IsEnabled() ? GetForegroundColour()
                                     : wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    wxArrayString lines;
    wxStringTokenizer paras(text_, "\n", wxTOKEN_RET_EMPTY_ALL);
    int width = size.x - inset_;
    while (paras.HasMoreTokens())
        WrapParagraph(dc, paras.GetNextToken(), width, &lines);
    int line_h = dc.GetCharHeight();
    int y = vcentre_ ? (size.y - line_h) / 2 : 0;
    dc.SetClippingRegion(wxPoint(0, 0), size);
    for (const wxString& line : lines) {
        int w = dc.GetTextExtent(line).x;
        int x = inset_ + (align_ == Right ? width - w : align_ == Center ? (width - w) / 2 : 0);
        dc.DrawText(line, x, y);
        y += line_h;
        if (y >= size.y)
            break;
    }
}

wxWindow* MakeEtchedLine(wxWindow* parent, const wxPoint& pos, int width)
{
    auto* line = new wxWindow(parent, wxID_ANY, pos, wxSize(width, 2), wxBORDER_NONE);
    line->SetBackgroundStyle(wxBG_STYLE_PAINT);
    line->Bind(wxEVT_PAINT, [line](wxPaintEvent&) {
        wxPaintDC dc(line);
        int w = line->GetClientSize().x;
        // Shadow above highlight: a groove, as the classic etched line.
        dc.SetPen(wxPen(wxColour(160, 160, 160)));
        dc.DrawLine(0, 0, w, 0);
        dc.SetPen(wxPen(*wxWHITE));
        dc.DrawLine(0, 1, w, 1);
    });
    return line;
}

} // namespace wxb
