// Independent peers: the engine against a slave built on libmodbus, and the
// mbpoll master against the simulator. Each side was written without the
// other, so a frame both accept is a frame of the protocol, not of our
// own reading of it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <modbus.h>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "app/comm_report.h"
#include "modbus/serial_link.h"
#include "modbus_pty_bridge.h"
#include "sim/sim.h"
#include "tests/support/program_folder.h"

namespace {

using ModbusPeers = FolderTest;

// A libmodbus RTU slave at address 1 with 100 holding registers, served on
// its own thread until stopped.
class LibmodbusSlave {
public:
    bool Start(const std::string& device)
    {
        ctx_ = modbus_new_rtu(device.c_str(), 19200, 'E', 8, 1);
        map_ = modbus_mapping_new(0, 0, 100, 0);
        if (!ctx_ || !map_ || modbus_set_slave(ctx_, 1) != 0 || modbus_connect(ctx_) != 0)
            return false;
        // Wakes now and then to see whether it should stop.
        modbus_set_indication_timeout(ctx_, 0, 100000);
        thread_ = std::thread([this] {
            uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
            while (!stop_) {
                int n = modbus_receive(ctx_, query);
                if (n > 0)
                    modbus_reply(ctx_, query, n, map_);
            }
        });
        return true;
    }
    ~LibmodbusSlave()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (ctx_) {
            modbus_close(ctx_);
            modbus_free(ctx_);
        }
        if (map_)
            modbus_mapping_free(map_);
    }
    uint16_t* Registers() { return map_->tab_registers; }

private:
    modbus_t* ctx_ = nullptr;
    modbus_mapping_t* map_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(ModbusPeers, EngineReadsAndWritesALibmodbusSlave)
{
    PtyBridge bridge;
    std::string error;
    ASSERT_TRUE(bridge.Start(&error)) << error;
    std::filesystem::create_symlink(bridge.PathA(), Path("COM2"));
    modbus::SetPortFolder(dir_);
    modbus::SetFailureReporter(app::ReportCommFailure);

    LibmodbusSlave slave;
    ASSERT_TRUE(slave.Start(bridge.PathB()));
    for (int i = 0; i < 10; ++i)
        slave.Registers()[i] = uint16_t(0x0101 * i);

    ASSERT_EQ(modbus::OpenPort({2, 19200, serial::Parity::Even}), 0);
    modbus::Bytes data;
    ASSERT_EQ(modbus::Transact(1, 3, {0, 0, 0, 10}, &data, {21}, 1.0f), 0);
    ASSERT_EQ(data.size(), 21u);
    EXPECT_EQ(data[0], 20);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(data[1 + 2 * i], i);
        EXPECT_EQ(data[2 + 2 * i], i);
    }

    ASSERT_EQ(modbus::Transact(1, 16, {0, 20, 0, 2, 4, 0xAB, 0xCD, 0x12, 0x34}, &data, {4}, 1.0f),
              0);
    EXPECT_EQ(data, (modbus::Bytes{0, 20, 0, 2}));
    EXPECT_EQ(slave.Registers()[20], 0xABCD);
    EXPECT_EQ(slave.Registers()[21], 0x1234);
    ASSERT_EQ(modbus::Transact(1, 6, {0, 30, 0xFF, 0xFE}, &data, {4}, 1.0f), 0);
    EXPECT_EQ(slave.Registers()[30], 0xFFFE);

    // Beyond the slave's table: its exception reaches the user.
    EXPECT_EQ(modbus::Transact(1, 3, {0, 99, 0, 2}, &data, {5}, 1.0f), 2);
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].text,
              "Received command exception 2:\r\rIllegal data address");
    modbus::ClosePort();
}

TEST_F(ModbusPeers, MbpollReadsTheSimulator)
{
    sim::Simulator simulator;
    sim::Options options;
    options.folder = dir_;
    std::string error;
    ASSERT_TRUE(simulator.Start(options, &error)) << error;
    auto bank = simulator.AddGenericSlave(7);
    const uint16_t values[] = {12, 3456, 7890, 0, 32767};
    for (int i = 0; i < 5; ++i)
        bank->SetHolding(uint16_t(100 + i), values[i]);

    // Reference 101 is register address 100 (mbpoll counts from 1).
    std::string command = "mbpoll -m rtu -a 7 -b 19200 -P even -t 4 -r 101 -c 5 -1 -o 2 " +
                          simulator.DevicePath() + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char line[256];
    while (fgets(line, sizeof line, pipe))
        output += line;
    int status = pclose(pipe);
    EXPECT_EQ(status, 0) << output;

    // Lines of the form "[101]: 	12".
    std::istringstream lines(output);
    std::string text;
    int seen = 0;
    while (std::getline(lines, text)) {
        int reference, value;
        if (std::sscanf(text.c_str(), "[%d]: %d", &reference, &value) != 2)
            continue;
        ASSERT_GE(reference, 101) << output;
        ASSERT_LE(reference, 105) << output;
        EXPECT_EQ(value, values[reference - 101]) << output;
        ++seen;
    }
    EXPECT_EQ(seen, 5) << output;
    simulator.Stop();
}

} // namespace
