// The simulator over a real pty, seen from a master that moves raw bytes.
#include "sim_fixture.h"

#include <thread>

namespace {

TEST_F(SimBus, AnswersEachFunctionFromTheSlaveTables)
{
    bank_->SetHolding(100, 0x0102);
    bank_->SetInput(0, 7);
    bank_->SetCoil(3, true);
    bank_->SetDiscreteInput(8, true);
    EXPECT_EQ(master_.Ask(1, 3, {0, 100, 0, 1}, 7), BuildFrame(1, 3, {2, 1, 2}));
    EXPECT_EQ(master_.Ask(1, 4, {0, 0, 0, 1}, 7), BuildFrame(1, 4, {2, 0, 7}));
    EXPECT_EQ(master_.Ask(1, 1, {0, 0, 0, 4}, 6), BuildFrame(1, 1, {1, 0x08}));
    EXPECT_EQ(master_.Ask(1, 2, {0, 0, 0, 9}, 7), BuildFrame(1, 2, {2, 0, 1}));

    EXPECT_EQ(master_.Ask(1, 5, {0, 9, 0xFF, 0}, 8), BuildFrame(1, 5, {0, 9, 0xFF, 0}));
    EXPECT_TRUE(bank_->Coil(9));
    EXPECT_EQ(master_.Ask(1, 6, {0, 5, 0x12, 0x34}, 8), BuildFrame(1, 6, {0, 5, 0x12, 0x34}));
    EXPECT_EQ(bank_->Holding(5), 0x1234);
    EXPECT_EQ(master_.Ask(1, 15, {0, 40, 0, 3, 1, 0x05}, 8), BuildFrame(1, 15, {0, 40, 0, 3}));
    EXPECT_TRUE(bank_->Coil(40));
    EXPECT_FALSE(bank_->Coil(41));
    EXPECT_TRUE(bank_->Coil(42));
    EXPECT_EQ(master_.Ask(1, 16, {0, 200, 0, 2, 4, 0, 1, 0, 2}, 8), BuildFrame(1, 16, {0, 200, 0, 2}));
    EXPECT_EQ(bank_->Holding(201), 2);
    EXPECT_EQ(master_.Ask(1, 23, {0, 200, 0, 2, 0, 201, 0, 1, 2, 0, 9}, 9),
              BuildFrame(1, 23, {4, 0, 1, 0, 9}));
    EXPECT_EQ(master_.Ask(1, 17, {}, 27).size(), 27u);
}

TEST_F(SimBus, ExceptionsForUnknownFunctionRangeAndQuantity)
{
    // Function 43 has no fixed length: the slave answers after the silence.
    EXPECT_EQ(master_.Ask(1, 43, {14, 1, 0}, 5), BuildFrame(1, 0xAB, {1}));
    EXPECT_EQ(master_.Ask(1, 3, {0xFF, 0xFF, 0, 2}, 5), BuildFrame(1, 0x83, {2}));
    EXPECT_EQ(master_.Ask(1, 3, {0, 0, 0, 126}, 5), BuildFrame(1, 0x83, {3}));
}

TEST_F(SimBus, IgnoresBadChecksumsAndOtherAddressesButStaysInStep)
{
    Bytes bad = BuildFrame(1, 3, {0, 0, 0, 1});
    bad.back() ^= 1;
    master_.Send(bad);
    EXPECT_TRUE(master_.ReceiveUntilQuiet(0.1).empty());
    EXPECT_TRUE(master_.Ask(2, 3, {0, 0, 0, 1}, 7, 0.2).empty());
    // A truncated frame is followed by silence, then by a good one.
    Bytes cut = BuildFrame(1, 16, {0, 0, 0, 2, 4, 0, 1, 0, 2});
    cut.resize(6);
    master_.Send(cut);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(master_.Ask(1, 6, {0, 1, 0, 1}, 8), BuildFrame(1, 6, {0, 1, 0, 1}));

    auto frames = sim_.Frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_FALSE(frames[0].crc_ok);
    EXPECT_TRUE(frames[1].crc_ok);
    EXPECT_FALSE(frames[2].crc_ok);
    EXPECT_EQ(frames[2].bytes, cut);
    EXPECT_TRUE(frames[3].crc_ok);
}

TEST_F(SimBus, FrameWrittenInTwoPartsIsStillOneRequest)
{
    Bytes frame = BuildFrame(1, 16, {0, 7, 0, 1, 2, 0xBE, 0xEF});
    master_.Send(Bytes(frame.begin(), frame.begin() + 5));
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    master_.Send(Bytes(frame.begin() + 5, frame.end()));
    EXPECT_EQ(master_.Receive(8, 2.0), BuildFrame(1, 16, {0, 7, 0, 1}));
    EXPECT_EQ(bank_->Holding(7), 0xBEEF);
}

TEST_F(SimBus, BroadcastWriteActsOnEverySlaveWithoutReply)
{
    auto other = sim_.AddGenericSlave(9);
    master_.Send(BuildFrame(0, 6, {0, 4, 0, 99}));
    ASSERT_TRUE(sim_.WaitForFrames(1, 2.0));
    EXPECT_TRUE(master_.ReceiveUntilQuiet(0.15).empty());
    EXPECT_EQ(bank_->Holding(4), 99);
    EXPECT_EQ(other->Holding(4), 99);
    EXPECT_EQ(sim_.RepliesSent(), 0u);
}

TEST_F(SimBus, RecordKeepsTheLineSettingsOfEachFrame)
{
    struct Case {
        unsigned baud;
        int parity;
    };
    const Case cases[] = {{19200, 2}, {9600, 0}, {12345, 1}, {1000000, 3}};
    for (const Case& c : cases) {
        ASSERT_TRUE(master_.Open(sim_.LinkPath(), c.baud, c.parity));
        master_.Ask(1, 3, {0, 0, 0, 1}, 7);
    }
    auto frames = sim_.Frames();
    ASSERT_EQ(frames.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(frames[i].line.baud, cases[i].baud) << i;
        EXPECT_EQ(frames[i].line.parity_code, cases[i].parity) << i;
        EXPECT_EQ(frames[i].line.stop_bits, cases[i].parity == 0 ? 2 : 1) << i;
        EXPECT_EQ(frames[i].bytes, BuildFrame(1, 3, {0, 0, 0, 1}));
    }
    EXPECT_LT(frames[0].time_s, frames[3].time_s);
}

TEST_F(SimBus, ConfigModuleAnswersOnlyAt9600Even)
{
    sim_.SetModuleConfig({17, 38400, 1, 500});
    sim_.EnableConfigModule(true);
    EXPECT_TRUE(master_.Ask(248, 109, {}, 12, 0.2).empty()) << "19200 bit/s";
    ASSERT_TRUE(master_.Open(sim_.LinkPath(), 9600, 1));
    EXPECT_TRUE(master_.Ask(248, 109, {}, 12, 0.2).empty()) << "odd parity";
    ASSERT_TRUE(master_.Open(sim_.LinkPath(), 9600, 2));
    EXPECT_EQ(master_.Ask(248, 109, {}, 12), BuildFrame(248, 109, {17, 0, 0, 0x96, 0, 1, 0x01, 0xF4}));
    EXPECT_EQ(master_.Ask(248, 110, {3, 0, 0, 0x4B, 0, 2, 0, 0}, 4), BuildFrame(248, 110, {}));
    EXPECT_EQ(sim_.GetModuleConfig().address, 3);
    EXPECT_EQ(sim_.GetModuleConfig().baud, 19200u);
    sim_.EnableConfigModule(false);
    EXPECT_TRUE(master_.Ask(248, 109, {}, 12, 0.2).empty()) << "switched off";
}

TEST_F(SimBus, ReplyReachesAMasterThatReopensThePortEachTime)
{
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(master_.Open(sim_.LinkPath(), 9600, 2));
        master_.Send(BuildFrame(1, 6, {0, 0, 0, static_cast<uint8_t>(i)}));
        EXPECT_EQ(master_.Receive(8, 2.0), BuildFrame(1, 6, {0, 0, 0, static_cast<uint8_t>(i)}));
        master_.Close();
    }
}

TEST(SimLink, LinkIsMadeInTheFolderAndRemovedOnStop)
{
    char dir[] = "/tmp/regscope-sim-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string link = std::string(dir) + "/COM2";
    {
        sim::Simulator s;
        sim::Options o;
        o.folder = dir;
        o.port = 2;
        std::string error;
        ASSERT_TRUE(s.Start(o, &error)) << error;
        EXPECT_EQ(s.LinkPath(), link);
        char target[256] = {};
        ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(s.DevicePath(), target);
    }
    EXPECT_NE(access(link.c_str(), F_OK), 0) << "link left behind";

    // A file of the same name is not the simulator's to replace.
    FILE* f = fopen(link.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    sim::Simulator s;
    sim::Options o;
    o.folder = dir;
    o.port = 2;
    std::string error;
    EXPECT_FALSE(s.Start(o, &error));
    EXPECT_FALSE(error.empty());
    unlink(link.c_str());
    rmdir(dir);
}

} // namespace
