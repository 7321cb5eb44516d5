// Waiting for the window system's messages on Windows.
#include <wx/utils.h>

#include "platform/ui.h"
#include "platform/wx/wx_backend.h"

#include <windows.h>

// windows.h names the ANSI or wide call MessageBox; the program's own is
// ui::MessageBox.
#undef MessageBox

namespace ui {

void WaitForMessages(double max_seconds)
{
    if (!(max_seconds > 0))
        return;
    if (!wxb::Running()) {
        wxMilliSleep(unsigned(max_seconds * 1000));
        return;
    }
    // Sleep until a message for this thread arrives (a window event, a
    // timer) or the time is up, then handle what arrived.
    MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(max_seconds * 1000 + 0.5), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    ProcessPendingMessages();
}

} // namespace ui
