// Line windows: top-level frames with a row of buttons, a virtual list of
// text lines and a note below it. The list asks for the text of a row only
// when it paints that row, so that tens of thousands of lines cost what is
// in view, and appending many lines at once is one repaint.
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/wupdlock.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>

#include "platform/wx/wx_backend.h"

namespace {

wxFont ListFont() { return wxFont(wxFontInfo(9).Family(wxFONTFAMILY_TELETYPE)); }

class LineList : public wxListCtrl {
public:
    explicit LineList(wxWindow* parent)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                     wxLC_REPORT | wxLC_VIRTUAL | wxLC_NO_HEADER | wxLC_SINGLE_SEL)
    {
        SetFont(ListFont());
        InsertColumn(0, wxString());
        char_w_ = GetTextExtent("0").GetWidth();
        SetColumnWidth(0, 80 * char_w_);
    }

    std::deque<std::string> lines;
    size_t widest = 80; // characters the column is wide enough for

    void Sync(bool follow)
    {
        // The new count, the column and the scroll to the end make one
        // repaint, not one each.
        wxWindowUpdateLocker one_repaint(this);
        SetItemCount(long(lines.size()));
        if (widest * size_t(char_w_) > size_t(GetColumnWidth(0)))
            SetColumnWidth(0, int(widest + 4) * char_w_);
        // Setting the count repaints what changed in view.
        if (follow && !lines.empty()) {
            EnsureVisible(long(lines.size()) - 1);
            // The generic list keeps the range of rows in view that it
            // worked out before the scroll, and would paint those rows, now
            // out of sight, until its next idle time: nothing at all while
            // Auto Read keeps the program busy. Setting the count again
            // forgets that range.
            SetItemCount(long(lines.size()));
        }
        // It lays out a new count only when the program is idle: now.
        for (wxWindow* child : GetChildren())
            child->OnInternalIdle();
    }

    // Paints what changed before the program goes on: under Auto Read at the
    // fastest sampling time it may not be free to paint for a while.
    void PaintNow() { Update(); }

    // The last line is in view (or there is none): new lines are followed.
    bool AtEnd() const
    {
        long count = GetItemCount();
        return count == 0 || GetTopItem() + GetCountPerPage() >= count;
    }

private:
    wxString OnGetItemText(long item, long) const override
    {
        if (item < 0 || size_t(item) >= lines.size())
            return wxString();
        return wxString::FromUTF8(lines[size_t(item)]);
    }

    int char_w_ = 8;
};

class LineFrame : public wxFrame {
public:
    LineFrame(int handle, const ui::LineWindowSpec& spec)
        : wxFrame(nullptr, wxID_ANY, wxb::ToWxText(spec.title)),
          max_lines(std::max<size_t>(1, spec.max_lines)), handle_(handle)
    {
        auto* panel = new wxPanel(this);
        auto* column = new wxBoxSizer(wxVERTICAL);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        for (const ui::LineWindowButton& b : spec.buttons) {
            auto* button = new wxButton(panel, wxID_ANY, wxb::ToWxText(b.text));
            int command = b.command;
            button->Bind(wxEVT_BUTTON, [this, command](wxCommandEvent&) {
                if (wxb::Sink().on_window_command)
                    wxb::Sink().on_window_command(handle_, command);
            });
            buttons[command] = button;
            row->Add(button, 0, wxRIGHT, 4);
        }
        column->Add(row, 0, wxALL, 4);
        list = new LineList(panel);
        column->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT, 4);
        if (spec.note_lines > 0) {
            note = new wxStaticText(panel, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                    wxST_NO_AUTORESIZE);
            note->SetFont(ListFont());
            int line_h = note->GetTextExtent("0").GetHeight();
            note->SetMinSize(wxSize(-1, line_h * spec.note_lines + 2));
            column->Add(note, 0, wxEXPAND | wxALL, 4);
        }
        panel->SetSizer(column);
        SetClientSize(spec.client_w_px, spec.client_h_px);

        // Paints of the list's rows, for the tests and the benchmark. The
        // generic list control paints its rows in a child window of its own.
        for (wxWindow* child : list->GetChildren())
            child->Bind(wxEVT_PAINT, [this](wxPaintEvent& e) {
                ++paints;
                e.Skip();
            });
        if (spec.refresh_ms > 0) {
            refresh.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
                if (wxb::Sink().on_window_refresh)
                    wxb::Sink().on_window_refresh(handle_);
            });
            refresh.Start(spec.refresh_ms, wxTIMER_CONTINUOUS);
        }
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnClose(); });
    }

    LineList* list = nullptr;
    wxStaticText* note = nullptr;
    std::map<int, wxButton*> buttons;
    size_t max_lines;
    wxTimer refresh;
    long paints = 0;

private:
    void OnClose();
    int handle_;
};

std::map<int, LineFrame*> frames;

LineFrame* Find(int window)
{
    auto it = frames.find(window);
    return it == frames.end() ? nullptr : it->second;
}

// Out of the table at once; wx deletes the frame when the loop is idle.
void Discard(LineFrame* f)
{
    for (auto it = frames.begin(); it != frames.end(); ++it) {
        if (it->second == f) {
            frames.erase(it);
            break;
        }
    }
    f->refresh.Stop();
    f->Hide();
    f->Destroy();
}

void LineFrame::OnClose()
{
    int handle = handle_;
    Discard(this);
    if (wxb::Sink().on_window_closed)
        wxb::Sink().on_window_closed(handle);
}

} // namespace

namespace wxb {

void DestroyLineWindows()
{
    while (!frames.empty())
        Discard(frames.begin()->second);
}

wxFrame* LineWindowFrame(int window) { return Find(window); }

wxWindow* LineWindowButton(int window, int command)
{
    LineFrame* f = Find(window);
    if (!f)
        return nullptr;
    auto it = f->buttons.find(command);
    return it == f->buttons.end() ? nullptr : it->second;
}

wxWindow* LineWindowList(int window)
{
    LineFrame* f = Find(window);
    return f ? f->list : nullptr;
}

long LineWindowPaints(int window)
{
    LineFrame* f = Find(window);
    return f ? f->paints : 0;
}

} // namespace wxb

namespace ui {

int CreateLineWindow(const LineWindowSpec& spec)
{
    if (!wxb::Running())
        return 0;
    int handle = wxb::NewWindowHandle();
    auto* f = new LineFrame(handle, spec);
    frames[handle] = f;
    if (spec.x_px < 0 || spec.y_px < 0) {
        // Smaller than this, the list and its note would show too little.
        const wxSize frame_extra = f->GetSize() - f->GetClientSize();
        const wxSize least =
            wxSize(std::min(spec.client_w_px, 400), std::min(spec.client_h_px, 150));
        const wxRect at = wxb::BesideMainWindow(f->GetSize(), least + frame_extra);
        f->SetSize(at);
    } else {
        f->Move(wxb::OnScreen(wxRect(wxPoint(spec.x_px, spec.y_px), f->GetSize())));
    }
    return handle;
}

void ShowLineWindow(int window)
{
    if (LineFrame* f = Find(window)) {
        f->Show();
        f->Raise();
    }
}

void DestroyLineWindow(int window)
{
    if (LineFrame* f = Find(window))
        Discard(f);
}

bool LineWindowExists(int window) { return Find(window) != nullptr; }

void AppendLines(int window, const std::string& text)
{
    LineFrame* f = Find(window);
    if (!f || text.empty())
        return;
    LineList* list = f->list;
    bool follow = list->AtEnd();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        list->lines.emplace_back(text, start, end - start);
        list->widest = std::max(list->widest, end - start);
        start = end + 1;
    }
    while (list->lines.size() > f->max_lines)
        list->lines.pop_front();
    list->Sync(follow);
    list->PaintNow();
}

void ClearLines(int window)
{
    if (LineFrame* f = Find(window)) {
        f->list->lines.clear();
        f->list->Sync(false);
        f->list->Refresh(false);
    }
}

size_t LineCount(int window)
{
    LineFrame* f = Find(window);
    return f ? f->list->lines.size() : 0;
}

std::string LinesText(int window)
{
    std::string out;
    if (LineFrame* f = Find(window))
        for (const std::string& line : f->list->lines)
            out += line + '\n';
    return out;
}

void SetLineWindowNote(int window, const std::string& text)
{
    LineFrame* f = Find(window);
    if (f && f->note)
        f->note->SetLabel(wxString::FromUTF8(text));
}

void SetLineWindowButtonText(int window, int command, const std::string& text)
{
    if (wxWindow* b = wxb::LineWindowButton(window, command))
        static_cast<wxButton*>(b)->SetLabel(wxb::ToWxText(text));
}

} // namespace ui
