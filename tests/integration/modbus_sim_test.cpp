// The transaction engine over a real pseudo-terminal against the bus
// simulator: every result code with its message, broadcast, the port's life
// cycle and a simulator that dies under an open port. How replies arrive in
// pieces is the engine test's, over its scripted device.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <tuple>
#include <unistd.h>

#include "app/comm_report.h"
#include "modbus/result_codes.h"
#include "modbus/serial_link.h"
#include "sim/sim.h"
#include "tests/support/program_folder.h"

namespace {

namespace fs = std::filesystem;

modbus::Bytes ReadRequest(uint16_t start, uint16_t quantity)
{
    return {uint8_t(start >> 8), uint8_t(start), uint8_t(quantity >> 8), uint8_t(quantity)};
}

class OverPty : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        sim::Options options;
        options.folder = dir_;
        options.port = 1;
        std::string error;
        ASSERT_TRUE(sim_.Start(options, &error)) << error;
        bank_ = sim_.AddGenericSlave(1);
        for (uint16_t a = 0; a < 130; ++a)
            bank_->SetHolding(a, uint16_t(1000 + a));
        modbus::SetPortFolder(dir_);
        modbus::SetFailureReporter(app::ReportCommFailure);
        app::AutoReadActive = 1;
    }
    void TearDown() override
    {
        modbus::ClosePort();
        sim_.Stop();
        FolderTest::TearDown();
    }

    // Registers 0..n-1 of slave 1 at 9600 bit/s, even parity.
    int16_t ReadHolding(uint16_t n, modbus::Bytes* data, float timeout_s = 1.0f,
                        uint8_t address = 1)
    {
        int16_t code = modbus::OpenPort({1, 9600, serial::Parity::Even});
        if (code != 0)
            return code;
        return modbus::Transact(address, 3, ReadRequest(0, n), data, {uint16_t(2 * n + 1)},
                                timeout_s);
    }

    std::string LastMessage() const
    {
        const auto& shown = headless::MessagesShown();
        return shown.empty() ? std::string() : shown.back().text;
    }

    void ExpectFailure(int16_t code, int16_t expected, const std::string& message)
    {
        EXPECT_EQ(code, expected);
        ASSERT_FALSE(headless::MessagesShown().empty());
        EXPECT_EQ(headless::MessagesShown().back().title, "Communication error");
        EXPECT_EQ(headless::MessagesShown().back().icon, ui::Icon::Stop);
        EXPECT_EQ(LastMessage(), message);
        EXPECT_FALSE(modbus::PortIsOpen());
        EXPECT_EQ(app::AutoReadActive, 0);
        EXPECT_EQ(ui::GetStatusText(), "Ready");
    }

    sim::Simulator sim_;
    std::shared_ptr<sim::RegisterBank> bank_;
};

TEST_F(OverPty, ReadsRegisterValues)
{
    modbus::Bytes data;
    ASSERT_EQ(ReadHolding(3, &data), 0);
    EXPECT_EQ(data, (modbus::Bytes{6, 0x03, 0xE8, 0x03, 0xE9, 0x03, 0xEA}));
    EXPECT_TRUE(modbus::PortIsOpen());
    EXPECT_TRUE(headless::MessagesShown().empty());
    ASSERT_EQ(sim_.Frames().size(), 1u);
    EXPECT_EQ(sim_.Frames()[0].bytes, modbus::BuildFrame(1, 3, ReadRequest(0, 3)));
}

TEST_F(OverPty, ExceptionCodes)
{
    const char* names[] = {"Illegal function code", "Illegal data address", "Illegal data value",
                           "Slave device failure",  "Acknowledge",          "Slave device busy"};
    for (int code = 1; code <= 7; ++code) {
        sim::Fault f;
        f.kind = sim::Fault::Exception;
        f.exception_code = uint8_t(code);
        sim_.InjectFault(f);
        modbus::Bytes data;
        if (code <= 6)
            ExpectFailure(ReadHolding(2, &data), int16_t(code),
                          "Received command exception " + std::to_string(code) + ":\r\r" +
                              names[code - 1]);
        else
            ExpectFailure(ReadHolding(2, &data), 15, "Received unknown command exception");
        EXPECT_TRUE(data.empty());
    }
}

TEST_F(OverPty, InvalidSettingsAndMissingDevice)
{
    ExpectFailure(modbus::OpenPort({9, 9600, serial::Parity::Even}), modbus::kSettingsNotValid,
                  "Serial port not valid");
    ExpectFailure(modbus::OpenPort({1, 1000001, serial::Parity::Even}), modbus::kSettingsNotValid,
                  "Baudrate not valid");
    ExpectFailure(modbus::OpenPort({1, 9600, serial::ParityFromCode(4)}), modbus::kSettingsNotValid,
                  "Parity not valid");
    fs::create_symlink(Path("no-such-pty"), Path("COM5"));
    ExpectFailure(modbus::OpenPort({5, 9600, serial::Parity::Even}), modbus::kPortNotAvailable,
                  "COM5 port not available");
    EXPECT_TRUE(sim_.Frames().empty());
}

TEST_F(OverPty, ATimeOutOfZeroFailsEvenAReplyThatIsThere)
{
    modbus::Bytes data;
    ExpectFailure(ReadHolding(2, &data, 0.0f), modbus::kTimeout, "Timeout: replay not received");
}

TEST_F(OverPty, FramingFailures)
{
    struct Case {
        sim::Fault::Kind kind;
        int16_t code;
        const char* message;
    } cases[] = {
        {sim::Fault::BadCrc, modbus::kBadChecksum, "Received bad checksum"},
        {sim::Fault::WrongAddress, modbus::kBadSlaveAddress, "Received bad slave address"},
        {sim::Fault::WrongFunction, modbus::kBadFunctionCode, "Received bad function code"},
        {sim::Fault::ExtraBytes, modbus::kBadNumberOfBytes, "Received bad number of bytes"},
    };
    for (const Case& c : cases) {
        sim::Fault f;
        f.kind = c.kind;
        sim_.InjectFault(f);
        modbus::Bytes data;
        ExpectFailure(ReadHolding(2, &data), c.code, c.message);
    }
}

TEST_F(OverPty, BroadcastReturnsAtOnce)
{
    ASSERT_EQ(modbus::OpenPort({1, 9600, serial::Parity::Even}), 0);
    modbus::Bytes data;
    double t0 = sys::MonotonicSeconds();
    EXPECT_EQ(modbus::Transact(0, 6, {0, 7, 0x12, 0x34}, &data, {4}, 2.0f), 0);
    EXPECT_LT(sys::MonotonicSeconds() - t0, 0.1);
    EXPECT_TRUE(data.empty());
    ASSERT_TRUE(sim_.WaitForFrames(1, 2.0));
    EXPECT_EQ(sim_.Frames()[0].bytes, modbus::BuildFrame(0, 6, {0, 7, 0x12, 0x34}));
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(OverPty, PortOpensOnceAndReopensWithNewSettings)
{
    modbus::Bytes data;
    ASSERT_EQ(modbus::OpenPort({1, 9600, serial::Parity::Even}), 0);
    ASSERT_EQ(modbus::Transact(1, 3, ReadRequest(0, 1), &data, {3}, 1.0f), 0);
    // Ignored while open: the line keeps its settings.
    ASSERT_EQ(modbus::OpenPort({1, 19200, serial::Parity::NoneTwoStopBits}), 0);
    ASSERT_EQ(modbus::Transact(1, 3, ReadRequest(0, 1), &data, {3}, 1.0f), 0);
    modbus::ClosePort();
    ASSERT_EQ(modbus::OpenPort({1, 19200, serial::Parity::Odd}), 0);
    ASSERT_EQ(modbus::Transact(1, 3, ReadRequest(0, 1), &data, {3}, 1.0f), 0);
    // A rate without a Bxxx constant is set exactly.
    modbus::ClosePort();
    ASSERT_EQ(modbus::OpenPort({1, 250000, serial::Parity::NoneTwoStopBits}), 0);
    ASSERT_EQ(modbus::Transact(1, 3, ReadRequest(0, 1), &data, {3}, 1.0f), 0);

    std::vector<std::tuple<unsigned, int, int>> lines;
    for (const sim::Frame& f : sim_.Frames())
        lines.emplace_back(f.line.baud, serial::ParityCode(f.line.parity),
                           serial::StopBits(f.line.parity));
    EXPECT_EQ(lines, (std::vector<std::tuple<unsigned, int, int>>{
                         {9600, 2, 1}, {9600, 2, 1}, {19200, 1, 1}, {250000, 0, 2}}));
}

TEST_F(OverPty, SimulatorGoneUnderAnOpenPort)
{
    modbus::Bytes data;
    ASSERT_EQ(ReadHolding(1, &data), 0);
    sim::Fault silent;
    silent.kind = sim::Fault::NoReply;
    sim_.InjectFault(silent);
    // The simulator dies while the reply is awaited: the hang-up ends the
    // wait long before the time-out, with one report.
    std::thread killer([this] {
        sys::SleepSeconds(0.2);
        sim_.Stop();
    });
    double t0 = sys::MonotonicSeconds();
    int16_t code = modbus::Transact(1, 3, ReadRequest(0, 1), &data, {3}, 10.0f);
    killer.join();
    EXPECT_LT(sys::MonotonicSeconds() - t0, 2.0);
    ExpectFailure(code, modbus::kPortNotAvailable, "COM1 port not available");
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
}

} // namespace
