// The simulator over a real pty, seen from a master that moves raw bytes:
// what the program's own engine cannot send, and the link's life.
#include "modbus/mbap.h"
#include "modbus/serial_link.h"
#include "sim/sim.h"
#include "sim_raw_master.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

class SimBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[] = "/tmp/regscope-sim-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder_ = dir;
        sim::Options o;
        o.folder = folder_;
        o.port = 3;
        std::string error;
        ASSERT_TRUE(sim_.Start(o, &error)) << error;
        bank_ = sim_.AddGenericSlave(1);
        ASSERT_TRUE(master_.Open(sim_.LinkPath(), 19200, 2));
    }
    void TearDown() override
    {
        master_.Close();
        sim_.Stop();
        rmdir(folder_.c_str());
    }

    std::string folder_;
    sim::Simulator sim_;
    std::shared_ptr<sim::RegisterBank> bank_;
    RawMaster master_;
};

TEST_F(SimBus, IgnoresBadChecksumsAndOtherAddressesButStaysInStep)
{
    modbus::Bytes bad = modbus::BuildFrame(1, 3, {0, 0, 0, 1});
    bad.back() ^= 1;
    master_.Send(bad);
    EXPECT_TRUE(master_.Receive(1, 0.1).empty());
    EXPECT_TRUE(master_.Ask(2, 3, {0, 0, 0, 1}, 7, 0.2).empty());
    // A truncated frame is followed by silence, then by a good one.
    modbus::Bytes cut = modbus::BuildFrame(1, 16, {0, 0, 0, 2, 4, 0, 1, 0, 2});
    cut.resize(6);
    master_.Send(cut);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(master_.Ask(1, 6, {0, 1, 0, 1}, 8), modbus::BuildFrame(1, 6, {0, 1, 0, 1}));
    // Function 43 has no fixed length: the slave answers after the silence.
    EXPECT_EQ(master_.Ask(1, 43, {14, 1, 0}, 5), modbus::BuildFrame(1, 0xAB, {1}));

    auto frames = sim_.Frames();
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_FALSE(frames[0].crc_ok);
    EXPECT_TRUE(frames[1].crc_ok);
    EXPECT_FALSE(frames[2].crc_ok);
    EXPECT_EQ(frames[2].bytes, cut);
    EXPECT_TRUE(frames[3].crc_ok);
}

TEST_F(SimBus, FrameWrittenInTwoPartsIsStillOneRequest)
{
    modbus::Bytes frame = modbus::BuildFrame(1, 16, {0, 7, 0, 1, 2, 0xBE, 0xEF});
    master_.Send(modbus::Bytes(frame.begin(), frame.begin() + 5));
    // The simulator has read the first part alone: the request is split.
    ASSERT_TRUE(sim_.WaitForBytes(5, 2.0));
    master_.Send(modbus::Bytes(frame.begin() + 5, frame.end()));
    EXPECT_EQ(master_.Receive(8, 2.0), modbus::BuildFrame(1, 16, {0, 7, 0, 1}));
    EXPECT_EQ(bank_->Holding(7), 0xBEEF);
}

// A rate without a Bxxx constant is set exactly, and two stop bits reach
// the line as the engine set them.
TEST_F(SimBus, TheEnginesLineSettingsReachThePty)
{
    master_.Close();
    modbus::SetPortFolder(folder_);
    modbus::Link link;
    ASSERT_EQ(link.Open({3, 250000, serial::Parity::NoneTwoStopBits}), modbus::kOk);
    modbus::Bytes data;
    EXPECT_EQ(link.Transact(1, 3, {0, 0, 0, 1}, &data, modbus::ExpectedReply(3, 1), 1.0f),
              modbus::kOk);
    link.Close();
    ASSERT_EQ(sim_.Frames().size(), 1u);
    EXPECT_EQ(sim_.Frames()[0].line.baud, 250000);
    EXPECT_EQ(sim_.Frames()[0].line.parity, serial::Parity::NoneTwoStopBits);
}

// A Modbus TCP header whose length the request belies leaves the stream
// out of step: the connection is closed, as a gateway does, rather than the
// next request's bytes being taken for the rest of this one.
TEST(SimTcp, AHeaderThatLiesClosesTheConnection)
{
    sim::Options o;
    o.pty = false;
    o.tcp_port = 0;
    sim::Simulator s;
    std::string error;
    ASSERT_TRUE(s.Start(o, &error)) << error;
    s.AddGenericSlave(1);
    for (int lie : {2, -1}) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(uint16_t(s.TcpPort()));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        modbus::Bytes bad = modbus::BuildMbapFrame(1, 1, 3, {0, 0, 0, 1});
        bad[5] = uint8_t(bad[5] + lie);
        const modbus::Bytes next = modbus::BuildMbapFrame(2, 1, 3, {0, 0, 0, 1});
        bad.insert(bad.end(), next.begin(), next.end());
        ASSERT_EQ(write(fd, bad.data(), bad.size()), ssize_t(bad.size()));
        timeval two_s{2, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &two_s, sizeof two_s);
        uint8_t reply[64];
        EXPECT_EQ(read(fd, reply, sizeof reply), 0) << "lie " << lie;
        close(fd);
    }
}

TEST(SimLink, LinkIsMadeInTheFolderAndRemovedOnStop)
{
    char dir[] = "/tmp/regscope-sim-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string link = std::string(dir) + "/COM2";
    sim::Options o;
    o.folder = dir;
    o.port = 2;
    std::string error;
    {
        sim::Simulator s;
        ASSERT_TRUE(s.Start(o, &error)) << error;
        char target[256] = {};
        ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(s.DevicePath(), target);
        // Programs the tests start must not hold the line open.
        int pty_fds = 0;
        for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code ec;
            std::string to = std::filesystem::read_symlink(e.path(), ec).string();
            if (to != s.DevicePath() && to.find("ptmx") == std::string::npos)
                continue;
            ++pty_fds;
            EXPECT_TRUE(fcntl(std::stoi(e.path().filename().string()), F_GETFD) & FD_CLOEXEC) << to;
        }
        EXPECT_EQ(pty_fds, 2);
    }
    EXPECT_NE(access(link.c_str(), F_OK), 0) << "link left behind";

    // A file of the same name is not the simulator's to replace.
    FILE* f = fopen(link.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    sim::Simulator s;
    EXPECT_FALSE(s.Start(o, &error));
    unlink(link.c_str());
    rmdir(dir);
}

} // namespace
