// Long waits of the program's one thread. A request blocks the window until
// its reply comes or its time-out runs out, and a connection until it is
// made: while the program handles something the user asked for, a wait that
// lasts past a short grace tells the program once, so that it can show the
// user a sign (the busy cursor) while the window cannot answer.
//
// The watch belongs to the thread that starts it; waits of other threads
// (a simulator's, a test's peers) never see it.
#pragma once

namespace sys {

using LongWaitNotice = void (*)();

// Starts a watch now: the first wait still blocking `grace_s` from now calls
// `notice` (once). Starting again replaces the watch.
void WatchWaits(double grace_s, LongWaitNotice notice);
void EndWaitWatch();

// For the blocking waits (a poll, a sleep) that would block until `until_s`
// on the monotonic clock: the time to block until before asking again. It
// is `until_s` unless a watch's notice falls due before it; once the notice
// is due, this call gives it.
double WaitStepUntil(double until_s);

} // namespace sys
