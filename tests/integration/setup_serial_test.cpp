// Setup commands seen from the line: which port the next request opens and
// with which settings.
#include "app/command_ids.h"
#include "sim_program.h"

namespace {

using PortThree = ProgramOnBus<3>;
using PortOne = ProgramOnBus<1>;

TEST_F(PortThree, ChosenPortIsTheOneTheNextRequestOpens)
{
    headless::MenuCommand(app::cmd::PortCommand(3));
    EXPECT_EQ(OrdinaryRequest(), 0);
    ASSERT_EQ(sim_.Frames().size(), 1u);
}

TEST_F(PortOne, SerialChangesCloseThePortTimeoutDoesNot)
{
    ASSERT_EQ(OrdinaryRequest(), 0);
    Answer(app::cmd::kBaudrate, "19200 abc");
    ASSERT_EQ(OrdinaryRequest(), 0);
    headless::MenuCommand(app::cmd::ParityCommand(1));
    ASSERT_EQ(OrdinaryRequest(), 0);
    // Stays open: the time-out is read at each transaction.
    Answer(app::cmd::kTimeout, "0.5");
    ASSERT_EQ(OrdinaryRequest(), 0);

    std::vector<sim::Frame> frames = sim_.Frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].line.baud, 9600u);
    EXPECT_EQ(frames[0].line.parity_code, 2);
    EXPECT_EQ(frames[1].line.baud, 19200u);
    EXPECT_EQ(frames[1].line.parity_code, 2);
    EXPECT_EQ(frames[2].line.baud, 19200u);
    EXPECT_EQ(frames[2].line.parity_code, 1);
    EXPECT_EQ(frames[3].line.parity_code, 1);
}

} // namespace
