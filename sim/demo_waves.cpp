// Waveforms of the demo slave's input registers.
#include "sim/demo_waves.h"

#include <cmath>

namespace sim {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Position within the period, 0 <= phase < 1.
double Phase(double time_s, double period_s)
{
    const double p = std::fmod(time_s / period_s, 1.0);
    return p < 0 ? p + 1 : p;
}

// A fixed pseudo-random number 0 <= r < 1 for each integer k.
double Hash01(int64_t k)
{
    uint64_t x = uint64_t(k) * 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return double(x >> 11) / 9007199254740992.0; // 2^53
}

// Noise that wanders smoothly: random levels every step_s seconds, eased
// into each other, so a reading never jumps.
double SlowNoise(double time_s, double step_s, int64_t seed)
{
    const double x = time_s / step_s;
    const double k = std::floor(x);
    const double f = x - k;
    const double ease = f * f * (3 - 2 * f);
    const double a = Hash01(int64_t(k) + seed), b = Hash01(int64_t(k) + 1 + seed);
    return a + (b - a) * ease; // 0..1
}

uint16_t Clamp1000(double v)
{
    const long r = std::lround(v);
    return static_cast<uint16_t>(r < 0 ? 0 : r > 1000 ? 1000 : r);
}

} // namespace

uint16_t DemoInputRegister(unsigned index, double t)
{
    switch (index) {
    case 0: // sine, 100..900, period 20 s
        return Clamp1000(500 + 400 * std::sin(2 * kPi * Phase(t, 20)));
    case 1: { // triangle, 100..900, period 30 s
        const double p = Phase(t, 30);
        return Clamp1000(100 + 800 * (p < 0.5 ? 2 * p : 2 - 2 * p));
    }
    case 2: // ramp (sawtooth), 0..1000, period 15 s
        return Clamp1000(1000 * Phase(t, 15));
    case 3: // square wave, 200 and 800, period 10 s
        return Phase(t, 10) < 0.5 ? 800 : 200;
    case 4: // slow noise, 300..700, a new level every 3 s
        return Clamp1000(300 + 400 * SlowNoise(t, 3, 0));
    case 5: // step: 100 for the first 20 s of every minute, 700 for the rest
        return Phase(t, 60) < 1.0 / 3 ? 100 : 700;
    case 6: // temperature in tenths of a degree, 24.4..25.6 °C
        return Clamp1000(250 + 4 * std::sin(2 * kPi * Phase(t, 120)) +
                         4 * (SlowNoise(t, 5, 1000) - 0.5));
    case 7: // counter: whole seconds, 0..1000 and round again
        return static_cast<uint16_t>(int64_t(std::floor(t < 0 ? 0 : t)) % 1001);
    default: { // 8 and 9: slow waves around 9000 and 10000
        const double period_s = 10.0 + 5.0 * index;
        return static_cast<uint16_t>(
            std::lround(1000 * (index + 1) + 500 * std::sin(2 * kPi * t / period_s)));
    }
    }
}

} // namespace sim
