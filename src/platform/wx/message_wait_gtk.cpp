// Waiting for the window system's messages under GTK.
#include <glib.h>

#include <wx/utils.h>

#include "platform/ui.h"
#include "platform/wx/wx_backend.h"

namespace {

gboolean WakeUp(gpointer flag)
{
    *static_cast<bool*>(flag) = true;
    return G_SOURCE_REMOVE;
}

} // namespace

namespace ui {

void WaitForMessages(double max_seconds)
{
    if (!(max_seconds > 0))
        return;
    if (!wxb::Running()) {
        wxMilliSleep(unsigned(max_seconds * 1000));
        return;
    }
    // Sleep in the GLib main context until any source is ready (a window
    // event, a timer) or the time is up, then handle what arrived.
    bool woken = false;
    guint source = g_timeout_add(guint(max_seconds * 1000 + 0.5), WakeUp, &woken);
    g_main_context_iteration(nullptr, TRUE);
    if (!woken)
        g_source_remove(source);
    ProcessPendingMessages();
}

} // namespace ui
