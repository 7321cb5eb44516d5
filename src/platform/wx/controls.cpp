// The controls that tools place on the main window and on dialogs, kept by
// identifier, and the notifications they send to the program.
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include <wx/toplevel.h>

#include <vector>

#ifdef __WXGTK__
#include <glib.h>
#endif

#include "platform/control_table.h"
#include "platform/wx/label_window.h"
#include "platform/wx/native_style.h"
#include "platform/wx/option_groups.h"
#include "platform/wx/wx_backend.h"

namespace {

struct Control {
    ui::ControlSpec spec; // text and colours as they are now
    int host = ui::table::kMainWindowHost;
    wxWindow* window = nullptr;
    wxb::LabelWindow* label = nullptr; // labels and swatches
    bool read_only = false;
    bool stale = false; // read-only box whose screen text lags spec.text
    std::string shown;  // read-only box: the text it shows, as the program set it
};

ui::table::ControlTable<Control> controls;
// Controls removed by the program wait here until the loop is idle: the
// program often removes a control from inside that control's own
// notification, and wx must not delete a window while it is dispatching
// one of its events.
std::vector<wxWindow*> removed;
// Notifications of controls now on the stack. The program may pump
// messages or show a modal box from inside one, and those loops run the
// deferred deletion too: it must wait until every handler has returned.
int notifying = 0;

Control* Find(int id) { return controls.Find(id); }

// True while `window` is still the control the program knows as `id`: a
// removed control's late events (a focus lost while it is being hidden)
// are not the program's business.
bool Current(int id, const wxWindow* window)
{
    const Control* c = Find(id);
    return c && c->window == window;
}

void DeleteRemoved()
{
    if (notifying > 0)
        return; // the outermost notification asks again when it ends
    std::vector<wxWindow*> doomed;
    doomed.swap(removed);
    for (wxWindow* w : doomed)
        delete w;
}

void ScheduleDeletion()
{
    if (!removed.empty() && wxb::Client())
        wxb::Client()->CallAfter([] { DeleteRemoved(); });
}

void Send(int id, ui::Notify how)
{
    ++notifying;
    wxb::Notify(id, how);
    if (--notifying == 0)
        ScheduleDeletion();
}

// A read-only box that the program fills (a result listing) takes its text
// on screen once the window catches up, and only when the text differs from
// what it shows: an Auto Read pass empties the listing and fills it again,
// and setting a text view's text costs a new layout and a repaint each time,
// though the user can only ever see the last one. The program sees its text
// at once, and the user cannot type into such a box meanwhile.
bool flush_pending = false;

void ShowStaleTexts()
{
    flush_pending = false;
    for (int id : controls.Ids()) {
        Control* c = Find(id);
        if (!c->stale)
            continue;
        c->stale = false;
        if (c->shown == c->spec.text)
            continue;
        c->shown = c->spec.text;
        static_cast<wxTextCtrl*>(c->window)->ChangeValue(wxb::ToWxText(c->shown));
    }
}

#ifdef __WXGTK__
// Straight from the main loop, before it repaints: wx's own way of calling
// back later would also send idle events to every window, at every pass.
gboolean ShowStaleTextsWhenIdle(gpointer)
{
    ShowStaleTexts();
    return G_SOURCE_REMOVE;
}
#endif

void ShowLater(Control* c)
{
    c->stale = true;
    if (flush_pending)
        return;
    flush_pending = true;
#ifdef __WXGTK__
    g_idle_add_full(G_PRIORITY_HIGH_IDLE, ShowStaleTextsWhenIdle, nullptr, nullptr);
#else
    wxTheApp->CallAfter([] { ShowStaleTexts(); });
#endif
}

bool IsMultiLine(const Control& c)
{
    return c.spec.kind == ui::Kind::Edit && (c.spec.style & ui::kMultiLine);
}

void ApplyColours(Control& c)
{
    wxWindow* w = c.window;
    if (c.spec.back_colour != ui::kDefaultColour)
        w->SetBackgroundColour(wxb::ToWx(c.spec.back_colour));
    if (c.spec.text_colour != ui::kDefaultColour)
        w->SetForegroundColour(wxb::ToWx(c.spec.text_colour));
    // wxGTK also makes the colours the default style of a multi-line box,
    // which tags every character typed afterwards with them: the text would
    // keep the old background when the box changes colour (a valid list
    // turning the error colour). The box's own colours are enough.
    if (IsMultiLine(c))
        static_cast<wxTextCtrl*>(w)->SetDefaultStyle(wxTextAttr());
    w->Refresh();
}

wxb::LabelWindow::Align AlignOf(unsigned style)
{
    if (style & ui::kAlignRight)
        return wxb::LabelWindow::Right;
    if (style & ui::kAlignCenter)
        return wxb::LabelWindow::Center;
    return wxb::LabelWindow::Left;
}

wxWindow* MakeLabel(Control& c, wxWindow* parent, const wxPoint& pos, const wxSize& size)
{
    const ui::ControlSpec& s = c.spec;
    auto* label = new wxb::LabelWindow(parent, pos, size, s.style & ui::kClientEdge);
    label->SetAlign(AlignOf(s.style));
    label->SetLabelText(wxb::ToWxText(s.text));
    // A label's own colours are the panel's.
    label->SetBackgroundColour(parent->GetBackgroundColour());
    label->SetForegroundColour(*wxBLACK);
    if (s.kind == ui::Kind::Swatch) {
        int id = s.id;
        label->OnClick([id, label] {
            if (!Current(id, label))
                return;
            label->SetFocus();
            if (Current(id, label))
                Send(id, ui::Notify::Click);
        });
    }
    c.label = label;
    return label;
}

wxWindow* MakeEdit(Control& c, wxWindow* parent, const wxPoint& pos, const wxSize& size)
{
    const ui::ControlSpec& s = c.spec;
    long style = 0;
    if (s.style & ui::kMultiLine)
        style |= wxTE_MULTILINE;
    if (s.style & ui::kReadOnly)
        style |= wxTE_READONLY;
    if (s.style & ui::kAlignRight)
        style |= wxTE_RIGHT;
    else if (s.style & ui::kAlignCenter)
        style |= wxTE_CENTRE;
    auto* edit = new wxTextCtrl(parent, wxID_ANY, wxb::ToWxText(s.text), pos, size, style);
    if (s.style & ui::kMultiLine) {
        wxb::SetTextMargins(edit, 2);
        wxb::ShowVerticalScrollBar(edit);
        wxb::ShowWholeLines(edit);
    }
    int id = s.id;
    edit->Bind(wxEVT_TEXT, [id, edit](wxCommandEvent&) {
        if (Current(id, edit))
            Send(id, ui::Notify::Change);
    });
    edit->Bind(wxEVT_SET_FOCUS, [id, edit](wxFocusEvent& e) {
        e.Skip();
        if (Current(id, edit))
            Send(id, ui::Notify::FocusIn);
    });
    edit->Bind(wxEVT_KILL_FOCUS, [id, edit](wxFocusEvent& e) {
        e.Skip();
        if (Current(id, edit))
            Send(id, ui::Notify::FocusOut);
    });
    c.read_only = s.style & ui::kReadOnly;
    c.shown = s.text;
    return edit;
}

wxWindow* MakeWindow(Control& c)
{
    const ui::ControlSpec& s = c.spec;
    wxWindow* parent = wxb::ControlParent();
    wxPoint pos = wxb::DluToPx(s.x, s.y);
    wxSize size = wxb::DluToPxSize(s.w, s.h);
    wxString text = wxb::ToWxText(s.text);
    int id = s.id;
    switch (s.kind) {
    case ui::Kind::Label:
    case ui::Kind::Swatch: return MakeLabel(c, parent, pos, size);
    case ui::Kind::Separator: return wxb::MakeEtchedLine(parent, pos, size.x);
    case ui::Kind::Button: {
        auto* b = new wxButton(parent, wxID_ANY, text, pos, size);
        b->Bind(wxEVT_BUTTON, [id, b](wxCommandEvent&) {
            if (Current(id, b))
                Send(id, ui::Notify::Click);
        });
        return b;
    }
    case ui::Kind::Edit: return MakeEdit(c, parent, pos, size);
    case ui::Kind::Check: {
        auto* b = new wxCheckBox(parent, wxID_ANY, text, pos, size);
        b->Bind(wxEVT_CHECKBOX, [id, b](wxCommandEvent&) {
            if (Current(id, b))
                Send(id, ui::Notify::Click);
        });
        return b;
    }
    case ui::Kind::Option: {
        auto* b = new wxRadioButton(parent, wxID_ANY, text, pos, size, wxRB_GROUP);
        // The group is the program's `group` number, whatever else lies
        // between its options.
        wxb::JoinOptionGroup(b, s.group);
        b->Bind(wxEVT_RADIOBUTTON, [id, b](wxCommandEvent&) {
            if (Current(id, b))
                Send(id, ui::Notify::Click);
        });
        return b;
    }
    case ui::Kind::Frame: return new wxStaticBox(parent, wxID_ANY, text, pos, size);
    }
    return nullptr;
}

void Remove(int id)
{
    std::optional<Control> c = controls.Take(id);
    if (!c)
        return;
    wxWindow* w = c->window;
    w->Hide();
    removed.push_back(w);
    if (removed.size() == 1 && notifying == 0)
        ScheduleDeletion();
}

} // namespace

namespace wxb {

void ForgetControls()
{
    // The frame deletes its children itself, the removed ones with them
    // (they are only hidden), and later than now: the window may be closed
    // from inside a notification of one of them.
    removed.clear();
    controls.Clear();
    ForgetOptionGroups();
}

void ForgetControlsOn(int host, wxWindow* dialog)
{
    for (int id : controls.IdsOn(host))
        controls.Take(id);
    // The dialog deletes its children, the removed ones among them.
    std::erase_if(removed, [dialog](wxWindow* w) { return wxGetTopLevelParent(w) == dialog; });
}

int IdOfWindow(const wxWindow* w)
{
    for (; w; w = w->GetParent())
        for (int id : controls.Ids())
            if (controls.Find(id)->window == w)
                return id;
    return 0;
}

wxWindow* WindowOf(int id)
{
    const Control* c = Find(id);
    return c ? c->window : nullptr;
}

} // namespace wxb

namespace ui {

void CreateControl(const ControlSpec& spec)
{
    if (!wxb::Client())
        return;
    Remove(spec.id);
    Control c;
    c.spec = spec;
    c.host = OpenDialogCount();
    c.window = MakeWindow(c);
    if (!c.window)
        return;
    if (spec.font != Font::Dialog || spec.kind == Kind::Label || spec.kind == Kind::Edit)
        c.window->SetFont(wxb::FontFor(spec.font));
    ApplyColours(c);
    if (spec.style & kDisabled)
        c.window->Disable();
    controls.Add(spec.id, c);
    // The status bar stays on top of whatever a panel puts near the bottom.
    if (c.host == table::kMainWindowHost)
        wxb::PlaceStatusBar();
}

void DestroyControl(int id) { Remove(id); }

bool ControlExists(int id) { return Find(id) != nullptr; }

std::string GetText(int id)
{
    Control* c = Find(id);
    if (!c)
        return "";
    if (c->spec.kind == Kind::Edit && !c->stale)
        return wxb::FromWxText(static_cast<wxTextCtrl*>(c->window)->GetValue(), IsMultiLine(*c));
    return c->spec.text;
}

void SetText(int id, const std::string& text)
{
    Control* c = Find(id);
    if (!c)
        return;
    c->spec.text = text;
    if (c->spec.kind == Kind::Edit) {
        // Exactly one Change per text set by the program, as for a typed
        // key: ChangeValue is silent and the notification is sent here.
        if (c->read_only)
            ShowLater(c);
        else
            static_cast<wxTextCtrl*>(c->window)->ChangeValue(wxb::ToWxText(text));
        Send(id, Notify::Change);
    } else if (c->label) {
        c->label->SetLabelText(wxb::ToWxText(text));
    } else {
        c->window->SetLabel(wxb::ToWxText(text));
    }
}

void SetColours(int id, Colour text, Colour back)
{
    Control* c = Find(id);
    if (!c)
        return;
    table::MergeColours(c->spec, text, back);
    ApplyColours(*c);
}

Colour GetBackColour(int id) { return controls.BackColour(id); }
Colour GetTextColour(int id) { return controls.TextColour(id); }

void Enable(int id, bool enabled)
{
    if (Control* c = Find(id)) {
        c->window->Enable(enabled);
        c->window->Refresh();
    }
}

bool IsEnabled(int id)
{
    Control* c = Find(id);
    return c && c->window->IsThisEnabled();
}

bool IsReadOnly(int id)
{
    Control* c = Find(id);
    return c && c->read_only;
}

void SetChecked(int id, bool on)
{
    Control* c = Find(id);
    if (!c)
        return;
    if (c->spec.kind == Kind::Check)
        static_cast<wxCheckBox*>(c->window)->SetValue(on);
    else if (c->spec.kind == Kind::Option && on)
        wxb::CheckOption(static_cast<wxRadioButton*>(c->window), c->spec.group);
    else if (c->spec.kind == Kind::Option && IsChecked(id))
        wxb::ClearOptionGroup(c->spec.group);
}

bool IsChecked(int id)
{
    Control* c = Find(id);
    if (!c)
        return false;
    if (c->spec.kind == Kind::Check)
        return static_cast<wxCheckBox*>(c->window)->GetValue();
    if (c->spec.kind == Kind::Option)
        return static_cast<wxRadioButton*>(c->window)->GetValue();
    return false;
}

void SetFocus(int id)
{
    if (Control* c = Find(id))
        c->window->SetFocus();
}

int GetFocus() { return wxb::IdOfWindow(wxWindow::FindFocus()); }

void Redraw(int id)
{
    wxWindow* w =
        id == 0 ? static_cast<wxWindow*>(wxb::Frame()) : (Find(id) ? Find(id)->window : nullptr);
    if (!w)
        return;
    w->Refresh();
    w->Update();
}

} // namespace ui
