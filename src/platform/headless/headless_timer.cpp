// The headless timer runs on a clock of its own that only the test moves, so
// that the deadlines of the schedule can be checked to the microsecond on a
// loaded machine.
#include <algorithm>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"
#include "platform/tick_schedule.h"
#include "platform/ui.h"

namespace {

int period_ms = 0;
bool resting = false;
bool in_tick = false;
double clock_s = 0;
ticks::Schedule schedule;

bool Running() { return period_ms > 0 && ui::MainWindowOpen(); }

void Deliver()
{
    in_tick = true;
    if (headless::Sink().on_timer)
        headless::Sink().on_timer();
    in_tick = false;
}

} // namespace

namespace headless {

void ForgetTimer()
{
    period_ms = 0;
    resting = false;
    in_tick = false;
    clock_s = 0;
    schedule = {};
}

int Tick(int n)
{
    int delivered = 0;
    for (int i = 0; i < n && Running(); ++i) {
        Deliver();
        ++delivered;
    }
    return delivered;
}

double ClockNow() { return clock_s; }

int AdvanceClock(double seconds)
{
    double until = clock_s + std::max(seconds, 0.0);
    // The program is busy in a tick: the window system cannot wake it, time
    // only passes.
    if (in_tick) {
        clock_s = until;
        return 0;
    }
    int delivered = 0;
    while (Running() && !resting) {
        double due = ticks::NextDeadline(schedule);
        if (due > until)
            break;
        clock_s = std::max(clock_s, due);
        if (!ticks::TakeDue(&schedule, clock_s))
            break;
        Deliver();
        ++delivered;
    }
    clock_s = std::max(clock_s, until);
    return delivered;
}

} // namespace headless

namespace ui {

void StartTimer(int ms)
{
    period_ms = ms > 0 ? ms : 0;
    resting = false;
    ticks::Begin(&schedule, clock_s, period_ms / 1000.0);
}

void StopTimer()
{
    period_ms = 0;
    resting = false;
}

int TimerPeriod() { return period_ms; }

void RestTimer()
{
    if (period_ms > 0)
        resting = true;
}

bool TimerResting() { return resting; }

} // namespace ui
