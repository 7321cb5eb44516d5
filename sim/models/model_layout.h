// What distinguishes one module model from another inside the simulator: the
// registers it has, their values at power-on and how its inputs move. Shared
// by the files of sim/models only.
#pragma once

#include "sim/slave.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim::models {

struct Layout {
    std::vector<uint16_t> inputs;   // input register addresses it answers
    std::vector<uint16_t> holdings; // holding register addresses it answers
    void (*power_on)(Tables& t) = nullptr;
    // Puts the inputs as they are at t_s seconds after the simulator started.
    void (*move)(Tables& t, double t_s, const std::string& version) = nullptr;
};

// Layouts by model text and firmware version (some registers came with later
// firmware). False for a text that is not one of the eight models.
bool DigitalLayout(std::string_view model, const std::string& version, Layout* layout);
bool AnalogLayout(std::string_view model, const std::string& version, Layout* layout);

// Firmware "r.MM.mmm" compared with major.minor; a damaged text counts as
// the oldest firmware.
bool VersionAtLeast(const std::string& version, int major, int minor);

// A slow wave between lo and hi with the given period, for inputs that are
// seen to drift rather than jump.
uint16_t Wave(double t_s, double period_s, double phase, unsigned lo, unsigned hi);

} // namespace sim::models
