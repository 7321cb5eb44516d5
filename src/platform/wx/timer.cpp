// The one timer of the main window (the auto-read timer), kept by absolute
// deadlines: a one-shot window-system timer is set afresh for each deadline,
// because a repeating one counts each period from the moment it was last
// served and so drifts by the time the program takes to serve it.
#include <wx/app.h>

#include <cmath>

#ifdef __WXGTK__
#include <glib.h>
#else
#include "platform/wx/timer_wake.h"
#endif

#include "platform/system.h"
#include "platform/tick_schedule.h"
#include "platform/wx/wx_backend.h"

namespace {

void Wake();

#ifdef __WXGTK__
guint overdue_source = 0;

guint deadline_source = 0;

gboolean WakeWhenIdle(gpointer)
{
    overdue_source = 0;
    Wake();
    return G_SOURCE_REMOVE;
}

gboolean WakeAtDeadline(gpointer)
{
    deadline_source = 0;
    Wake();
    return G_SOURCE_REMOVE;
}
#endif
int period_ms = 0;
bool resting = false;
ticks::Schedule schedule;
// Bumped whenever the timer is started, stopped or put to rest, so that a
// wake-up asked for before that finds itself out of date.
unsigned generation = 0;

void Arm()
{
    double wait_s = ticks::NextDeadline(schedule) - sys::MonotonicSeconds();
    if (wait_s <= 0) {
        // The deadline passed while the program was busy. The tick comes
        // once the window has caught up with the user's input, its timers,
        // its repainting and its idle work, as a window system's timer
        // message does: back-to-back passes must not starve any of them.
#ifdef __WXGTK__
        if (!overdue_source)
            overdue_source = g_idle_add_full(G_PRIORITY_LOW + 10, WakeWhenIdle, nullptr, nullptr);
#else
        unsigned g = generation;
        wxTheApp->CallAfter([g] {
            if (g == generation)
                Wake();
        });
#endif
        return;
    }
    // Whole milliseconds, rounded up: the tick comes at its deadline or up
    // to a millisecond after it, never before.
    int wait_ms = int(std::ceil(wait_s * 1000.0));
#ifdef __WXGTK__
    // Straight from the main loop: wx's timer would also send idle events to
    // every window after each tick.
    deadline_source =
        g_timeout_add_full(G_PRIORITY_DEFAULT, guint(wait_ms), WakeAtDeadline, nullptr, nullptr);
#else
    (void)wait_ms;
    wxb::WakeAt(ticks::NextDeadline(schedule), generation, [](unsigned g) {
        if (g == generation)
            Wake();
    });
#endif
}

void Wake()
{
    if (period_ms <= 0 || resting || !wxb::Running())
        return;
    if (!ticks::TakeDue(&schedule, sys::MonotonicSeconds())) {
        Arm(); // early by a rounding: wait for the rest
        return;
    }
    // Nothing wakes the program while it handles the tick: the next
    // deadline is set once it returns, unless the tick itself restarted,
    // stopped or rested the timer.
    unsigned g = generation;
    if (wxb::Sink().on_timer)
        wxb::Sink().on_timer();
    if (g == generation && period_ms > 0 && !resting && wxb::Running())
        Arm();
}

void Silence()
{
    ++generation;
#ifdef __WXGTK__
    if (overdue_source)
        g_source_remove(overdue_source);
    if (deadline_source)
        g_source_remove(deadline_source);
    overdue_source = deadline_source = 0;
#else
    wxb::CancelWake();
#endif
}

} // namespace

namespace wxb {

void StopTimerForShutdown()
{
    Silence();
#ifndef __WXGTK__
    wxb::StopWaking();
#endif
    period_ms = 0;
    resting = false;
}

} // namespace wxb

namespace ui {

void StartTimer(int ms)
{
    if (!wxb::Running())
        return;
    Silence();
    resting = false;
    period_ms = ms > 0 ? ms : 0;
#ifndef __WXGTK__
    wxb::HoldFineTimerResolution(period_ms > 0);
#endif
    if (period_ms == 0)
        return;
    ticks::Begin(&schedule, sys::MonotonicSeconds(), period_ms / 1000.0);
    Arm();
}

void StopTimer()
{
    Silence();
#ifndef __WXGTK__
    wxb::HoldFineTimerResolution(false);
#endif
    period_ms = 0;
    resting = false;
}

int TimerPeriod() { return period_ms; }

void RestTimer()
{
    if (period_ms <= 0 || resting)
        return;
    Silence();
    resting = true;
}

bool TimerResting() { return resting; }

} // namespace ui
