// The headless backend's controls: the program's side (create, text,
// colours, state) and the scripted user's (focus, click, type).
#include <map>
#include <utility>
#include <vector>

#include "platform/control_table.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

namespace {

ui::table::ControlTable<headless::ControlState> controls;
int focus = 0;
// Kept forms set aside: their controls in creation order.
std::map<int, std::vector<std::pair<int, headless::ControlState>>> aside;
int building_form = 0;

headless::ControlState* Find(int id) { return controls.Find(id); }

bool IsEdit(int id)
{
    const headless::ControlState* c = Find(id);
    return c && c->spec.kind == ui::Kind::Edit;
}

// What the user can act on: an enabled control of the window on top (a
// modal dialog keeps the user away from the windows under it).
bool Usable(const headless::ControlState* c)
{
    return c != nullptr && c->enabled && c->host == headless::UserHost();
}

bool TakesFocus(ui::Kind kind)
{
    return kind != ui::Kind::Label && kind != ui::Kind::Separator && kind != ui::Kind::Frame;
}

} // namespace

namespace headless {

void MoveFocus(int id)
{
    if (id == focus)
        return;
    int old = focus;
    focus = id;
    if (old != 0 && IsEdit(old))
        Notify(old, ui::Notify::FocusOut);
    if (id != 0 && IsEdit(id) && focus == id)
        Notify(id, ui::Notify::FocusIn);
}

void DropFocusOn(int host)
{
    const ControlState* c = Find(focus);
    if (c && c->host == host)
        focus = 0;
}

int FirstFocusable(int host)
{
    for (int id : controls.IdsOn(host)) {
        const ControlState* c = Find(id);
        if (c->enabled && TakesFocus(c->spec.kind))
            return id;
    }
    return 0;
}

void ForgetControlsOn(int host)
{
    DropFocusOn(host);
    for (int id : controls.IdsOn(host))
        controls.Take(id);
}

void ForgetControls()
{
    controls.Clear();
    aside.clear();
    building_form = 0;
    focus = 0;
}

const ControlState* Control(int id) { return Find(id); }
std::vector<int> ControlIds() { return controls.Ids(); }
int FocusedControl() { return focus; }

// --- The user ----------------------------------------------------------------

void Focus(int id)
{
    if (Usable(Find(id)))
        MoveFocus(id);
}

void Click(int id)
{
    ControlState* c = Find(id);
    if (!Usable(c))
        return;
    ui::Kind kind = c->spec.kind;
    if (!TakesFocus(kind))
        return; // plain statics do not take part
    MoveFocus(id);
    c = Find(id); // a notification may have rebuilt the panel
    if (!Usable(c))
        return;
    switch (kind) {
    case ui::Kind::Check:
        c->checked = !c->checked;
        Notify(id, ui::Notify::Click);
        break;
    case ui::Kind::Option:
        for (int other_id : controls.Ids()) {
            ControlState* other = Find(other_id);
            if (other->spec.kind == ui::Kind::Option && other->spec.group == c->spec.group)
                other->checked = other_id == id;
        }
        Notify(id, ui::Notify::Click);
        break;
    case ui::Kind::Button:
    case ui::Kind::Swatch: Notify(id, ui::Notify::Click); break;
    default: break;
    }
}

void Type(int id, const std::string& keys)
{
    Focus(id);
    for (char ch : keys) {
        ControlState* c = Find(id);
        if (!Usable(c) || c->read_only || c->spec.kind != ui::Kind::Edit)
            return;
        if (ch == '\n') {
            if ((c->spec.style & ui::kMultiLine) == 0)
                continue;
            c->spec.text += "\r\n";
        } else {
            c->spec.text += ch;
        }
        Notify(id, ui::Notify::Change);
    }
}

void Erase(int id)
{
    Focus(id);
    for (;;) {
        ControlState* c = Find(id);
        if (!Usable(c) || c->read_only || c->spec.text.empty())
            return;
        std::string& t = c->spec.text;
        size_t n = t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0 ? 2 : 1;
        t.erase(t.size() - n);
        Notify(id, ui::Notify::Change);
    }
}

void SetTextAsUser(int id, const std::string& text)
{
    Focus(id);
    ControlState* c = Find(id);
    if (!Usable(c) || c->read_only)
        return;
    ui::SetText(id, text);
}

} // namespace headless

// --- The program ---------------------------------------------------------------
namespace ui {

void CreateControl(const ControlSpec& spec)
{
    headless::ControlState c;
    c.spec = spec;
    c.host = OpenDialogCount();
    if (c.host == table::kMainWindowHost) {
        const headless::ControlState* old = Find(spec.id);
        c.form = old && old->host == c.host && old->form != 0 ? old->form : building_form;
    }
    if (controls.Has(spec.id))
        DestroyControl(spec.id);
    c.enabled = (spec.style & kDisabled) == 0;
    c.read_only = (spec.style & kReadOnly) != 0;
    controls.Add(spec.id, c);
}

void DestroyControl(int id)
{
    if (!controls.Take(id))
        return;
    if (focus == id)
        focus = 0;
}

bool ControlExists(int id) { return controls.Has(id); }

void BeginKeptForm(int form)
{
    if (form == 0 || OpenDialogCount() > 0)
        return;
    aside.erase(form);
    for (int id : std::vector<int>(controls.Ids()))
        if (Find(id)->form == form)
            DestroyControl(id);
    building_form = form;
}

void EndKeptForm() { building_form = 0; }

void SetFormAside(int form)
{
    if (form == 0 || aside.count(form))
        return;
    if (building_form == form)
        building_form = 0;
    auto& kept = aside[form];
    for (int id : std::vector<int>(controls.Ids())) {
        if (Find(id)->form != form)
            continue;
        if (focus == id)
            focus = 0; // gone without a word, as a destroyed control
        kept.emplace_back(id, *controls.Take(id));
    }
}

bool ShowKeptForm(int form)
{
    auto it = aside.find(form);
    if (it == aside.end())
        return false;
    for (auto& [id, c] : it->second)
        if (!controls.Has(id)) // else the identifier was taken meanwhile
            controls.Add(id, std::move(c));
    aside.erase(it);
    return true;
}

std::string GetText(int id)
{
    const headless::ControlState* c = Find(id);
    return c ? c->spec.text : std::string();
}

void SetText(int id, const std::string& text)
{
    headless::ControlState* c = Find(id);
    if (!c)
        return;
    c->spec.text = text;
    if (c->spec.kind == Kind::Edit)
        headless::Notify(id, Notify::Change);
}

void SetColours(int id, Colour text, Colour back)
{
    if (headless::ControlState* c = Find(id))
        table::MergeColours(c->spec, text, back);
}

Colour GetBackColour(int id) { return controls.BackColour(id); }
Colour GetTextColour(int id) { return controls.TextColour(id); }

void Enable(int id, bool enabled)
{
    if (headless::ControlState* c = Find(id))
        c->enabled = enabled;
}

bool IsEnabled(int id)
{
    const headless::ControlState* c = Find(id);
    return c && c->enabled;
}

bool IsReadOnly(int id)
{
    const headless::ControlState* c = Find(id);
    return c && c->read_only;
}

void SetChecked(int id, bool checked)
{
    if (headless::ControlState* c = Find(id))
        c->checked = checked;
}

bool IsChecked(int id)
{
    const headless::ControlState* c = Find(id);
    return c && c->checked;
}

void SetFocus(int id) { headless::MoveFocus(ControlExists(id) ? id : 0); }
int GetFocus() { return focus; }
void Redraw(int) {}

} // namespace ui
