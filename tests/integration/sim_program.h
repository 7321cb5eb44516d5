// The program in a fresh folder with the bus simulator behind COMn there.
#pragma once

#include "app/comm_report.h"
#include "modbus/serial_link.h"
#include "sim/sim.h"
#include "tests/support/program_folder.h"

template <int kPort>
class ProgramOnBus : public ProgramInFolder {
protected:
    void BeforeStart() override
    {
        sim::Options options;
        options.folder = dir_;
        options.port = kPort;
        std::string error;
        ASSERT_TRUE(sim_.Start(options, &error)) << error;
        bank_ = sim_.AddGenericSlave(1);
    }
    void TearDown() override
    {
        modbus::ClosePort();
        sim_.Stop();
        ProgramInFolder::TearDown();
    }

    // An ordinary request as every tool makes it: the port opened on demand
    // with the general settings, then one transaction (read holding
    // register 0 of slave 1).
    int16_t OrdinaryRequest()
    {
        if (int16_t rc = modbus::OpenPort(app::SerialSettings.line))
            return rc;
        modbus::Bytes reply;
        return modbus::Transact(1, 3, modbus::Bytes{0, 0, 0, 1}, &reply, {3},
                                app::SerialSettings.timeout);
    }

    void Answer(int command, const std::string& text)
    {
        headless::QueueTextAnswer(text);
        headless::MenuCommand(command);
    }

    sim::Simulator sim_;
    std::shared_ptr<sim::RegisterBank> bank_;
};
