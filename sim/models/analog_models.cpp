// The analog module models: NODE-T04 (8 inputs, internal and cold-junction
// temperature), NODE-T05 (4 inputs, 4 outputs), NODE-T06 (4 inputs) and
// NODE-T08 (2 analog inputs, 2 resistive inputs, 6 digital inputs, 4 digital
// outputs). Each channel's configuration code decides whether its input
// moves: a disabled channel reads 0, and a code the module does not know
// reads 0 and raises the channel's error flags (01), which is how a wrongly
// written configuration shows on the real modules.
#include "sim/models/model_layout.h"

#include <algorithm>
#include <iterator>

namespace sim::models {
namespace {

constexpr uint16_t kFlagBadConfig = 1; // 2-bit channel error code

std::vector<uint16_t> Range(uint16_t first, uint16_t count)
{
    std::vector<uint16_t> v(count);
    for (uint16_t i = 0; i < count; ++i)
        v[i] = static_cast<uint16_t>(first + i);
    return v;
}

template <size_t N>
bool OneOf(uint16_t code, const uint16_t (&codes)[N])
{
    return std::find(std::begin(codes), std::end(codes), code) != std::end(codes);
}

// Each channel drifts at its own pace so that the eight boxes differ.
uint16_t ChannelWave(double t_s, int channel)
{
    return Wave(t_s, 20.0 + 7.0 * channel, 0.8 * channel, 2000, 30000);
}

// --- NODE-T04 -----------------------------------------------------------------

bool T04KnowsCode(uint16_t code, const std::string& version)
{
    static const uint16_t kCodes[] = {0,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 20, 21,
                                      22, 23, 24, 25, 30, 31, 32, 33, 34, 35, 36, 37, 40, 41, 42,
                                      43, 44, 45, 50, 51, 52, 53, 54, 55, 60, 70, 71, 72, 80};
    // NTC 10K B=3435 and the 130 kohm range came with firmware r.01.008.
    if (code == 61 || code == 73)
        return VersionAtLeast(version, 1, 8);
    return OneOf(code, kCodes);
}

void T04PowerOn(Tables& t)
{
    const uint16_t configs[8] = {7, 7, 8, 10, 24, 32, 40, 0};
    std::copy(std::begin(configs), std::end(configs), t.holding.begin());
    t.holding[8] = 250; // cold junction at 25.0 degC
}

void T04Move(Tables& t, double t_s, const std::string& version)
{
    uint16_t flags = 0;
    for (int ch = 0; ch < 8; ++ch) {
        uint16_t code = t.holding[ch];
        bool known = T04KnowsCode(code, version);
        t.input[ch] = (known && code != 0) ? ChannelWave(t_s, ch) : 0;
        if (!known)
            flags = static_cast<uint16_t>(flags | (kFlagBadConfig << (2 * ch)));
    }
    t.input[8] = Wave(t_s, 60.0, 0.0, 247, 253); // tenths of degC, near 25.0
    t.input[9] = flags;
}

// --- NODE-T05 -----------------------------------------------------------------

// Low byte: input part, high byte: output part; 0 none, 1 voltage, 2 current.
void T05PowerOn(Tables& t)
{
    const uint16_t outputs[4] = {0, 10000, 20000, 30000};
    const uint16_t configs[4] = {257, 258, 513, 514};
    std::copy(std::begin(outputs), std::end(outputs), t.holding.begin());
    std::copy(std::begin(configs), std::end(configs), t.holding.begin() + 4);
}

void T05Move(Tables& t, double t_s, const std::string&)
{
    uint16_t flags = 0;
    for (int ch = 0; ch < 4; ++ch) {
        unsigned in = t.holding[4 + ch] & 0xFF, out = t.holding[4 + ch] >> 8;
        t.input[ch] = (in == 1 || in == 2) ? ChannelWave(t_s, ch) : 0;
        if (in > 2)
            flags = static_cast<uint16_t>(flags | (kFlagBadConfig << (2 * ch)));
        if (out > 2)
            flags = static_cast<uint16_t>(flags | (kFlagBadConfig << (8 + 2 * ch)));
    }
    t.input[4] = flags;
}

// --- NODE-T06 -----------------------------------------------------------------

void T06PowerOn(Tables& t)
{
    const uint16_t configs[4] = {1, 1, 2, 0};
    std::copy(std::begin(configs), std::end(configs), t.holding.begin());
}

void T06Move(Tables& t, double t_s, const std::string&)
{
    uint16_t flags = 0;
    for (int ch = 0; ch < 4; ++ch) {
        uint16_t code = t.holding[ch];
        t.input[ch] = (code == 1 || code == 2) ? ChannelWave(t_s, ch) : 0;
        if (code > 2)
            flags = static_cast<uint16_t>(flags | (kFlagBadConfig << (2 * ch)));
    }
    t.input[4] = flags;
}

// --- NODE-T08 -----------------------------------------------------------------
// Input register 0: digital inputs (bits 5-0); 1, 2: analog inputs; 3, 4:
// resistive inputs; 5: error flags. Holding register 0: digital outputs
// (bits 3-0); 1: inputs filter; 2, 3: analog configurations; 4, 5: resistive
// configurations. Every value has a register of its own.

void T08PowerOn(Tables& t)
{
    const uint16_t holdings[6] = {0, 2, 1, 2, 1, 6};
    std::copy(std::begin(holdings), std::end(holdings), t.holding.begin());
}

void T08Move(Tables& t, double t_s, const std::string&)
{
    t.input[0] = static_cast<uint16_t>(static_cast<long>(t_s) & 0x3F);
    uint16_t flags = 0;
    for (int ch = 0; ch < 4; ++ch) {
        uint16_t code = t.holding[2 + ch];
        bool analog = ch < 2;
        bool known = code <= (analog ? 2 : 9);
        uint16_t value = 0;
        if (known && code != 0)
            // Resistive inputs report tenths of degC around room temperature.
            value = analog ? ChannelWave(t_s, ch) : Wave(t_s, 45.0 + 10 * ch, 0.0, 215, 235);
        t.input[1 + ch] = value;
        if (!known)
            flags = static_cast<uint16_t>(flags | (kFlagBadConfig << (2 * ch)));
    }
    t.input[5] = flags;
}

} // namespace

bool AnalogLayout(std::string_view model, const std::string&, Layout* layout)
{
    Layout l;
    if (model == "NODE-T04") {
        l = {Range(0, 10), Range(0, 9), T04PowerOn, T04Move};
    } else if (model == "NODE-T05") {
        l = {Range(0, 5), Range(0, 8), T05PowerOn, T05Move};
    } else if (model == "NODE-T06") {
        l = {Range(0, 5), Range(0, 4), T06PowerOn, T06Move};
    } else if (model == "NODE-T08") {
        l = {Range(0, 6), Range(0, 6), T08PowerOn, T08Move};
    } else {
        return false;
    }
    *layout = l;
    return true;
}

} // namespace sim::models
