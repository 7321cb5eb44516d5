// Read all and Write all against a module in configuration mode on the
// simulated bus.
#include "app/command_ids.h"
#include "sim_program.h"

namespace {

constexpr int kReadAll = 10002, kWriteAll = 10003;

class ConfigureModule : public ProgramOnBus<1> {
protected:
    void SetUp() override
    {
        ProgramOnBus<1>::SetUp();
        sim_.EnableConfigModule(true);
    }
};

TEST_F(ConfigureModule, ReadAndWriteAllTalkAtConfigurationSettingsThenLeaveThePortClosed)
{
    Answer(app::cmd::kBaudrate, "19200");
    headless::MenuCommand(app::cmd::ParityCommand(3));
    ASSERT_EQ(OrdinaryRequest(), 0) << "port open at the general settings";
    sim_.SetModuleConfig({17, 115200, 1, 500});

    headless::Click(kReadAll);
    EXPECT_EQ(Cfg("MODULE_CFG_BAUD"), "115200");
    EXPECT_EQ(headless::BeepCount(), 1);

    ASSERT_EQ(OrdinaryRequest(), 0);
    std::vector<sim::Frame> frames = sim_.Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].line.baud, 9600);
    EXPECT_EQ(frames[1].line.parity, serial::Parity::Even);
    EXPECT_EQ(frames[2].line.baud, 19200) << "reopened with the general settings";
    EXPECT_EQ(frames[2].line.parity, serial::Parity::NoneOneStopBit);

    // Write all likewise.
    headless::Click(kWriteAll);
    ASSERT_EQ(OrdinaryRequest(), 0);
    frames = sim_.Frames();
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames[3].line.baud, 9600);
    EXPECT_EQ(frames[4].line.baud, 19200);
}

} // namespace
