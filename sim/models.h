// The maker's I/O module models NODE-T01 .. NODE-T08 as simulated slaves:
// each answers Report Slave ID with its model text and firmware version and
// holds the registers its test panel works with. Registers a model does not
// have answer exception 2 (illegal data address).
#pragma once

#include "sim/sim.h"

#include <memory>
#include <string>
#include <vector>

namespace sim {

struct ModelOptions {
    // Reported as is (8 bytes, blank-padded when shorter). A text that names
    // no known model gives a slave that identifies itself and has no
    // registers, which is how an unknown or damaged module looks to a master.
    std::string model = "NODE-T01";
    std::string version = "r.01.003"; // "r.MM.mmm"
    // Inputs follow the clock (digital inputs step, analog inputs drift).
    // Off: they keep what a test puts into the bank.
    bool moving = true;
};

// The model's registers, shared with the simulator thread: tests read what
// the master wrote and set what it should read.
std::shared_ptr<RegisterBank> AddModuleModel(Simulator& sim, uint8_t address,
                                             const ModelOptions& options);

// The same as a handler, for callers that route requests themselves.
SlaveHandler ModuleModel(std::shared_ptr<RegisterBank> bank, const ModelOptions& options);

struct DemoModel {
    uint8_t address;
    const char* model;
    const char* version;
};
// The modules of the demo bus, chosen so that every firmware threshold of
// the panels can be seen from both sides.
const std::vector<DemoModel>& DemoModels();
void AddDemoModels(Simulator& sim);

// "ADDRESS=MODEL:VERSION" as given on the simulator's command line
// ("10=NODE-T04:r.01.007"). False when the text is not of that form or the
// address is not 1..247.
bool ParseModelSpec(const std::string& text, uint8_t* address, ModelOptions* options);

} // namespace sim
