// The program in a fresh folder, started on the headless window with the
// Test function tool open, and the bus simulator behind COM1 there.
#pragma once

#include "app/command_ids.h"
#include "sim_program.h"

class TestFunctionOnBus : public ProgramOnBus<1> {
protected:
    void SetUp() override
    {
        ProgramOnBus<1>::SetUp();
        app::WriteConfigKey(app::CfgPath, "TIMEOUT", "0.3");
        headless::MenuCommand(
            app::cmd::kTestFunction); // Test function, with the settings read again
    }

    // Chooses a function in the header and presses "OK".
    static void OpenFunction(const std::string& function)
    {
        headless::SetTextAsUser(50021, function);
        headless::Click(50003);
    }

    size_t FrameCount() const { return sim_.Frames().size(); }
    modbus::Bytes LastFrameData() const
    {
        modbus::Bytes frame = sim_.Frames().back().bytes;
        return modbus::Bytes(frame.begin(), frame.end() - 2);
    }
};
