// The watch over long waits (see wait_watch.h).
#include "platform/wait_watch.h"

#include <algorithm>

#include "platform/system.h"

namespace sys {

namespace {

struct Watch {
    LongWaitNotice notice = nullptr; // nullptr: no watch, or its notice was given
    double due_s = 0;
};

thread_local Watch watch;

} // namespace

void WatchWaits(double grace_s, LongWaitNotice notice)
{
    watch.notice = notice;
    watch.due_s = MonotonicSeconds() + grace_s;
}

void EndWaitWatch() { watch.notice = nullptr; }

double WaitStepUntil(double until_s)
{
    if (!watch.notice || until_s <= watch.due_s)
        return until_s;
    if (MonotonicSeconds() < watch.due_s)
        return watch.due_s;
    LongWaitNotice notice = watch.notice;
    watch.notice = nullptr;
    notice();
    return until_s;
}

} // namespace sys
