#include "platform/tick_schedule.h"

#include <cmath>

namespace ticks {

void Begin(Schedule* s, double now_s, double period_s)
{
    s->start_s = now_s;
    s->period_s = period_s > 0 ? period_s : 0;
    s->next = 1;
}

double NextDeadline(const Schedule& s) { return s.start_s + double(s.next) * s.period_s; }

bool TakeDue(Schedule* s, double now_s)
{
    if (s->period_s <= 0 || now_s < NextDeadline(*s))
        return false;
    // The deadlines passed so far, counted from the start rather than stepped
    // one by one: a process stopped for an hour wakes with one tick, at once.
    double passed = std::floor((now_s - s->start_s) / s->period_s);
    int64_t last = passed > 9e15 ? int64_t(9e15) : int64_t(passed);
    // Rounding in the division must not take the due tick back.
    s->next = (last >= s->next ? last : s->next) + 1;
    while (NextDeadline(*s) <= now_s)
        ++s->next;
    return true;
}

} // namespace ticks
