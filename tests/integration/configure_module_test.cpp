// Read all and Write all against a module in configuration mode on the
// simulated bus.
#include "sim_program.h"

namespace {

constexpr int kSlave = 10011, kBaud = 10021, kParity = 10031, kResetTime = 10041;
constexpr int kReadAll = 10002, kWriteAll = 10003;

class ConfigureModule : public ProgramOnBus<1> {
protected:
    void SetUp() override
    {
        ProgramOnBus<1>::SetUp();
        sim_.EnableConfigModule(true);
        Answer(3401, "0.3"); // a missing module fails fast
    }
    void SetModule(uint8_t address, uint32_t baud, uint8_t parity, uint16_t reset_time)
    {
        sim::ModuleConfig config;
        config.address = address;
        config.baud = baud;
        config.parity = parity;
        config.reset_time = reset_time;
        sim_.SetModuleConfig(config);
    }
    void ExpectKeysAndBoxes(const char* slave, const char* baud, const char* parity,
                            const char* reset_time)
    {
        EXPECT_EQ(Cfg("MODULE_CFG_SLAVE"), slave);
        EXPECT_EQ(Cfg("MODULE_CFG_BAUD"), baud);
        EXPECT_EQ(Cfg("MODULE_CFG_PARITY"), parity);
        EXPECT_EQ(Cfg("MODULE_CFG_RES_TIME"), reset_time);
    }
};

const char* const kResetHint =
    "Maximum time of master inactivity to module reset. Valid: 0=NO, 1÷60000 (x10ms)";

TEST_F(ConfigureModule, ReadAllTalksAtConfigurationSettingsThenLeavesThePortClosed)
{
    Answer(3201, "19200");
    headless::MenuCommand(3304);
    ASSERT_EQ(OrdinaryRequest(), 0) << "port open at the general settings";
    SetModule(17, 115200, 1, 500);

    headless::Click(kReadAll);
    EXPECT_TRUE(headless::MessagesShown().empty());
    ExpectKeysAndBoxes("17", "115200", "1", "500");
    EXPECT_EQ(ui::GetText(kSlave), "17");
    EXPECT_EQ(ui::GetText(kBaud), "115200");
    EXPECT_EQ(ui::GetText(kParity), "1");
    EXPECT_EQ(ui::GetText(kResetTime), "500");
    for (int id : {kSlave, kBaud, kParity, kResetTime})
        EXPECT_EQ(ui::GetBackColour(id), FieldColour) << id;
    // The refilled boxes ran their checks after the request's own status.
    EXPECT_EQ(ui::GetStatusText(), kResetHint);
    EXPECT_EQ(headless::BeepCount(), 1);

    ASSERT_EQ(OrdinaryRequest(), 0);
    std::vector<sim::Frame> frames = sim_.Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].bytes, (Bytes{0xF8, 0x6D, 0x83, 0x9D}));
    EXPECT_EQ(frames[1].line.baud, 9600u);
    EXPECT_EQ(frames[1].line.parity_code, 2);
    EXPECT_EQ(frames[2].line.baud, 19200u) << "reopened with the general settings";
    EXPECT_EQ(frames[2].line.parity_code, 3);
}

TEST_F(ConfigureModule, OutOfRangeValueReadIsMarkedAndClamped)
{
    SetModule(1, 2000000, 2, 0);
    headless::Click(kReadAll);
    EXPECT_EQ(ui::GetText(kBaud), "2000000");
    EXPECT_EQ(ui::GetBackColour(kBaud), ErrorColour);
    EXPECT_EQ(Cfg("MODULE_CFG_BAUD"), "1000000");
    EXPECT_EQ(ui::GetBackColour(kSlave), FieldColour);
}

TEST_F(ConfigureModule, NoModuleGivesBothBoxesInOrderAndChangesNothing)
{
    sim_.EnableConfigModule(false);
    headless::SetTextAsUser(kSlave, "5");
    headless::ClearMessages();

    headless::Click(kReadAll);
    const auto& shown = headless::MessagesShown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, "Communication error");
    EXPECT_EQ(shown[0].text, "Timeout: replay not received");
    EXPECT_EQ(shown[1].title, "Configuration error");
    EXPECT_EQ(shown[1].icon, ui::Icon::Stop);
    EXPECT_EQ(shown[1].text,
              "A communication error was detected while communicating with the module.\r\n"
              "Probably the module is not in configuration mode (green led is flashing) or "
              "there is a conflict with more modules in this modality.");
    ExpectKeysAndBoxes("5", "9600", "2", "0");
    EXPECT_EQ(ui::GetText(kSlave), "5");
    EXPECT_EQ(ui::GetStatusText(), "Ready");

    headless::ClearMessages();
    headless::Click(kWriteAll);
    ASSERT_EQ(headless::MessagesShown().size(), 2u);
    EXPECT_EQ(headless::MessagesShown()[1].title, "Configuration error");
}

TEST_F(ConfigureModule, WriteAllSendsTheStoredKeysNotTheTypedText)
{
    Answer(3201, "38400");
    headless::SetTextAsUser(kSlave, "33");
    headless::SetTextAsUser(kBaud, "2000000");
    headless::SetTextAsUser(kParity, "0");
    headless::SetTextAsUser(kResetTime, "1234");

    headless::Click(kWriteAll);
    EXPECT_TRUE(headless::MessagesShown().empty());
    EXPECT_EQ(ui::GetStatusText(), "Configuration sended to module");
    sim::ModuleConfig module = sim_.GetModuleConfig();
    EXPECT_EQ(module.address, 33);
    EXPECT_EQ(module.baud, 1000000u);
    EXPECT_EQ(module.parity, 0);
    EXPECT_EQ(module.reset_time, 1234);

    ASSERT_EQ(OrdinaryRequest(), 0);
    std::vector<sim::Frame> frames = sim_.Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].line.baud, 9600u);
    EXPECT_EQ(frames[1].line.baud, 38400u);
}

} // namespace
