// The program with the Test module tool open, on the headless window, talking
// over a pty to simulated modules.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "app/config_store.h"
#include "app/shell.h"
#include "modbus/serial_link.h"
#include "platform/headless/headless.h"
#include "sim/models.h"

class TestModuleBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/regscope-tmodule-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        headless::Reset();
        CreateDefaultFiles();
        WriteConfigKey(dir_ + "/RegScope.ini", "TOOL", "MODULE_TEST");
        WriteConfigKey(dir_ + "/RegScope.cfg", "SERIAL_BAUD", "115200");
        WriteConfigKey(dir_ + "/RegScope.cfg", "TIMEOUT", "0.2");
        sim::Options options;
        options.folder = dir_;
        options.port = 1;
        std::string error;
        ASSERT_TRUE(bus_.Start(options, &error)) << error;
        headless::Reset();
        ASSERT_TRUE(StartProgram());
        ASSERT_EQ(CurrentTool, 2);
    }

    void TearDown() override
    {
        ClosePort();
        bus_.Stop();
        if (chdir("/") == 0)
            std::filesystem::remove_all(dir_);
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
                out.push_back({f.bytes[1], f.bytes.size() >= 6 ? f.bytes[2] * 256 + f.bytes[3] : -1});
        bus_.ClearFrames();
        return out;
    }

    static std::string Text(int id)
    {
        const headless::ControlState* c = headless::Control(id);
        return c ? c->spec.text : "<no control>";
    }
    static ui::Colour Back(int id) { return headless::Control(id)->spec.back_colour; }

    sim::Simulator bus_;
    std::string dir_;
};
