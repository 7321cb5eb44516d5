// The digital module models: NODE-T01 (16 inputs, 8 outputs), NODE-T02 (16
// inputs), NODE-T03 and NODE-T07 (8 outputs). Input register 0 holds the
// inputs, holding register 0 the outputs, 1 the inputs filter (10 ms steps)
// and 2 the monitor LED mode; outputs, filter and LED mode keep whatever the
// master writes, as the modules latch them.
#include "sim/models/model_layout.h"

#include <cmath>

namespace sim::models {
namespace {

// The monitor LED register arrived with firmware r.01.003; older modules
// reject it as an unknown address.
bool HasLedRegister(const std::string& version) { return VersionAtLeast(version, 1, 3); }

void DigitalPowerOn(Tables& t)
{
    t.holding[0] = 0;
    t.holding[1] = 2; // 20 ms
    t.holding[2] = 1; // LEDs show the I/O state
}

// One lit input walking from bit 0 to bit 14, a step per second, and bit 15
// flipping every 4 s, so that both ends of the binary box are seen to move.
void WalkingInputs(Tables& t, double t_s, const std::string&)
{
    long s = std::lround(std::floor(t_s));
    uint16_t v = static_cast<uint16_t>(1u << (s % 15));
    if ((s / 4) % 2 != 0)
        v |= 0x8000;
    t.input[0] = v;
}

// A binary counter, two counts per second.
void CountingInputs(Tables& t, double t_s, const std::string&)
{
    t.input[0] = static_cast<uint16_t>(std::lround(std::floor(t_s * 2)) & 0xFFFF);
}

} // namespace

bool DigitalLayout(std::string_view model, const std::string& version, Layout* layout)
{
    Layout l;
    l.power_on = DigitalPowerOn;
    if (model == "NODE-T01") {
        l.inputs = {0};
        l.holdings = {0, 1};
        l.move = WalkingInputs;
    } else if (model == "NODE-T02") {
        l.inputs = {0};
        l.holdings = {1};
        l.move = CountingInputs;
    } else if (model == "NODE-T03") {
        l.holdings = {0};
    } else if (model == "NODE-T07") {
        // No LED register on this model whatever its firmware.
        l.holdings = {0};
        *layout = l;
        return true;
    } else {
        return false;
    }
    if (HasLedRegister(version))
        l.holdings.push_back(2);
    *layout = l;
    return true;
}

} // namespace sim::models
