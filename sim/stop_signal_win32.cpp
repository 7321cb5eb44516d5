#include "sim/stop_signal.h"

#include <windows.h>

namespace sim {

namespace {

HANDLE stop_event = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD)
{
    SetEvent(stop_event);
    // The main thread stops the simulator; closing the console gives it a
    // few seconds for that.
    Sleep(INFINITE);
    return TRUE;
}

} // namespace

void CatchStopRequests()
{
    stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool WaitForStopRequest(double seconds)
{
    return WaitForSingleObject(stop_event, DWORD(seconds * 1000)) == WAIT_OBJECT_0;
}

} // namespace sim
