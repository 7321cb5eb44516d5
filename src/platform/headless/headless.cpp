// An in-memory window system: the controls are a table by identifier, the
// user is a script, the modal boxes take queued answers and every box shown is
// recorded. It implements the same API as the desktop backend, with the same
// notification rules, so the program cannot tell them apart.
#include "platform/headless/headless.h"

#include <deque>
#include <map>

#include "platform/headless/headless_internal.h"

#include "platform/control_table.h"
#include "platform/folders.h"
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
    bool frozen = false;
};

ui::EventSink sink;
Window window;

std::deque<ui::Answer> message_answers;
std::deque<std::optional<std::string>> text_answers;
std::deque<std::optional<std::string>> file_answers;
std::deque<std::optional<ui::Colour>> colour_answers;
std::vector<headless::MessageRecord> messages;
std::vector<headless::InputRecord> inputs;
std::vector<ui::FileDialogSpec> file_dialogs;
int beeps = 0;
bool busy_cursor = false;
int busy_cursor_shows = 0;
int pumps = 0;
double last_wait = 0;

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
    headless::ForgetControls();
    headless::ForgetImageWindows();
    headless::ForgetTimer();
    headless::ForgetLineWindows();
}

bool MainWindowOpen() { return window.open; }

void FreezeMainWindow() { window.frozen = window.open; }
void ThawMainWindow() { window.frozen = false; }
bool MainWindowFrozen() { return window.frozen; }

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
    if (!path.empty() && !sys::IsAbsolutePath(path)) {
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

void SetBusyCursor(bool busy)
{
    busy_cursor_shows += busy && !busy_cursor;
    busy_cursor = busy;
}

bool BusyCursorShown() { return busy_cursor; }

} // namespace ui

// ===========================================================================
// The scripted user
namespace headless {

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

void Reset()
{
    window = Window{};
    ForgetDialogs();
    ForgetControls();
    ForgetImageWindows();
    ForgetTimer();
    ForgetLineWindows();
    message_answers.clear();
    text_answers.clear();
    file_answers.clear();
    colour_answers.clear();
    messages.clear();
    inputs.clear();
    file_dialogs.clear();
    beeps = 0;
    busy_cursor = false;
    busy_cursor_shows = 0;
    pumps = 0;
    last_wait = 0;
}

void MenuCommand(int command)
{
    // A modal dialog keeps the menu and the accelerators from the user.
    if (window.open && UserHost() == ui::table::kMainWindowHost)
        Notify(command, ui::Notify::Menu);
}

bool PressAccelerator(char key)
{
    if (key >= 'a' && key <= 'z')
        key = char(key - 'a' + 'A');
    int command = CommandOfAccelerator(key);
    if (command == 0 || UserHost() != ui::table::kMainWindowHost)
        return false;
    MenuCommand(command);
    return true;
}

void HighlightMenuItem(int command)
{
    if (sink.on_menu_highlight)
        sink.on_menu_highlight(command);
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

void CloseWindowBox()
{
    if (UserHost() == ui::table::kMainWindowHost)
        ui::CloseMainWindow();
}

void QueueMessageAnswer(ui::Answer answer) { message_answers.push_back(answer); }
void QueueTextAnswer(std::optional<std::string> text) { text_answers.push_back(std::move(text)); }
void QueueFileAnswer(std::optional<std::string> path) { file_answers.push_back(std::move(path)); }
void QueueColourAnswer(std::optional<ui::Colour> colour) { colour_answers.push_back(colour); }

const std::vector<MessageRecord>& MessagesShown() { return messages; }
void ClearMessages() { messages.clear(); }
const std::vector<InputRecord>& InputsShown() { return inputs; }
const std::vector<ui::FileDialogSpec>& FileDialogsShown() { return file_dialogs; }

int BeepCount() { return beeps; }
int BusyCursorShows() { return busy_cursor_shows; }
int ProcessedMessageCalls() { return pumps; }
double LastWaitRequested() { return last_wait; }

} // namespace headless
