// The controls that tools place on the main window and on dialogs, kept by
// identifier, and the notifications they send to the program.
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include <wx/toplevel.h>

#include <algorithm>
#include <map>
#include <utility>
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
    int form = 0; // the kept form it belongs to; 0: none
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

// Kept forms, each on a panel of its own over the client area; the
// controls of one set aside wait in `aside`, in creation order.
struct KeptForm {
    wxPanel* panel = nullptr;
    std::vector<std::pair<int, Control>> aside;
    bool set_aside = false;
};
std::map<int, KeptForm> forms;
int building_form = 0;

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

void FlushLater()
{
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

void ShowLater(Control* c)
{
    c->stale = true;
    FlushLater();
}

wxWindow* MakeWindow(Control& c, wxWindow* parent)
{
    const ui::ControlSpec& s = c.spec;
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

void Discard(wxWindow* w)
{
    w->Hide();
    removed.push_back(w);
    if (removed.size() == 1 && notifying == 0)
        ScheduleDeletion();
}

void Remove(int id)
{
    if (std::optional<Control> c = controls.Take(id))
        Discard(c->window);
}

// A form covers the client area above the status bar, which stays the
// client's own.
wxRect FormArea()
{
    const wxSize size = wxb::Client()->GetClientSize();
    return wxRect(0, 0, size.x, std::max(0, size.y - wxb::StatusBarHeightPx()));
}

// The form's controls, in creation order.
std::vector<int> IdsOfForm(int form)
{
    std::vector<int> ids;
    for (int id : controls.Ids())
        if (Find(id)->form == form)
            ids.push_back(id);
    return ids;
}

void DropForm(int form)
{
    auto it = forms.find(form);
    if (it == forms.end())
        return;
    for (int id : IdsOfForm(form))
        Remove(id);
    for (auto& [id, c] : it->second.aside)
        Discard(c.window);
    // The panel goes once the controls it holds have gone.
    Discard(it->second.panel);
    forms.erase(it);
}

} // namespace

namespace wxb {

void FitKeptForms()
{
    for (auto& [form, kept] : forms)
        kept.panel->SetSize(FormArea());
}

void ForgetControls()
{
    // The frame deletes its children itself, the removed ones with them
    // (they are only hidden), and later than now: the window may be closed
    // from inside a notification of one of them.
    removed.clear();
    controls.Clear();
    forms.clear();
    building_form = 0;
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
    Control c;
    c.spec = spec;
    c.host = OpenDialogCount();
    // A control made again under its identifier stays in its form, where
    // it was in the Tab order.
    wxWindow* place = nullptr;
    if (c.host == table::kMainWindowHost) {
        c.form = building_form;
        if (const Control* old = Find(spec.id); old && old->host == c.host && old->form != 0) {
            c.form = old->form;
            place = old->window;
        }
    }
    Remove(spec.id);
    c.window = MakeWindow(c, c.form != 0 ? forms[c.form].panel : wxb::ControlParent());
    if (!c.window)
        return;
    if (place)
        c.window->MoveBeforeInTabOrder(place);
    if (spec.font != Font::Dialog || spec.kind == Kind::Label || spec.kind == Kind::Edit)
        c.window->SetFont(wxb::FontFor(spec.font));
    ApplyColours(c);
    if (spec.style & kDisabled)
        c.window->Disable();
    controls.Add(spec.id, c);
    // The status bar stays on top of whatever a panel puts near the bottom.
    if (c.host == table::kMainWindowHost && c.form == 0)
        wxb::PlaceStatusBar();
}

void BeginKeptForm(int form)
{
    if (!wxb::Client() || form == 0 || OpenDialogCount() > 0)
        return;
    DropForm(form);
    // Built hidden: GTK lays out and maps the controls once, when the form
    // is shown whole, not again for each control that comes.
    auto* panel = new wxPanel;
    panel->Hide();
    const wxRect area = FormArea();
    panel->Create(wxb::Client(), wxID_ANY, area.GetPosition(), area.GetSize(),
                  wxTAB_TRAVERSAL | wxCLIP_CHILDREN);
    panel->SetFont(wxb::DialogFont());
    panel->SetBackgroundColour(wxb::Client()->GetBackgroundColour());
    forms[form].panel = panel;
    building_form = form;
}

void EndKeptForm()
{
    auto it = forms.find(building_form);
    building_form = 0;
    if (it != forms.end())
        it->second.panel->Show();
}

void SetFormAside(int form)
{
    auto it = forms.find(form);
    if (it == forms.end() || it->second.set_aside)
        return;
    if (building_form == form)
        building_form = 0;
    KeptForm& kept = it->second;
    // Out of the table first: the events of hiding (a focus lost) are no
    // longer the program's.
    for (int id : IdsOfForm(form))
        kept.aside.emplace_back(id, *controls.Take(id));
    kept.set_aside = true;
    kept.panel->Hide();
}

bool ShowKeptForm(int form)
{
    auto it = forms.find(form);
    if (it == forms.end() || !it->second.set_aside || !wxb::Client())
        return false;
    KeptForm& kept = it->second;
    bool stale = false;
    for (auto& [id, c] : kept.aside) {
        if (controls.Has(id)) { // the identifier was taken meanwhile
            Discard(c.window);
            continue;
        }
        stale = stale || c.stale;
        controls.Add(id, std::move(c));
    }
    kept.aside.clear();
    kept.set_aside = false;
    if (stale)
        FlushLater();
    kept.panel->SetSize(FormArea());
    kept.panel->Show();
    return true;
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
