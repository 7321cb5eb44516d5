// The program with the Test module tool open, on the headless window, talking
// over a pty to simulated modules.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "modbus/serial_link.h"
#include "sim/models.h"
#include "tests/support/program_folder.h"

class TestModuleBus : public ProgramInFolder {
protected:
    void BeforeStart() override
    {
        app::CreateDefaultFiles();
        app::WriteConfigKey(Path("RegScope.ini"), "TOOL", "MODULE_TEST");
        app::WriteConfigKey(Path("RegScope.cfg"), "SERIAL_BAUD", "115200");
        app::WriteConfigKey(Path("RegScope.cfg"), "TIMEOUT", "0.2");
        sim::Options options;
        options.folder = dir_;
        options.port = 1;
        std::string error;
        ASSERT_TRUE(bus_.Start(options, &error)) << error;
        headless::Reset();
    }

    void TearDown() override
    {
        modbus::ClosePort();
        bus_.Stop();
        ProgramInFolder::TearDown();
    }

    // A module at an address whose inputs stay where the test puts them.
    std::shared_ptr<sim::RegisterBank> Module(uint8_t address, const std::string& model,
                                              const std::string& version)
    {
        return sim::AddModuleModel(bus_, address, sim::ModelOptions{model, version, false});
    }

    // Types the address and presses "OK". Nothing but the identification
    // may reach the bus: a new panel reads nothing by itself.
    void Identify(int address)
    {
        headless::ClearMessages();
        bus_.ClearFrames();
        headless::SetTextAsUser(20011, std::to_string(address));
        headless::Click(20003);
        EXPECT_EQ(Requests(), (std::vector<std::pair<int, int>>{{17, -1}}));
    }

    // Function and register address of every request since the last check.
    std::vector<std::pair<int, int>> Requests()
    {
        std::vector<std::pair<int, int>> out;
        for (const sim::Frame& f : bus_.Frames())
            if (f.bytes.size() >= 4)
                out.push_back(
                    {f.bytes[1], f.bytes.size() >= 6 ? f.bytes[2] * 256 + f.bytes[3] : -1});
        bus_.ClearFrames();
        return out;
    }

    sim::Simulator bus_;
};
