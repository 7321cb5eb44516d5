// Time-out up to a minute: a slave that has not answered by then will not,
// and the whole window waits meanwhile. Sampling up to an hour; the divisor
// corrects a PC's clock, so it stays within two orders of magnitude of 1.
#include "app/timing_limits.h"

#include <climits>
#include <cmath>

#include "app/shell.h"

namespace app {

const TimingRange kTimeoutRange = {"TIMEOUT", 0.001, 60, "Timeout out of range (0.001÷60)"};
const TimingRange kSampleTimeRange = {"SAMPLE_TIME", 0.01, 3600,
                                      "Sampling time out of range (0.01÷3600)"};
const TimingRange kTimeCalibRange = {"TIME_CALIB", 0.01, 100,
                                     "Time calibration out of range (0.01÷100)"};

bool InTimingRange(const TimingRange& range, double value)
{
    return value >= range.min && value <= range.max;
}

float ClampedTiming(const TimingRange& range, double value)
{
    if (!(value <= range.max)) // also NaN
        return float(range.max);
    // Below zero acts as zero everywhere it is used, and stays finite.
    return value < 0 ? 0.0f : float(value);
}

int AutoReadPeriodMs()
{
    double period =
        std::round(double(SerialSettings.sample_time) * 1000.0 / double(SerialSettings.time_calib));
    if (!std::isfinite(period) || period < 1)
        return 0;
    return period > INT_MAX ? INT_MAX : int(period);
}

} // namespace app
