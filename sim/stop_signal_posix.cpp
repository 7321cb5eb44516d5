#include "sim/stop_signal.h"

#include <csignal>
#include <ctime>

namespace sim {

namespace {
sigset_t stop_signals;
} // namespace

void CatchStopRequests()
{
    // Blocked before the simulator's thread starts, so that only the wait
    // below receives them.
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
}

bool WaitForStopRequest(double seconds)
{
    timespec tick{time_t(seconds), long((seconds - double(time_t(seconds))) * 1e9)};
    return sigtimedwait(&stop_signals, nullptr, &tick) >= 0;
}

} // namespace sim
