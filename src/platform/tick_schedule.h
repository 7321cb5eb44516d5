// When the one timer of the main window falls due. Both window-system
// backends keep their timer by this schedule, so the arithmetic lives here,
// apart from any clock: the caller says what time it is.
//
// Ticks fall due at start + k * period (k = 1, 2, ...), not one period after
// the last tick was handled, so the handling time never adds up into drift.
// A tick that is handled late (the program was busy with a pass longer than
// the period) stands for every deadline that passed meanwhile: those are
// dropped, never queued, and the next tick falls due at the first deadline
// still ahead. A window system's timer message behaves the same way.
#pragma once

#include <cstdint>

namespace ticks {

struct Schedule {
    double start_s = 0;  // when the timer was started
    double period_s = 0; // 0: not running
    int64_t next = 1;    // the next tick falls due at start_s + next * period_s
};

void Begin(Schedule* s, double now_s, double period_s);
// When the next tick falls due (meaningless while not running).
double NextDeadline(const Schedule& s);
// Asked when the timer wakes at now_s: true when a tick is due, in which
// case it is taken and every other deadline up to now_s is dropped with it.
bool TakeDue(Schedule* s, double now_s);

} // namespace ticks
