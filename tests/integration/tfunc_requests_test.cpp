// The function requests on their own, against the simulator: status kinds,
// one-register renderings, failed content checks, Report Slave ID, channel
// conversions and broadcasts.
#include "tfunc_fixture.h"

#include "modbus/requests.h"

namespace {

constexpr int kBox = 30001; // a box of no tool, so no tool reacts to it

class Requests : public TestFunctionOnBus {
protected:
    void SetUp() override
    {
        TestFunctionOnBus::SetUp();
        ui::ControlSpec box{ui::Kind::Edit, kBox, "old", 0, 0, 50, 15};
        ui::CreateControl(box);
    }
};

TEST_F(Requests, ReadsAreQuietUnderAutoReadWritesAlwaysReport)
{
    AutoReadActive = 1;
    ShowStatus("Auto read active", AutoReadIdleColour);
    EXPECT_EQ(ReadHoldingRegisterList(1, kBox, "0", "1"), 0);
    EXPECT_EQ(ui::GetStatusText(), "Auto read active");
    EXPECT_EQ(ui::GetStatusColour(), AutoReadIdleColour);

    ui::SetText(kBox, "12");
    EXPECT_EQ(WriteRegister(1, kBox, "3"), 0);
    EXPECT_EQ(ui::GetStatusText(), "Holding Register writed to Slave 1 : Address 3");
    EXPECT_EQ(ui::GetStatusColour(), StatusColour);
    EXPECT_EQ(bank_->Holding(3), 12);

    AutoReadActive = 0;
    EXPECT_EQ(ReadHoldingRegister(1, kBox, "3"), 0);
    EXPECT_EQ(ui::GetStatusText(), "Holding Register readed from Slave 1 : Address 3");
}

TEST_F(Requests, OneRegisterReadsInDecimalAndBinary)
{
    bank_->SetHolding(3, 0xA5C3);
    bank_->SetInput(4, 0x0102);
    const struct {
        int16_t (*read)(uint8_t, int, const std::string&);
        const char* address;
        const char* text;
        Bytes request;
    } cases[] = {
        {ReadHoldingRegister, "3", "42435", {1, 3, 0, 3, 0, 1}},
        {ReadHoldingRegisterBits8, "3", "11000011", {1, 3, 0, 3, 0, 1}},
        {ReadInputRegister, "4", "258", {1, 4, 0, 4, 0, 1}},
        {ReadInputRegisterBits8, "4", "00000010", {1, 4, 0, 4, 0, 1}},
        {ReadInputRegisterBits16, "4", "0000000100000010", {1, 4, 0, 4, 0, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.read(1, kBox, c.address), 0) << c.text;
        EXPECT_EQ(Text(kBox), c.text);
        EXPECT_EQ(LastFrameData(), c.request) << c.text;
    }
    EXPECT_EQ(ui::GetStatusText(), "Input Register readed from Slave 1 : Address 4");
}

TEST_F(Requests, AFailedContentCheckLeavesTheResultAndClosesThePort)
{
    sim::Fault fault;
    fault.kind = sim::Fault::WrongByteCount;
    fault.byte_count = 4;
    sim_.InjectFault(fault);
    EXPECT_EQ(ReadHoldingRegister(1, kBox, "0"), 147);
    EXPECT_EQ(Text(kBox), "old");
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].text, "Received bad bytes count");
    EXPECT_FALSE(PortIsOpen());
    EXPECT_EQ(ui::GetStatusText(), "Ready");

    // The next request opens the port again.
    EXPECT_EQ(ReadHoldingRegisterList(1, kBox, "0", "1"), 0);
    EXPECT_EQ(Text(kBox), "00000 > 00000   00000000.00000000 \r\n");
}

TEST_F(Requests, BinaryValuesAndChannelConversions)
{
    ui::SetText(kBox, "101x1");
    EXPECT_EQ(WriteRegisterBits(1, kBox, "6"), 0);
    EXPECT_EQ(bank_->Holding(6), 5);

    // Identity on the word, so the test sees exactly what crossed the line.
    std::vector<uint16_t> words_seen;
    ValueConversion identity{[&](uint16_t w) {
                                 words_seen.push_back(w);
                                 return std::to_string(w);
                             },
                             [](const std::string& t) { return uint16_t(std::stoul(t)); }};
    ui::SetText(kBox, "40000");
    EXPECT_EQ(WriteChannelHolding(1, kBox, "7", identity), 0);
    EXPECT_EQ(bank_->Holding(7), 40000);
    EXPECT_EQ(ui::GetStatusText(), "Holding Register writed to Slave 1 : Address 7");
    ui::SetText(kBox, "");
    EXPECT_EQ(ReadChannelHolding(1, kBox, "7", identity), 0);
    EXPECT_EQ(Text(kBox), "40000");
    bank_->SetInput(7, 65535);
    EXPECT_EQ(ReadChannelInput(1, kBox, "7", identity), 0);
    EXPECT_EQ(Text(kBox), "65535");
    EXPECT_EQ(words_seen, (std::vector<uint16_t>{40000, 65535}));
}

TEST_F(Requests, SlaveInfoGivesTheRawTextsOrNothing)
{
    auto tables = std::make_shared<sim::Tables>();
    // The version text carries a NUL in its padding: it must come back whole.
    Bytes id = sim::MakeIdentification("MODEL-01", std::string("r.01\0\0 3", 8));
    sim_.AddSlave(5, [tables, id](const sim::Request& r) { return sim::ServeGeneric(*tables, r, id); });

    std::string model = "x", version = "y";
    EXPECT_EQ(ReadSlaveInfo(5, &model, &version), 0);
    EXPECT_EQ(model, "MODEL-01");
    EXPECT_EQ(version, std::string("r.01\0\0 3", 8));
    EXPECT_EQ(ui::GetStatusText(), "Reading info from Slave 5");
    EXPECT_GE(headless::LastWaitRequested(), 0.4);

    sim::Fault fault;
    fault.kind = sim::Fault::WrongByteCount;
    fault.byte_count = 21;
    sim_.InjectFault(fault);
    model = "x";
    version = "y";
    EXPECT_EQ(ReadSlaveInfo(5, &model, &version), 147);
    EXPECT_EQ(model, "x");
    EXPECT_EQ(version, "y");
}

TEST_F(Requests, BroadcastsAreSentAndNothingIsReadBack)
{
    ui::SetText(kBox, "9");
    EXPECT_EQ(WriteRegister(0, kBox, "8"), 0);
    EXPECT_EQ(ui::GetStatusText(), "Holding Register writed to Slave 0 : Address 8");
    ASSERT_TRUE(sim_.WaitForFrames(1, 1.0));
    EXPECT_EQ(LastFrameData(), (Bytes{0, 6, 0, 8, 0, 9}));

    // A read has no reply to list: the box keeps its text and nothing breaks.
    EXPECT_EQ(ReadHoldingRegisterList(0, kBox, "0", "3"), 0);
    EXPECT_EQ(Text(kBox), "9");
    std::string model = "x", version = "y";
    EXPECT_EQ(ReadSlaveInfo(0, &model, &version), 0);
    EXPECT_EQ(model, "x");
    EXPECT_TRUE(headless::MessagesShown().empty());
}

} // namespace
