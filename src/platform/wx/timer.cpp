// The one timer of the main window (the auto-read timer).
#include <wx/timer.h>

#include <algorithm>

#include "platform/wx/wx_backend.h"

namespace {

class Ticker : public wxTimer {
  public:
    void Notify() override
    {
        if (wxb::Sink().on_timer)
            wxb::Sink().on_timer();
    }
};

Ticker* ticker = nullptr;
int period = 0;

} // namespace

namespace wxb {

void StopTimerForShutdown()
{
    if (ticker)
        ticker->Stop();
    delete ticker;
    ticker = nullptr;
    period = 0;
}

} // namespace wxb

namespace ui {

void StartTimer(int period_ms)
{
    if (!wxb::Running())
        return;
    if (period_ms <= 0) {
        StopTimer();
        return;
    }
    if (!ticker)
        ticker = new Ticker;
    period = period_ms;
    // A window timer never runs faster than every 10 ms.
    ticker->Start(std::max(period_ms, 10), wxTIMER_CONTINUOUS);
}

void StopTimer()
{
    if (ticker)
        ticker->Stop();
    period = 0;
}

int TimerPeriod() { return period; }

} // namespace ui
