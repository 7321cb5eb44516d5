// How regscope-sim is told to stop: Ctrl+C, or SIGTERM on POSIX systems
// (the console's close on Windows).
#pragma once

namespace sim {

// Takes the stop requests over; called before any thread starts.
void CatchStopRequests();
// Waits up to `seconds`; true once a stop was asked for.
bool WaitForStopRequest(double seconds);

} // namespace sim
