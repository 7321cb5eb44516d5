// Image windows: top-level frames that show a picture the program draws in
// a buffer of its own. The buffer is read in the paint handler, and only for
// the rectangles that need painting, so that a refresh costs what changed
// and not the whole picture (which may be 5000 x 5000 pixels).
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/wx/native_style.h"
#include "platform/wx/wx_backend.h"

namespace {

struct Picture {
    const uint32_t* pixels = nullptr;
    int width = 0, height = 0, stride_bytes = 0;
};

class ImageCanvas : public wxScrolledCanvas {
public:
    explicit ImageCanvas(wxWindow* parent)
        : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE)
    {
        // Every pixel is painted by OnPaint: no erasing first, no flicker.
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        SetScrollRate(kScrollUnitPx, kScrollUnitPx);
        wxb::KeepScrollBarsShown(this);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) { OnPaint(); });
        Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
            e.Skip();
            ShowRightEdgeOnce();
        });
    }

    Picture picture;

private:
    static constexpr int kScrollUnitPx = 16;

    // A picture wider than the screen allows starts at its right edge: a
    // plot keeps its legend there, and only blank margin at its left. Once
    // the window has its size, and not again: then the user scrolls.
    void ShowRightEdgeOnce()
    {
        const int hidden = GetVirtualSize().x - GetClientSize().x;
        if (scrolled_ || !IsShownOnScreen() || GetClientSize().x <= 1)
            return;
        scrolled_ = true;
        if (hidden > 0)
            Scroll((hidden + kScrollUnitPx - 1) / kScrollUnitPx, -1);
    }

    bool scrolled_ = false;

    void OnPaint()
    {
        wxPaintDC dc(this);
        wxPoint view = CalcUnscrolledPosition(wxPoint(0, 0));
        for (wxRegionIterator it(GetUpdateRegion()); it; ++it) {
            wxRect device = it.GetRect();
            PaintRect(dc, wxRect(device.GetPosition() + view, device.GetSize()),
                      device.GetPosition());
        }
    }

    // `area` in picture coordinates, drawn at `at` in the window.
    void PaintRect(wxDC& dc, const wxRect& area, const wxPoint& at)
    {
        wxRect inside = area.Intersect(wxRect(0, 0, picture.width, picture.height));
        if (!picture.pixels)
            inside = wxRect();
        if (inside != area) {
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(*wxWHITE_BRUSH);
            dc.DrawRectangle(wxRect(at, area.GetSize()));
        }
        if (inside.IsEmpty())
            return;
        // 0x00RRGGBB words to the RGB bytes of a wxImage, this rectangle only.
        wxImage part(inside.width, inside.height, false);
        unsigned char* out = part.GetData();
        const auto* base = reinterpret_cast<const unsigned char*>(picture.pixels);
        for (int y = 0; y < inside.height; ++y) {
            const unsigned char* row =
                base + size_t(inside.y + y) * size_t(picture.stride_bytes) + size_t(inside.x) * 4;
            for (int x = 0; x < inside.width; ++x) {
                uint32_t p;
                std::memcpy(&p, row + size_t(x) * 4, 4);
                *out++ = (p >> 16) & 0xFF;
                *out++ = (p >> 8) & 0xFF;
                *out++ = p & 0xFF;
            }
        }
        dc.DrawBitmap(wxBitmap(part), at + (inside.GetPosition() - area.GetPosition()));
    }
};

class ImageFrame : public wxFrame {
public:
    ImageFrame(int handle, const wxString& title, const wxPoint& pos)
        : wxFrame(nullptr, wxID_ANY, title, pos, wxDefaultSize, wxDEFAULT_FRAME_STYLE),
          handle_(handle)
    {
        canvas = new ImageCanvas(this);
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) { OnClose(e); });
    }

    ImageCanvas* canvas;
    int client_w = 0, client_h = 0; // as the program asked
    bool close_allowed = true;
    // Where the program asked for the window and where it was put to be on
    // the screen: the window reports the asked position until the user
    // moves it.
    wxPoint asked, placed;

    void MoveOnScreen(const wxPoint& at)
    {
        asked = at;
        placed = wxb::OnScreen(wxRect(at, GetSize()));
        Move(placed);
    }

private:
    void OnClose(wxCloseEvent& e);
    int handle_;
};

std::map<int, ImageFrame*> frames;

ImageFrame* Find(int window)
{
    auto it = frames.find(window);
    return it == frames.end() ? nullptr : it->second;
}

// Takes the window out of the table and lets wx delete it when the loop is
// idle; it shows nothing meanwhile, and the program may free its buffer now.
void Discard(ImageFrame* f)
{
    frames.erase(std::find_if(frames.begin(), frames.end(),
                              [f](const auto& entry) { return entry.second == f; }));
    f->canvas->picture = Picture{};
    f->Hide();
    f->Destroy();
}

void ImageFrame::OnClose(wxCloseEvent& e)
{
    if (!close_allowed && e.CanVeto()) {
        e.Veto();
        return;
    }
    int handle = handle_;
    Discard(this);
    if (wxb::Sink().on_window_closed)
        wxb::Sink().on_window_closed(handle);
}

// A window larger than the screen's free area is made to fit it, and its
// scroll bars reach the rest.
void FitClientArea(ImageFrame* f)
{
    f->canvas->SetVirtualSize(f->client_w, f->client_h);
    const wxRect free = wxb::FreeScreenArea(f);
    wxSize frame_extra = f->GetSize() - f->GetClientSize();
    int max_w = std::max(100, free.width - frame_extra.x);
    int max_h = std::max(100, free.height - frame_extra.y);
    int w = f->client_w, h = f->client_h;
    // A scroll bar along one side takes room from the other dimension.
    if (w > max_w)
        h += wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, f);
    if (h > max_h)
        w += wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, f);
    f->SetClientSize(std::min(w, max_w), std::min(h, max_h));
}

} // namespace

namespace wxb {

void DestroyImageWindows()
{
    while (!frames.empty())
        Discard(frames.begin()->second);
}

wxFrame* ImageWindowFrame(int window) { return Find(window); }

} // namespace wxb

namespace ui {

int CreateImageWindow(const std::string& title, int client_w_px, int client_h_px, int x_px,
                      int y_px)
{
    if (!wxb::Running())
        return 0;
    int handle = wxb::NewWindowHandle();
    auto* f = new ImageFrame(handle, wxb::ToWxText(title), wxPoint(x_px, y_px));
    frames[handle] = f;
    f->client_w = client_w_px;
    f->client_h = client_h_px;
    FitClientArea(f);
    if (x_px < 0 || y_px < 0) {
        // Smaller than this, a plot would show too little of itself.
        const wxSize frame_extra = f->GetSize() - f->GetClientSize();
        const wxSize least(std::min(client_w_px, 400), std::min(client_h_px, 300));
        const wxRect at = wxb::BesideMainWindow(f->GetSize(), least + frame_extra);
        f->SetSize(at);
        f->asked = f->placed = at.GetPosition();
    } else {
        f->MoveOnScreen(wxPoint(x_px, y_px));
    }
    return handle;
}

void ShowImageWindow(int window)
{
    if (ImageFrame* f = Find(window))
        f->Show();
}

void DestroyImageWindow(int window)
{
    if (ImageFrame* f = Find(window))
        Discard(f);
}

bool ImageWindowExists(int window) { return Find(window) != nullptr; }

void SetImagePixels(int window, const uint32_t* pixels, int width_px, int height_px,
                    int stride_bytes)
{
    ImageFrame* f = Find(window);
    if (!f)
        return;
    Picture& p = f->canvas->picture;
    bool same = p.pixels == pixels && p.width == width_px && p.height == height_px &&
                p.stride_bytes == stride_bytes;
    p = Picture{pixels, std::max(0, width_px), std::max(0, height_px), stride_bytes};
    // Only a buffer that holds whole rows is read.
    if (p.stride_bytes < p.width * 4)
        p = Picture{};
    if (!same)
        f->canvas->Refresh(false);
}

void RefreshImageRect(int window, int x_px, int y_px, int w_px, int h_px)
{
    ImageFrame* f = Find(window);
    if (!f || w_px <= 0 || h_px <= 0)
        return;
    wxPoint at = f->canvas->CalcScrolledPosition(wxPoint(x_px, y_px));
    f->canvas->RefreshRect(wxRect(at, wxSize(w_px, h_px)), false);
}

void SetImageWindowClientSize(int window, int w_px, int h_px)
{
    ImageFrame* f = Find(window);
    if (!f)
        return;
    f->client_w = w_px;
    f->client_h = h_px;
    FitClientArea(f);
    f->canvas->Refresh(false);
}

void GetImageWindowClientSize(int window, int* w_px, int* h_px)
{
    ImageFrame* f = Find(window);
    if (w_px)
        *w_px = f ? f->client_w : 0;
    if (h_px)
        *h_px = f ? f->client_h : 0;
}

void MoveImageWindow(int window, int x_px, int y_px)
{
    if (ImageFrame* f = Find(window))
        f->MoveOnScreen(wxPoint(x_px, y_px));
}

void GetImageWindowPosition(int window, int* x_px, int* y_px)
{
    ImageFrame* f = Find(window);
    wxPoint p = f ? f->GetPosition() : wxPoint(0, 0);
    if (f && p == f->placed)
        p = f->asked;
    if (x_px)
        *x_px = p.x;
    if (y_px)
        *y_px = p.y;
}

void AllowImageWindowClose(int window, bool allowed)
{
    ImageFrame* f = Find(window);
    if (!f)
        return;
    f->close_allowed = allowed;
    // The close box too, where the window manager lets the program say so.
    f->EnableCloseButton(allowed);
}

} // namespace ui
