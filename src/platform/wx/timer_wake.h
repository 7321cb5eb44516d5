// Waking the main thread at a deadline on Windows, for the auto-read timer.
// wxTimer there is SetTimer, which waits at least 10 ms and in steps of the
// system's tick (15.6 ms unless raised): too coarse for a period of a few
// milliseconds, and a period of 15 ms would come every 15.6 or 31.2 ms.
#pragma once

namespace wxb {

// Calls wake(generation) on the main thread once the monotonic clock
// reaches deadline_s (sys::MonotonicSeconds), within a fraction of a
// millisecond where the system allows. A later call replaces the earlier
// deadline.
void WakeAt(double deadline_s, unsigned generation, void (*wake)(unsigned generation));
// Drops the deadline set; a wake-up already on its way is told by its
// generation.
void CancelWake();
// Raises the system's timer resolution to 1 ms while held (the auto-read
// timer runs), and gives it back after.
void HoldFineTimerResolution(bool hold);
// Ends the waiting thread at the program's end.
void StopWaking();

} // namespace wxb
