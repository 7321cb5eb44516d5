// Injected faults and pacing, as a master on the line sees them.
#include "sim_fixture.h"

#include <chrono>

namespace {

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

const Bytes kRead{0, 0, 0, 1};

TEST_F(SimBus, FaultAppliesToTheNextMatchingRequestsOnly)
{
    bank_->SetHolding(0, 5);
    sim::Fault f;
    f.kind = sim::Fault::Exception;
    f.exception_code = 6;
    f.function = 3;
    f.times = 2;
    sim_.InjectFault(f);
    // Another function passes untouched and does not use the fault up.
    EXPECT_EQ(master_.Ask(1, 4, kRead, 7), BuildFrame(1, 4, {2, 0, 0}));
    EXPECT_EQ(master_.Ask(1, 3, kRead, 5), BuildFrame(1, 0x83, {6}));
    EXPECT_EQ(master_.Ask(1, 3, kRead, 5), BuildFrame(1, 0x83, {6}));
    EXPECT_EQ(master_.Ask(1, 3, kRead, 7), BuildFrame(1, 3, {2, 0, 5}));

    f.kind = sim::Fault::NoReply;
    f.function = -1;
    f.times = -1;
    sim_.InjectFault(f);
    EXPECT_TRUE(master_.Ask(1, 3, kRead, 7, 0.2).empty());
    EXPECT_TRUE(master_.Ask(1, 6, {0, 1, 0, 1}, 8, 0.2).empty());
    EXPECT_EQ(bank_->Holding(1), 1) << "a silent slave still acts";
    sim_.ClearFaults();
    EXPECT_EQ(master_.Ask(1, 3, kRead, 7).size(), 7u);
}

TEST_F(SimBus, PiecesArriveApartAndDelayHoldsTheReplyBack)
{
    sim::Fault f;
    f.kind = sim::Fault::Pieces;
    f.piece_bytes = 3;
    f.piece_delay_s = 0.3;
    sim_.InjectFault(f);
    master_.Send(BuildFrame(1, 3, kRead));
    Bytes first = master_.Receive(3, 1.0);
    EXPECT_EQ(first.size(), 3u);
    EXPECT_TRUE(master_.Receive(4, 0.1).empty()) << "second piece came too early";
    Bytes rest = master_.Receive(4, 2.0);
    first.insert(first.end(), rest.begin(), rest.end());
    EXPECT_EQ(first, BuildFrame(1, 3, {2, 0, 0}));

    f.kind = sim::Fault::Delay;
    f.delay_s = 0.3;
    sim_.InjectFault(f);
    master_.Send(BuildFrame(1, 3, kRead));
    EXPECT_TRUE(master_.Receive(7, 0.15).empty());
    EXPECT_EQ(master_.Receive(7, 1.0).size(), 7u);
}

TEST_F(SimBus, ExtraBytesAndFloodComeInOneWrite)
{
    sim::Fault f;
    f.kind = sim::Fault::ExtraBytes;
    f.count = 4;
    sim_.InjectFault(f);
    master_.Send(BuildFrame(1, 3, kRead));
    EXPECT_EQ(master_.ReceiveUntilQuiet(0.15), BuildFrame(1, 3, {2, 0, 0, 0, 0, 0, 0}));

    f.kind = sim::Fault::Flood;
    f.count = 3000;
    sim_.InjectFault(f);
    master_.Send(BuildFrame(1, 3, kRead));
    EXPECT_EQ(master_.ReceiveUntilQuiet(0.3).size(), 3000u);
    // And the slave is still there afterwards.
    EXPECT_EQ(master_.Ask(1, 3, kRead, 7).size(), 7u);
}

TEST_F(SimBus, PacingTakesTheLinesByteTime)
{
    sim_.SetPacing(true);
    ASSERT_TRUE(master_.Open(sim_.LinkPath(), 9600, 2));
    double start = Now();
    Bytes reply = master_.Ask(1, 3, {0, 0, 0, 125}, 255);
    double took = Now() - start;
    EXPECT_EQ(reply.size(), 255u);
    // 255 characters of 11 bits at 9600 bit/s.
    EXPECT_GE(took, 255 * 11.0 / 9600 * 0.95);
}

} // namespace
