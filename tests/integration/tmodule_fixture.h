// The program with the Test module tool open, on the headless window, talking
// over a pty to simulated modules.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sim/models.h"
#include "tests/integration/sim_program.h"

class TestModuleBus : public ProgramOnBus<1> {
protected:
    void BeforeStart() override
    {
        ProgramOnBus<1>::BeforeStart();
        app::CreateDefaultFiles();
        app::WriteConfigKey(Path("RegScope.ini"), "TOOL", "MODULE_TEST");
        app::WriteConfigKey(Path("RegScope.cfg"), "SERIAL_BAUD", "115200");
        // Long enough for a reply on a loaded machine; only a silent slave waits it out.
        app::WriteConfigKey(Path("RegScope.cfg"), "TIMEOUT", "0.5");
        headless::Reset();
    }

    // A module at an address whose inputs stay where the test puts them.
    std::shared_ptr<sim::RegisterBank> Module(uint8_t address, const std::string& model,
                                              const std::string& version)
    {
        return sim::AddModuleModel(sim_, address, sim::ModelOptions{model, version, false});
    }

    // Types the address and presses "OK". Nothing but the identification
    // may reach the bus: a new panel reads nothing by itself.
    void Identify(int address)
    {
        headless::ClearMessages();
        sim_.ClearFrames();
        headless::SetTextAsUser(20011, std::to_string(address));
        headless::Click(20003);
        EXPECT_EQ(Requests(), (std::vector<std::pair<int, int>>{{17, -1}}));
    }

    // Function and register address of every request since the last check.
    std::vector<std::pair<int, int>> Requests()
    {
        std::vector<std::pair<int, int>> out;
        for (const sim::Frame& f : sim_.Frames())
            if (f.bytes.size() >= 4)
                out.push_back(
                    {f.bytes[1], f.bytes.size() >= 6 ? f.bytes[2] * 256 + f.bytes[3] : -1});
        sim_.ClearFrames();
        return out;
    }
};
