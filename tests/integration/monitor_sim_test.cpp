// The communication monitor against the simulator: every frame of a Test
// function read and of a Test module Read all is captured exactly, in order,
// with plausible times; a time-out and a spoilt checksum show in the lines
// and the statistics; the ring keeps only the last N.
#include "tfunc_fixture.h"
#include "tmodule_fixture.h"

#include "app/command_ids.h"
#include "modbus/capture.h"
#include "modbus/codec.h"
#include "modbus/result_codes.h"
#include "monitor/monitor_window.h"

namespace {

using modbus::Bytes;
using modbus::Transaction;

std::vector<Transaction> Captured()
{
    std::vector<Transaction> out;
    modbus::ForEachCaptured(0, [&](const Transaction& t) { out.push_back(t); });
    return out;
}

Bytes RequestOf(const Transaction& t) { return Bytes(t.request, t.request + t.request_size); }
Bytes ReplyOf(const Transaction& t) { return Bytes(t.reply, t.reply + t.reply_size); }

int CountOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string MonitorLines()
{
    headless::RefreshLineWindows();
    return ui::LinesText(monitor::MonitorWindowHandle());
}

std::string MonitorNote() { return headless::LineWindow(monitor::MonitorWindowHandle())->note; }

class MonitorOnTestFunction : public TestFunctionOnBus {
protected:
    void SetUp() override
    {
        TestFunctionOnBus::SetUp();
        headless::MenuCommand(app::cmd::kCommunicationMonitor);
        ASSERT_TRUE(monitor::MonitorOpen());
        OpenFunction("3");
        headless::SetTextAsUser(53011, "0");
        headless::SetTextAsUser(53021, "10");
    }
};

TEST_F(MonitorOnTestFunction, ReadTimeoutAndBadChecksumAsTheyWentOnTheWire)
{
    bank_->SetHolding(0, 5);
    bank_->SetHolding(9, 65535);
    headless::Click(53001);
    std::vector<Transaction> t = Captured();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(RequestOf(t[0]), modbus::BuildFrame(1, 3, {0, 0, 0, 10}));
    Bytes data = {20, 0, 5};
    data.resize(19, 0);
    data.insert(data.end(), {0xFF, 0xFF});
    EXPECT_EQ(ReplyOf(t[0]), modbus::BuildFrame(1, 3, data));
    EXPECT_EQ(t[0].result, modbus::kOk);
    EXPECT_EQ(t[0].line, (serial::LineSettings{1, 9600, serial::Parity::Even}));
    EXPECT_EQ(t[0].timeout_s, 0.3f);
    int64_t response_us = t[0].ended_us - t[0].sent_us;
    EXPECT_GT(response_us, 0);
    EXPECT_LT(response_us, 300'000) << "within the time-out";

    sim_.InjectFault(sim::Fault{sim::Fault::NoReply});
    headless::Click(53001);
    sim_.InjectFault(sim::Fault{sim::Fault::BadCrc});
    headless::Click(53001);
    EXPECT_EQ(headless::MessagesShown().size(), 2u);
    t = Captured();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].result, modbus::kTimeout);
    EXPECT_EQ(t[1].reply_received, 0u);
    EXPECT_GE(t[1].ended_us - t[1].sent_us, 300'000) << "the whole time-out was waited";
    EXPECT_LT(t[1].ended_us - t[1].sent_us, 400'000);
    EXPECT_EQ(t[2].result, modbus::kBadChecksum);
    EXPECT_EQ(t[2].reply_size, 25u);
    EXPECT_GE(t[1].sent_us, t[0].ended_us) << "one transaction after the other";
    EXPECT_GE(t[2].sent_us, t[1].ended_us);

    std::string lines = MonitorLines();
    EXPECT_EQ(CountOf(lines, " TX 01 03 00 00 00 0A C5 CD | "), 3) << lines;
    EXPECT_EQ(CountOf(lines, " RX  | timeout"), 1) << lines;
    EXPECT_EQ(CountOf(lines, "bad CRC"), 1) << lines;
    EXPECT_EQ(MonitorNote().rfind("Requests 3  good 1  time-outs 1  CRC errors 1  exceptions 0"
                                  "  other 0\nResponse time  min ",
                                  0),
              0u)
        << MonitorNote();
}

TEST_F(MonitorOnTestFunction, RefusedReplyAndBroadcastAreRecordedAsWhatTheyWere)
{
    sim_.InjectFault(sim::Fault{sim::Fault::WrongByteCount});
    headless::Click(53001);
    // A Write Single Register to every slave: sent, nothing awaited.
    ASSERT_EQ(modbus::OpenPort(app::SerialSettings.line), 0);
    modbus::Bytes reply;
    ASSERT_EQ(modbus::Transact(0, 6, {0, 1, 0, 7}, &reply, {4}, 0.3f), 0);
    std::vector<Transaction> t = Captured();
    ASSERT_EQ(t.size(), 2u) << MonitorLines();
    EXPECT_EQ(t[0].result, modbus::kBadByteCount) << "the request's verdict, not the engine's";
    EXPECT_TRUE(t[1].Broadcast());
    EXPECT_EQ(RequestOf(t[1]), modbus::BuildFrame(0, 6, {0, 1, 0, 7}));
    std::string lines = MonitorLines();
    EXPECT_NE(lines.find("wrong byte count"), std::string::npos) << lines;
    EXPECT_EQ(CountOf(lines, " RX "), 1) << "a broadcast has no reply line\n" << lines;
    EXPECT_EQ(MonitorNote().rfind("Requests 2 (broadcasts 1)  good 0  time-outs 0  CRC errors 0"
                                  "  exceptions 0  other 1",
                                  0),
              0u)
        << MonitorNote();

    // Refused while the monitor is closed: nothing recorded is touched.
    headless::Click(53001);
    monitor::CloseMonitor();
    sim_.InjectFault(sim::Fault{sim::Fault::WrongByteCount});
    headless::Click(53001);
    headless::MenuCommand(app::cmd::kCommunicationMonitor);
    t = Captured();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[2].result, modbus::kOk) << "the latest record keeps its verdict";
    EXPECT_EQ(MonitorNote().rfind("Requests 3 (broadcasts 1)  good 1  time-outs 0  CRC errors 0"
                                  "  exceptions 0  other 1",
                                  0),
              0u)
        << MonitorNote();
}

TEST_F(MonitorOnTestFunction, RingKeepsOnlyTheLastTransactions)
{
    modbus::SetCaptureCapacity(4);
    std::string before = MonitorLines();
    headless::Click(53002); // Auto Read: one read at once, one at every tick
    headless::Tick(9);
    headless::Click(53002);
    std::vector<Transaction> t = Captured();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t.front().sequence, 6u);
    EXPECT_EQ(t.back().sequence, 9u);
    std::string lines = MonitorLines();
    EXPECT_NE(lines.find("# 6 transactions not shown"), std::string::npos) << lines;
    EXPECT_EQ(CountOf(lines, " TX "), 4);
}

class MonitorOnTestModule : public TestModuleBus {};

TEST_F(MonitorOnTestModule, ReadAllFramesInOrderWithPlausibleTimes)
{
    Module(5, "NODE-T04", "r.01.007");
    Identify(5);
    headless::MenuCommand(app::cmd::kCommunicationMonitor);
    Requests();
    headless::Click(24001); // Read all
    ASSERT_EQ(headless::MessagesShown().size(), 0u);
    std::vector<sim::Frame> received = bus_.Frames();
    std::vector<Transaction> t = Captured();
    ASSERT_EQ(t.size(), 19u);
    ASSERT_EQ(received.size(), 19u);
    for (size_t i = 0; i < t.size(); ++i) {
        SCOPED_TRACE("transaction " + std::to_string(i + 1));
        EXPECT_EQ(RequestOf(t[i]), received[i].bytes) << "what the slave received";
        EXPECT_EQ(t[i].result, modbus::kOk);
        ASSERT_EQ(t[i].reply_size, 7u) << "one register";
        EXPECT_EQ(t[i].reply[0], 5);
        EXPECT_EQ(t[i].reply[1], t[i].request[1]);
        EXPECT_TRUE(modbus::CrcMatches(t[i].reply, t[i].reply_size));
        EXPECT_EQ(t[i].line, (serial::LineSettings{1, 115200, serial::Parity::Even}));
        EXPECT_EQ(t[i].timeout_s, 0.2f);
        EXPECT_GT(t[i].ended_us, t[i].sent_us);
        EXPECT_LT(t[i].ended_us - t[i].sent_us, 200'000);
        if (i > 0) {
            EXPECT_GE(t[i].sent_us, t[i - 1].ended_us);
        }
    }
    std::string lines = MonitorLines();
    EXPECT_EQ(CountOf(lines, " TX 05 04 "), 10) << lines;
    EXPECT_EQ(CountOf(lines, " TX 05 03 "), 9) << lines;
    EXPECT_EQ(CountOf(lines, " RX 05 0"), 19) << lines;
    EXPECT_EQ(CountOf(lines, "# COM1 115200 bit/s even parity"), 1) << lines;
}

} // namespace
