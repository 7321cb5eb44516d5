// The Analyzer's 32-bit channels against a slave built on libmodbus, which
// holds values written out by hand in each byte order: what the program
// shows and writes agrees with a peer that was written without it.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <modbus.h>
#include <thread>

#include "modbus/serial_link.h"
#include "modbus_pty_bridge.h"
#include "tests/support/program_folder.h"

namespace {

constexpr int kReadAll = 60002;
constexpr int kBlockReads = 60009;

int Box(int index) { return 60101 + 10 * index; }
int WriteButton(int index) { return 60105 + 10 * index; }

// Slave 1 at the program's default line (9600 bit/s, even parity) with 20
// holding registers: register 20 is one it lacks.
class AnalyzerAndLibmodbus : public ProgramInFolder {
protected:
    void BeforeStart() override
    {
        std::string error;
        ASSERT_TRUE(bridge_.Start(&error)) << error;
        std::filesystem::create_symlink(bridge_.PathA(), Path("COM1"));
        ctx_ = modbus_new_rtu(bridge_.PathB().c_str(), 9600, 'E', 8, 1);
        map_ = modbus_mapping_new(0, 0, 20, 0);
        ASSERT_TRUE(ctx_ && map_ && modbus_set_slave(ctx_, 1) == 0 && modbus_connect(ctx_) == 0);
        modbus_set_indication_timeout(ctx_, 0, 100000);
        // 25.5 ABCD; -1.5 (BFC0 0000) DCBA; -123456789 (F8A4 32EB) BADC;
        // 3000000000 (B2D0 5E00) CDAB.
        const uint16_t held[] = {0x41CC, 0x0000, 0x0000, 0xC0BF, 0xA4F8, 0xEB32, 0x5E00, 0xB2D0};
        std::copy(std::begin(held), std::end(held), map_->tab_registers);
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
        modbus::ClosePort();
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (ctx_) {
            modbus_close(ctx_);
            modbus_free(ctx_);
        }
        if (map_)
            modbus_mapping_free(map_);
        ProgramInFolder::TearDown();
    }

    void Channel(int index, int address, const char* data, const char* order)
    {
        const std::string p = "CH0" + std::to_string(index + 1) + "_";
        app::WriteConfigKey(app::CfgPath, p + "ENABLE", "1");
        app::WriteConfigKey(app::CfgPath, p + "WORD_ADD", std::to_string(address));
        app::WriteConfigKey(app::CfgPath, p + "FORMAT", "0.0");
        app::WriteOptionalConfigKey(app::CfgPath, p + "DATA", data, p + "PLOT_WIDTH");
        app::WriteOptionalConfigKey(app::CfgPath, p + "ORDER", order, p + "PLOT_WIDTH");
    }

    PtyBridge bridge_;
    modbus_t* ctx_ = nullptr;
    modbus_mapping_t* map_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(AnalyzerAndLibmodbus, ReadsAndWritesEveryOrderOneByOneAndInABlock)
{
    Channel(0, 0, "FLOAT32", "ABCD");
    Channel(1, 2, "FLOAT32", "DCBA");
    Channel(2, 4, "INT32", "BADC");
    Channel(3, 6, "UINT32", "CDAB");
    headless::MenuCommand(2104);
    const char* shown[] = {"25.5", "-1.5", "-123456789.0", "3000000000.0"};
    for (bool block : {false, true}) {
        if (block)
            headless::Click(kBlockReads);
        for (int i = 0; i < 4; ++i)
            ui::SetText(Box(i), "");
        headless::Click(kReadAll);
        ASSERT_TRUE(headless::MessagesShown().empty()) << headless::MessagesShown()[0].text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Text(Box(i)), shown[i]) << "block reads " << block;
    }

    // Written back in each order: 0.1 (3DCC CCCD), -2 (FFFF FFFE),
    // 4294967295.
    const struct {
        int index;
        const char* text;
        uint16_t first, second;
    } writes[] = {
        {0, "0.1", 0x3DCC, 0xCCCD},
        {1, "0.1", 0xCDCC, 0xCC3D},
        {2, "-2", 0xFFFF, 0xFEFF},
        {3, "4294967295", 0xFFFF, 0xFFFF},
    };
    for (const auto& w : writes) {
        ui::SetText(Box(w.index), w.text);
        headless::Click(WriteButton(w.index));
        EXPECT_EQ(map_->tab_registers[2 * w.index], w.first) << w.text;
        EXPECT_EQ(map_->tab_registers[2 * w.index + 1], w.second) << w.text;
    }
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(AnalyzerAndLibmodbus, ASecondRegisterTheSlaveLacksIsItsException)
{
    Channel(0, 19, "FLOAT32", "ABCD");
    headless::MenuCommand(2104);
    headless::Click(kReadAll);
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].text,
              "Received command exception 2:\r\rIllegal data address");
    EXPECT_EQ(Text(Box(0)), "");
}

} // namespace
