// The busy cursor for long waits of the user's commands.
#include "app/busy_sign.h"

#include "platform/ui.h"
#include "platform/wait_watch.h"

namespace app {

namespace {

// A reply within this time looks immediate; a longer wait gets the sign.
constexpr double kGrace_s = 0.1;

bool user_scope = false;

void ShowBusy() { ui::SetBusyCursor(true); }

void Watch(bool user)
{
    user_scope = user;
    if (user)
        sys::WatchWaits(kGrace_s, ShowBusy);
    else
        sys::EndWaitWatch();
}

} // namespace

// A command inside a command (a box's text set by the program, a field of a
// dialog) keeps the cursor the outer one showed; one that starts afresh
// (in a dialog the user has been busy with) gets the grace anew.
WaitSign::WaitSign(bool user) : outer_user_(user_scope)
{
    if (user && outer_user_ && ui::BusyCursorShown())
        return;
    Watch(user);
}

WaitSign::~WaitSign()
{
    if (!outer_user_)
        ui::SetBusyCursor(false);
    if (ui::BusyCursorShown())
        user_scope = outer_user_;
    else
        Watch(outer_user_);
}

} // namespace app
