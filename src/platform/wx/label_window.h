// A static text drawn by the backend itself: labels, colour swatches and the
// status bar. Native GTK labels have no background of their own, and the
// program relies on coloured labels (title strips, swatches).
#pragma once

#include <wx/bitmap.h>
#include <wx/window.h>

#include <functional>
#include <memory>

namespace wxb {

class LabelWindow : public wxWindow {
public:
    enum Align { Left, Center, Right };

    LabelWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size, bool sunken);

    void SetLabelText(const wxString& text);
    // Text and fill without asking the window system for a repaint, for a
    // caller that paints at once with PaintNow.
    void SetTextAndFill(const wxString& text, const wxColour& fill);
    // Paints the label now, and nothing else of the window: the status bar
    // shows progress while the program blocks, and a window-wide update
    // would also lay out every other control that waits for a repaint.
    // For a label whose font stays as it was when first painted so.
    void PaintNow();
    wxString LabelText() const { return text_; }
    void SetAlign(Align align) { align_ = align; }
    // Blank pixels left of the text and a single line centred vertically,
    // for the status bar.
    void SetInset(int px) { inset_ = px; }
    void SetCentredVertically(bool on) { vcentre_ = on; }
    // Left-button clicks, for swatches.
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }
    bool AcceptsFocus() const override { return bool(click_) && IsEnabled(); }

    // The window paints everything itself from what wx keeps. Handed on to
    // GTK too, each label would carry a style sheet of its own, parsed and
    // cascaded again for every label a form creates.
    bool SetBackgroundColour(const wxColour& colour) override;
    bool SetForegroundColour(const wxColour& colour) override;
    bool SetFont(const wxFont& font) override;

private:
    void Draw(wxDC& dc);
    wxColour Fill() const { return fill_.IsOk() ? fill_ : GetBackgroundColour(); }

    wxString text_;
    wxColour fill_; // not Ok: the window's background colour
    // The last two pictures PaintNow drew: the status bar alternates two
    // colours behind the same text, and laying out text costs far more than
    // showing a picture of it.
    struct Drawn {
        wxString text;
        wxColour fill;
        wxSize size;
        bool enabled = true;
        wxBitmap bitmap;
        // GTK: the pixels that are not the fill, as a cairo surface of their
        // bounding box `ink` (null when there are none).
        std::shared_ptr<void> surface;
        std::shared_ptr<void> on_display; // a copy kept by the display
        wxRect ink;
        bool inked = false;
    };
    Drawn& Picture();
    Drawn drawn_[2];
    int next_drawn_ = 0;
    Align align_ = Left;
    int inset_ = 0;
    bool vcentre_ = false;
    std::function<void()> click_;
};

// An etched horizontal line, drawn here for the same reason: the GTK theme
// draws its separator in a tint that vanishes on the panel grey.
wxWindow* MakeEtchedLine(wxWindow* parent, const wxPoint& pos, int width);

} // namespace wxb
