// The bus scan against a slave built on libmodbus at address 42, 19200
// bit/s, odd parity: found with each probe, the peer's own (shorter) slave
// id reply included.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <modbus.h>
#include <thread>

#include "modbus/serial_link.h"
#include "modbus_pty_bridge.h"
#include "tools/scan/scan_run.h"

namespace {

class ScanAndLibmodbus : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("regscope-scan-peer-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        std::string error;
        ASSERT_TRUE(bridge_.Start(&error)) << error;
        std::filesystem::create_symlink(bridge_.PathA(), folder_ / "COM1");
        modbus::SetPortFolder(folder_.string());
        ctx_ = modbus_new_rtu(bridge_.PathB().c_str(), 19200, 'O', 8, 1);
        map_ = modbus_mapping_new(0, 0, 4, 0);
        ASSERT_TRUE(ctx_ && map_ && modbus_set_slave(ctx_, 42) == 0 && modbus_connect(ctx_) == 0);
        modbus_set_indication_timeout(ctx_, 0, 100000);
        // libmodbus's server pauses this long after a request for another
        // address before it listens again; a device on a shared bus must not.
        modbus_set_response_timeout(ctx_, 0, 1000);
        map_->tab_registers[0] = 4660;
        thread_ = std::thread([this] {
            uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
            while (!stop_) {
                const int n = modbus_receive(ctx_, query);
                if (n > 0)
                    modbus_reply(ctx_, query, n, map_);
            }
        });
    }
    void TearDown() override
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
        bridge_.Stop();
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path folder_;
    PtyBridge bridge_;
    modbus_t* ctx_ = nullptr;
    modbus_mapping_t* map_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(ScanAndLibmodbus, FindsThePeerWithEveryProbe)
{
    struct Row {
        int function;
        long register_address;
        const char* what;
    } rows[] = {
        {3, 0, "holding register 0 = 4660"},
        {4, 0, "exception 2: Illegal data address"},
        {17, 0, "slave id: LMB"}, // then libmodbus's version
    };
    for (const Row& r : rows) {
        scan::Settings s;
        s.from = 30;
        s.to = 50;
        s.bauds = {19200};
        s.parities = {serial::Parity::Odd};
        s.function = r.function;
        s.register_address = r.register_address;
        // The peer answers from a thread of this process: a machine loaded
        // past the 50 ms turn-round may make it miss one scan, as a busy
        // device would; an engineer scans again.
        scan::Scanner scanner;
        for (int round = 0; round < 3 && scanner.Findings().empty(); ++round) {
            ASSERT_EQ(scanner.Begin(s, serial::LineSettings{1, 19200, serial::Parity::Odd}, 1.0),
                      "");
            while (scanner.Step()) {
            }
        }
        ASSERT_EQ(scanner.Findings().size(), 1u) << r.function;
        const scan::Finding& f = scanner.Findings()[0];
        EXPECT_EQ(f.at.address, 42);
        EXPECT_EQ(f.what.rfind(r.what, 0), 0u) << f.what;
    }
}

} // namespace
