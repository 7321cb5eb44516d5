// Dialogs that host controls, on the headless backend. A dialog runs
// synchronously: it is built, the user's queued action for it runs, and it
// closes; the program cannot tell this from a person working in it.
#include <deque>

#include "platform/control_table.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

namespace {

struct OpenDialog {
    bool closed = false; // the user pressed its close box
};

std::vector<OpenDialog> open_dialogs; // innermost last
std::deque<std::function<void()>> actions;
std::vector<ui::DialogSpec> shown;

} // namespace

namespace headless {

int UserHost()
{
    if (open_dialogs.empty())
        return ui::table::kMainWindowHost;
    return open_dialogs.back().closed ? -1 : int(open_dialogs.size());
}

void ForgetDialogs()
{
    // Reset from inside a dialog's action: the running dialogs still unwind,
    // and find the list empty.
    open_dialogs.clear();
    actions.clear();
    shown.clear();
}

void QueueDialogAction(std::function<void()> act) { actions.push_back(std::move(act)); }

void CloseDialogBox()
{
    if (!open_dialogs.empty())
        open_dialogs.back().closed = true;
}

const std::vector<ui::DialogSpec>& DialogsShown() { return shown; }

} // namespace headless

namespace ui {

void RunDialog(const DialogSpec& spec, const std::function<void()>& build)
{
    if (!MainWindowOpen())
        return;
    shown.push_back(spec);
    open_dialogs.push_back(OpenDialog{});
    const int host = int(open_dialogs.size());
    const int focus_before = GetFocus();
    if (build)
        build();
    // The window system gives the focus to the dialog's first control.
    headless::MoveFocus(headless::FirstFocusable(host));

    std::function<void()> act;
    if (!actions.empty()) {
        act = std::move(actions.front());
        actions.pop_front();
    }
    if (act)
        act(); // the dialog closes when the user is done, if not before

    headless::ForgetControlsOn(host);
    if (int(open_dialogs.size()) == host)
        open_dialogs.pop_back();
    // The window under the dialog is active again: its control gets the
    // focus back.
    headless::MoveFocus(ControlExists(focus_before) ? focus_before : 0);
}

int OpenDialogCount() { return int(open_dialogs.size()); }

} // namespace ui
