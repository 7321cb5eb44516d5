// The sensible ranges of the timing settings (TIMEOUT, SAMPLE_TIME,
// TIME_CALIB) and the auto-read timer period they give.
//
// The Setup prompts refuse a value outside its range. A value edited into
// the file by hand is clamped to 0 ... maximum when the settings are read,
// so that a reply wait always ends. Zero is kept rather than raised to the
// minimum: a time-out of 0 times out every transaction at once, and a
// sampling time or divisor of 0 gives no timer period, which Auto Read
// refuses with a message.
#pragma once

#include <string>

namespace app {

struct TimingRange {
    const char* key;     // in the .cfg file
    double min, max;     // accepted by the Setup prompt, both included
    const char* refusal; // the prompt's message for a value outside
};

extern const TimingRange kTimeoutRange;    // s
extern const TimingRange kSampleTimeRange; // s
extern const TimingRange kTimeCalibRange;  // divisor

bool InTimingRange(const TimingRange& range, double value);
// The value as the program uses it: within 0 ... maximum, never NaN.
float ClampedTiming(const TimingRange& range, double value);

// The auto-read timer period in ms from SerialSettings, 0 when there is no
// usable one (below 1 ms, zero, negative).
int AutoReadPeriodMs();

} // namespace app
