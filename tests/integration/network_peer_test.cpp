// Independent peers, on 127.0.0.1 only: the engine against a Modbus TCP
// slave built on libmodbus, mbpoll against the simulator's pty and Modbus
// TCP port, and the engine through socat standing in for a serial device
// server in front of the simulator's pty. Each side was written without the
// other, so a frame both accept is a frame of the protocol, not of our own
// reading of it.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <modbus.h>
#include <netinet/in.h>
#include <signal.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "modbus/serial_link.h"
#include "platform/system.h"
#include "sim/sim.h"

namespace {

using modbus::Bytes;

// A libmodbus Modbus TCP slave (unit 1) on a free port of 127.0.0.1.
class LibmodbusTcpSlave {
public:
    bool Start()
    {
        ctx_ = modbus_new_tcp("127.0.0.1", 0);
        map_ = modbus_mapping_new(100, 100, 100, 100);
        if (!ctx_ || !map_)
            return false;
        listen_ = modbus_tcp_listen(ctx_, 1);
        sockaddr_in a{};
        socklen_t len = sizeof a;
        if (listen_ < 0 || getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return false;
        port_ = ntohs(a.sin_port);
        modbus_set_indication_timeout(ctx_, 0, 100000);
        thread_ = std::thread([this] {
            if (modbus_tcp_accept(ctx_, &listen_) < 0)
                return;
            uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
            while (!stop_) {
                int n = modbus_receive(ctx_, query);
                if (n > 0)
                    modbus_reply(ctx_, query, n, map_);
                else if (n < 0 && errno != ETIMEDOUT)
                    break;
            }
        });
        return true;
    }
    ~LibmodbusTcpSlave()
    {
        stop_ = true;
        if (listen_ >= 0)
            shutdown(listen_, SHUT_RDWR); // ends an accept still waiting
        if (thread_.joinable())
            thread_.join();
        if (ctx_) {
            modbus_close(ctx_);
            modbus_free(ctx_);
        }
        if (map_)
            modbus_mapping_free(map_);
    }
    int port() const { return port_; }
    modbus_mapping_t* map() { return map_; }

private:
    modbus_t* ctx_ = nullptr;
    modbus_mapping_t* map_ = nullptr;
    int listen_ = -1, port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::string Output(const std::string& command, int* status)
{
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string out;
    char line[256];
    while (pipe && fgets(line, sizeof line, pipe))
        out += line;
    *status = pipe ? pclose(pipe) : -1;
    return out;
}

bool Installed(const char* tool)
{
    int status;
    Output(std::string("command -v ") + tool, &status);
    return status == 0;
}

TEST(NetworkPeers, EveryFunctionLandsOnALibmodbusTcpSlave)
{
    LibmodbusTcpSlave slave;
    ASSERT_TRUE(slave.Start());
    modbus_mapping_t* m = slave.map();
    m->tab_bits[3] = 1;
    m->tab_input_bits[9] = 1;
    m->tab_registers[5] = 0xBEEF;
    m->tab_input_registers[7] = 0x1234;

    modbus::Link link;
    serial::LineSettings line;
    line.SetNet("tcp://127.0.0.1:" + std::to_string(slave.port()));
    ASSERT_EQ(link.Open(line, 1.0f), modbus::kOk);
    struct Case {
        uint8_t function;
        Bytes request;
        unsigned n;
        Bytes reply;
    };
    const Case cases[] = {
        {1, {0, 0, 0, 8}, 8, {1, 0x08}},
        {2, {0, 8, 0, 2}, 2, {1, 0x02}},
        {3, {0, 5, 0, 1}, 1, {2, 0xBE, 0xEF}},
        {4, {0, 7, 0, 1}, 1, {2, 0x12, 0x34}},
        {5, {0, 20, 0xFF, 0x00}, 0, {0, 20, 0xFF, 0x00}},
        {6, {0, 30, 0xAB, 0xCD}, 0, {0, 30, 0xAB, 0xCD}},
        {15, {0, 40, 0, 9, 2, 0xFF, 0x01}, 0, {0, 40, 0, 9}},
        {16, {0, 50, 0, 2, 4, 0x11, 0x22, 0x33, 0x44}, 0, {0, 50, 0, 2}},
        {23, {0, 50, 0, 2, 0, 60, 0, 1, 2, 0x55, 0x66}, 2, {4, 0x11, 0x22, 0x33, 0x44}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.function));
        Bytes data;
        ASSERT_EQ(link.Transact(1, c.function, c.request, &data,
                                modbus::ExpectedReply(c.function, c.n), 1.0f),
                  modbus::kOk);
        EXPECT_EQ(data, c.reply);
    }
    EXPECT_EQ(m->tab_bits[20], 1);
    EXPECT_EQ(m->tab_registers[30], 0xABCD);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(m->tab_bits[40 + i], 1) << i;
    EXPECT_EQ(m->tab_registers[51], 0x3344);
    EXPECT_EQ(m->tab_registers[60], 0x5566);
}

// A folder of its own for the simulator's COMn link, so that tests running
// side by side never share one.
struct LinkFolder {
    LinkFolder() : path(::testing::TempDir() + "/regscope-peer-XXXXXX")
    {
        if (!mkdtemp(path.data()))
            path = ::testing::TempDir();
    }
    ~LinkFolder() { rmdir(path.c_str()); }
    std::string path;
};

TEST(NetworkPeers, MbpollReadsTheSimulatorOverRtuAndModbusTcp)
{
    if (!Installed("mbpoll"))
        GTEST_SKIP() << "mbpoll is not installed";
    for (bool tcp : {false, true}) {
        SCOPED_TRACE(tcp ? "Modbus TCP" : "RTU");
        LinkFolder folder;
        sim::Simulator simulator;
        sim::Options options;
        options.folder = folder.path;
        options.pty = !tcp;
        options.tcp_port = tcp ? 0 : -1;
        std::string error;
        ASSERT_TRUE(simulator.Start(options, &error)) << error;
        auto bank = simulator.AddGenericSlave(7);
        const uint16_t values[] = {12, 3456, 7890, 0, 32767};
        for (int i = 0; i < 5; ++i)
            bank->SetHolding(uint16_t(100 + i), values[i]);

        // Reference 101 is register address 100 (mbpoll counts from 1).
        const std::string line =
            tcp ? "-m tcp -p " + std::to_string(simulator.TcpPort()) + " 127.0.0.1"
                : "-m rtu -b 19200 -P even -o 2 " + simulator.DevicePath();
        int status;
        const std::string out = Output("mbpoll -a 7 -t 4 -r 101 -c 5 -1 " + line, &status);
        EXPECT_EQ(status, 0) << out;
        // Lines of the form "[101]: 	12".
        std::istringstream lines(out);
        std::string text;
        int seen = 0;
        while (std::getline(lines, text)) {
            int reference, value;
            if (std::sscanf(text.c_str(), "[%d]: %d", &reference, &value) != 2)
                continue;
            ASSERT_TRUE(reference >= 101 && reference <= 105) << out;
            EXPECT_EQ(value, values[reference - 101]) << out;
            ++seen;
        }
        EXPECT_EQ(seen, 5) << out;
    }
}

// A port free a moment ago, for a program that must be told one.
int FreePort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

TEST(NetworkPeers, RtuOverTcpThroughSocatInFrontOfThePty)
{
    if (!Installed("socat"))
        GTEST_SKIP() << "socat is not installed";
    sim::Simulator simulator;
    LinkFolder folder;
    sim::Options options;
    options.folder = folder.path;
    std::string error;
    ASSERT_TRUE(simulator.Start(options, &error)) << error;
    auto bank = simulator.AddGenericSlave(3);
    bank->SetHolding(0, 4321);

    const int port = FreePort();
    const std::string listen = "TCP-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr";
    const std::string device = "FILE:" + simulator.DevicePath() + ",raw,echo=0";
    pid_t socat = fork();
    if (socat == 0) {
        execlp("socat", "socat", listen.c_str(), device.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    modbus::Link link;
    serial::LineSettings line;
    line.SetNet("rtu-tcp://127.0.0.1:" + std::to_string(port));
    // socat listens once it has started.
    modbus::ResultCode opened = modbus::kPortNotAvailable;
    for (int i = 0; i < 50 && opened != modbus::kOk; ++i) {
        sys::SleepSeconds(0.05);
        opened = link.Open(line, 1.0f);
    }
    ASSERT_EQ(opened, modbus::kOk);
    Bytes data;
    EXPECT_EQ(link.Transact(3, 3, {0, 0, 0, 1}, &data, modbus::ExpectedReply(3, 1), 1.0f),
              modbus::kOk);
    EXPECT_EQ(data, (Bytes{2, 4321 >> 8, 4321 & 0xFF}));
    EXPECT_EQ(link.Transact(3, 6, {0, 9, 0, 77}, &data, modbus::ExpectedReply(6, 0), 1.0f),
              modbus::kOk);
    EXPECT_EQ(bank->Holding(9), 77);
    link.Close();
    kill(socat, SIGTERM);
    waitpid(socat, nullptr, 0);
}

} // namespace
