// An in-memory window system: the controls are a table by identifier, the
// user is a script, the modal boxes take queued answers and every box shown is
// recorded. It implements the same API as the desktop backend, with the same
// notification rules, so the program cannot tell them apart.
#include "platform/headless/headless.h"

#include <algorithm>
#include <deque>
#include <map>

#include "platform/system.h"
#include "platform/ui.h"

namespace {

struct Window {
    bool created = false;
    bool open = false;
    std::string title;
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<ui::MenuItem> menu;
    std::vector<ui::Accelerator> accelerators;
    std::map<int, bool> menu_checks;
    std::string status_text;
    ui::Colour status_colour = 0;
    int timer_ms = 0;
};

ui::EventSink sink;
Window window;
std::map<int, headless::ControlState> controls;
std::vector<int> creation_order;
int focus = 0;

std::deque<ui::Answer> message_answers;
std::deque<std::optional<std::string>> text_answers;
std::deque<std::optional<std::string>> file_answers;
std::deque<std::optional<ui::Colour>> colour_answers;
std::vector<headless::MessageRecord> messages;
std::vector<headless::InputRecord> inputs;
std::vector<ui::FileDialogSpec> file_dialogs;
int beeps = 0;
int pumps = 0;
double last_wait = 0;

void SendNotification(int id, ui::Notify how)
{
    if (sink.on_command)
        sink.on_command(id, how);
}

bool IsEdit(int id)
{
    auto it = controls.find(id);
    return it != controls.end() && it->second.spec.kind == ui::Kind::Edit;
}

headless::ControlState* Find(int id)
{
    auto it = controls.find(id);
    return it == controls.end() ? nullptr : &it->second;
}

// Focus moves as in the desktop backend: the edit box that loses it is told
// first, then the one that gains it.
void MoveFocus(int id)
{
    if (id == focus)
        return;
    int old = focus;
    focus = id;
    if (old != 0 && IsEdit(old))
        SendNotification(old, ui::Notify::FocusOut);
    if (id != 0 && IsEdit(id) && focus == id)
        SendNotification(id, ui::Notify::FocusIn);
}

bool Usable(const headless::ControlState* c) { return c != nullptr && c->enabled; }

int CommandOfAccelerator(char key)
{
    for (const auto& a : window.accelerators)
        if (a.key == key)
            return a.command;
    return 0;
}

// The next queued answer of a text or password box; false for Cancel.
bool TakeTextAnswer(std::string* answer)
{
    if (text_answers.empty())
        return false;
    auto a = text_answers.front();
    text_answers.pop_front();
    if (!a)
        return false;
    *answer = *a;
    return true;
}

} // namespace

// ===========================================================================
// The platform API
namespace ui {

bool Initialize(int, char**) { return true; }

void SetEventSink(const EventSink& s) { sink = s; }

void CreateMainWindow(const std::string& title, int x_dlu, int y_dlu, int client_w_dlu,
                      int client_h_dlu, const std::vector<MenuItem>& menu,
                      const std::vector<Accelerator>& accelerators)
{
    window.created = true;
    window.open = true;
    window.title = title;
    window.x = x_dlu;
    window.y = y_dlu;
    window.w = client_w_dlu;
    window.h = client_h_dlu;
    window.menu = menu;
    window.accelerators = accelerators;
    if (sink.on_init)
        sink.on_init();
}

void RunMainWindow() {}

void CloseMainWindow()
{
    window.open = false;
    controls.clear();
    creation_order.clear();
    focus = 0;
    window.timer_ms = 0;
}

bool MainWindowOpen() { return window.open; }

void SetTitle(const std::string& title) { window.title = title; }
std::string GetTitle() { return window.title; }

void SetClientSize(int w_dlu, int h_dlu)
{
    window.w = w_dlu;
    window.h = h_dlu;
}

void GetClientSize(int* w_dlu, int* h_dlu)
{
    *w_dlu = window.w;
    *h_dlu = window.h;
}

void GetWindowPosition(int* x_dlu, int* y_dlu)
{
    *x_dlu = window.x;
    *y_dlu = window.y;
}

void CheckMenuItem(int command, bool checked) { window.menu_checks[command] = checked; }

bool IsMenuItemChecked(int command)
{
    auto it = window.menu_checks.find(command);
    return it != window.menu_checks.end() && it->second;
}

void SetStatus(const std::string& text, Colour background)
{
    window.status_text = text;
    window.status_colour = background;
}

std::string GetStatusText() { return window.status_text; }
Colour GetStatusColour() { return window.status_colour; }

void StartTimer(int period_ms) { window.timer_ms = period_ms > 0 ? period_ms : 0; }
void StopTimer() { window.timer_ms = 0; }
int TimerPeriod() { return window.timer_ms; }

void CreateControl(const ControlSpec& spec)
{
    if (controls.count(spec.id))
        DestroyControl(spec.id);
    headless::ControlState c;
    c.spec = spec;
    c.enabled = (spec.style & kDisabled) == 0;
    c.read_only = (spec.style & kReadOnly) != 0;
    controls[spec.id] = c;
    creation_order.push_back(spec.id);
}

void DestroyControl(int id)
{
    if (controls.erase(id) == 0)
        return;
    creation_order.erase(std::remove(creation_order.begin(), creation_order.end(), id),
                         creation_order.end());
    if (focus == id)
        focus = 0;
}

bool ControlExists(int id) { return controls.count(id) != 0; }

std::string GetText(int id)
{
    auto* c = Find(id);
    return c ? c->spec.text : std::string();
}

void SetText(int id, const std::string& text)
{
    auto* c = Find(id);
    if (!c)
        return;
    c->spec.text = text;
    if (c->spec.kind == Kind::Edit)
        SendNotification(id, ui::Notify::Change);
}

void SetColours(int id, Colour text, Colour back)
{
    auto* c = Find(id);
    if (!c)
        return;
    if (text != kDefaultColour)
        c->spec.text_colour = text;
    if (back != kDefaultColour)
        c->spec.back_colour = back;
}

Colour GetBackColour(int id)
{
    auto* c = Find(id);
    return c ? c->spec.back_colour : kDefaultColour;
}

Colour GetTextColour(int id)
{
    auto* c = Find(id);
    return c ? c->spec.text_colour : kDefaultColour;
}

void Enable(int id, bool enabled)
{
    if (auto* c = Find(id))
        c->enabled = enabled;
}

bool IsEnabled(int id)
{
    auto* c = Find(id);
    return c && c->enabled;
}

bool IsReadOnly(int id)
{
    auto* c = Find(id);
    return c && c->read_only;
}

void SetChecked(int id, bool checked)
{
    if (auto* c = Find(id))
        c->checked = checked;
}

bool IsChecked(int id)
{
    auto* c = Find(id);
    return c && c->checked;
}

void SetFocus(int id) { MoveFocus(ControlExists(id) ? id : 0); }
int GetFocus() { return focus; }
void Redraw(int) {}

Answer MessageBox(const std::string& text, const std::string& title, Icon icon, Buttons buttons)
{
    messages.push_back({text, title, icon, buttons});
    // A box with only OK leaves the queued answers to the questions.
    if (buttons == Buttons::Ok || message_answers.empty())
        return Answer::Ok;
    Answer a = message_answers.front();
    message_answers.pop_front();
    return a;
}

bool InputBox(const std::string& prompt, const std::string& title, const std::string& initial,
              std::string* answer)
{
    inputs.push_back({prompt, title, initial});
    return TakeTextAnswer(answer);
}

bool PasswordBox(const std::string& prompt, const std::string& title, std::string* answer)
{
    inputs.push_back({prompt, title, "", true});
    return TakeTextAnswer(answer);
}

bool FileDialog(const FileDialogSpec& spec, std::string* chosen, unsigned* flags_out)
{
    file_dialogs.push_back(spec);
    if (flags_out)
        *flags_out = spec.flags;
    if (file_answers.empty())
        return false;
    auto a = file_answers.front();
    file_answers.pop_front();
    if (!a)
        return false;
    std::string path = *a;
    // The dialog adds the default extension to a name typed without one.
    size_t slash = path.find_last_of('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!spec.default_ext.empty() && base.find('.') == std::string::npos)
        path += "." + spec.default_ext;
    if (!path.empty() && path[0] != '/') {
        std::string folder = spec.folder.empty() ? sys::WorkingDirectory() : spec.folder;
        path = folder + "/" + path;
    }
    *chosen = path;
    return true;
}

bool ColourDialog(Colour initial, Colour custom[16], Colour* chosen)
{
    (void)initial;
    (void)custom;
    if (colour_answers.empty())
        return false;
    auto a = colour_answers.front();
    colour_answers.pop_front();
    if (!a)
        return false;
    *chosen = *a;
    return true;
}

void ProcessPendingMessages() { ++pumps; }

void WaitForMessages(double max_seconds)
{
    ++pumps;
    last_wait = max_seconds;
    // No user is waiting to act: the time passes as it would on a desktop.
    sys::SleepSeconds(max_seconds);
}

void Beep() { ++beeps; }

} // namespace ui

// ===========================================================================
// The scripted user
namespace headless {

void Reset()
{
    window = Window{};
    controls.clear();
    creation_order.clear();
    focus = 0;
    message_answers.clear();
    text_answers.clear();
    file_answers.clear();
    colour_answers.clear();
    messages.clear();
    inputs.clear();
    file_dialogs.clear();
    beeps = 0;
    pumps = 0;
    last_wait = 0;
}

void MenuCommand(int command)
{
    if (sink.on_command && window.open)
        sink.on_command(command, ui::Notify::Menu);
}

bool PressAccelerator(char key)
{
    if (key >= 'a' && key <= 'z')
        key = char(key - 'a' + 'A');
    int command = CommandOfAccelerator(key);
    if (command == 0)
        return false;
    MenuCommand(command);
    return true;
}

void HighlightMenuItem(int command)
{
    if (sink.on_menu_highlight)
        sink.on_menu_highlight(command);
}

void Focus(int id)
{
    auto* c = Find(id);
    if (!Usable(c))
        return;
    MoveFocus(id);
}

void Click(int id)
{
    auto* c = Find(id);
    if (!Usable(c))
        return;
    ui::Kind kind = c->spec.kind;
    if (kind == ui::Kind::Label || kind == ui::Kind::Separator || kind == ui::Kind::Frame)
        return; // plain statics do not take part
    MoveFocus(id);
    c = Find(id); // a notification may have rebuilt the panel
    if (!Usable(c))
        return;
    switch (kind) {
    case ui::Kind::Check:
        c->checked = !c->checked;
        SendNotification(id, ui::Notify::Click);
        break;
    case ui::Kind::Option: {
        for (auto& [oid, other] : controls)
            if (other.spec.kind == ui::Kind::Option && other.spec.group == c->spec.group)
                other.checked = oid == id;
        SendNotification(id, ui::Notify::Click);
        break;
    }
    case ui::Kind::Button:
    case ui::Kind::Swatch:
        SendNotification(id, ui::Notify::Click);
        break;
    default:
        break;
    }
}

void Type(int id, const std::string& keys)
{
    Focus(id);
    for (char ch : keys) {
        auto* c = Find(id);
        if (!Usable(c) || c->read_only || c->spec.kind != ui::Kind::Edit)
            return;
        if (ch == '\n') {
            if ((c->spec.style & ui::kMultiLine) == 0)
                continue;
            c->spec.text += "\r\n";
        } else {
            c->spec.text += ch;
        }
        SendNotification(id, ui::Notify::Change);
    }
}

void Erase(int id)
{
    Focus(id);
    for (;;) {
        auto* c = Find(id);
        if (!Usable(c) || c->read_only || c->spec.text.empty())
            return;
        std::string& t = c->spec.text;
        size_t n = t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0 ? 2 : 1;
        t.erase(t.size() - n);
        SendNotification(id, ui::Notify::Change);
    }
}

void SetTextAsUser(int id, const std::string& text)
{
    Focus(id);
    auto* c = Find(id);
    if (!Usable(c) || c->read_only)
        return;
    ui::SetText(id, text);
}

void MoveWindow(int x_dlu, int y_dlu)
{
    window.x = x_dlu;
    window.y = y_dlu;
    if (sink.on_moved)
        sink.on_moved(x_dlu, y_dlu);
}

void Activate(bool active)
{
    if (sink.on_activate)
        sink.on_activate(active);
}

int Tick(int n)
{
    int delivered = 0;
    for (int i = 0; i < n && window.timer_ms > 0 && window.open; ++i) {
        if (sink.on_timer)
            sink.on_timer();
        ++delivered;
    }
    return delivered;
}

void CloseWindowBox() { ui::CloseMainWindow(); }

void QueueMessageAnswer(ui::Answer answer) { message_answers.push_back(answer); }
void QueueTextAnswer(std::optional<std::string> text) { text_answers.push_back(std::move(text)); }
void QueueFileAnswer(std::optional<std::string> path) { file_answers.push_back(std::move(path)); }
void QueueColourAnswer(std::optional<ui::Colour> colour) { colour_answers.push_back(colour); }

const std::vector<MessageRecord>& MessagesShown() { return messages; }
void ClearMessages() { messages.clear(); }
const std::vector<InputRecord>& InputsShown() { return inputs; }
const std::vector<ui::FileDialogSpec>& FileDialogsShown() { return file_dialogs; }

const ControlState* Control(int id) { return Find(id); }
std::vector<int> ControlIds() { return creation_order; }

int FocusedControl() { return focus; }
int BeepCount() { return beeps; }
int ProcessedMessageCalls() { return pumps; }
double LastWaitRequested() { return last_wait; }

} // namespace headless
