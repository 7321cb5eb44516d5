// Read all and Write all against a module in configuration mode on the
// simulated bus.
#include "app/command_ids.h"
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
    }
};

TEST_F(ConfigureModule, ReadAllTalksAtConfigurationSettingsThenLeavesThePortClosed)
{
    Answer(app::cmd::kBaudrate, "19200");
    headless::MenuCommand(app::cmd::ParityCommand(3));
    ASSERT_EQ(OrdinaryRequest(), 0) << "port open at the general settings";
    sim_.SetModuleConfig({17, 115200, 1, 500});

    headless::Click(kReadAll);
    EXPECT_TRUE(headless::MessagesShown().empty());
    EXPECT_EQ(Cfg("MODULE_CFG_BAUD"), "115200");
    EXPECT_EQ(ui::GetText(kParity), "1");
    EXPECT_EQ(headless::BeepCount(), 1);

    ASSERT_EQ(OrdinaryRequest(), 0);
    std::vector<sim::Frame> frames = sim_.Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].line.baud, 9600);
    EXPECT_EQ(frames[1].line.parity, serial::Parity::Even);
    EXPECT_EQ(frames[2].line.baud, 19200) << "reopened with the general settings";
    EXPECT_EQ(frames[2].line.parity, serial::Parity::NoneOneStopBit);
}

TEST_F(ConfigureModule, WriteAllSendsTheStoredKeysNotTheTypedText)
{
    Answer(app::cmd::kBaudrate, "38400");
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
    EXPECT_EQ(frames[0].line.baud, 9600);
    EXPECT_EQ(frames[1].line.baud, 38400);
}

} // namespace
