// The program in a fresh folder, started on the headless window with the
// Test function tool open, and the bus simulator behind COM1 there.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "modbus/serial_link.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "sim/sim.h"

class TestFunctionOnBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::Reset();
        char pattern[] = "/tmp/regscope-tfunc-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        sim::Options options;
        options.folder = dir_;
        std::string error;
        ASSERT_TRUE(sim_.Start(options, &error)) << error;
        bank_ = sim_.AddGenericSlave(1);

        ASSERT_TRUE(StartProgram());
        headless::ClearMessages(); // the first start creates the files and says so
        WriteConfigKey(CfgPath, "TIMEOUT", "0.3");
        headless::MenuCommand(2103); // Test function, with the settings read again
    }

    void TearDown() override
    {
        ClosePort();
        sim_.Stop();
        std::filesystem::remove_all(dir_);
    }

    // Chooses a function in the header and presses "OK".
    static void OpenFunction(const std::string& function)
    {
        headless::SetTextAsUser(50021, function);
        headless::Click(50003);
    }

    static std::string Key(const std::string& key) { return ReadConfigKey(CfgPath, key); }
    static std::string Text(int id) { return ui::GetText(id); }
    size_t FrameCount() const { return sim_.Frames().size(); }
    Bytes LastFrameData() const
    {
        Bytes frame = sim_.Frames().back().bytes;
        return Bytes(frame.begin(), frame.end() - 2);
    }

    std::string dir_;
    sim::Simulator sim_;
    std::shared_ptr<sim::RegisterBank> bank_;
};
