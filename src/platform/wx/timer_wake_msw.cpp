// A thread of its own waits for the deadline on a high-resolution waitable
// timer and posts the wake-up to the main thread as a message, which wakes
// the window's message loop at once.
#include "platform/wx/timer_wake.h"

#include <wx/app.h>

#include <thread>
#include <windows.h>

#include "platform/system.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace wxb {

namespace {

HANDLE timer = nullptr;
HANDLE quit = nullptr;
std::thread waiter;
// Written by the main thread before the timer is set, read by the waiter
// after it fired: the timer's signal orders the two.
volatile LONG armed_generation = 0;
void (*armed_wake)(unsigned) = nullptr;
bool fine = false;

void Wait()
{
    HANDLE both[] = {quit, timer};
    while (WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        const unsigned generation = unsigned(InterlockedCompareExchange(&armed_generation, 0, 0));
        void (*wake)(unsigned) = armed_wake;
        if (wake && wxTheApp)
            wxTheApp->CallAfter([wake, generation] { wake(generation); });
    }
}

} // namespace

void WakeAt(double deadline_s, unsigned generation, void (*wake)(unsigned))
{
    if (!timer) {
        timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                       TIMER_ALL_ACCESS);
        if (!timer)
            timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        waiter = std::thread(Wait);
    }
    InterlockedExchange(&armed_generation, LONG(generation));
    armed_wake = wake;
    // Relative, in 100-ns units; at least one unit, so that it fires.
    const double wait_s = deadline_s - sys::MonotonicSeconds();
    LARGE_INTEGER due;
    due.QuadPart = -(wait_s > 1e-7 ? LONGLONG(wait_s * 1e7) : 1);
    SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
}

void CancelWake()
{
    if (timer)
        CancelWaitableTimer(timer);
}

void HoldFineTimerResolution(bool hold)
{
    if (hold == fine)
        return;
    fine = hold;
    if (hold)
        timeBeginPeriod(1);
    else
        timeEndPeriod(1);
}

void StopWaking()
{
    HoldFineTimerResolution(false);
    if (!timer)
        return;
    SetEvent(quit);
    waiter.join();
    CloseHandle(timer);
    CloseHandle(quit);
    timer = quit = nullptr;
}

} // namespace wxb
