// A 10-register read over Modbus TCP on loopback, against a libmodbus
// slave: wall and CPU time per transaction of the engine beside a libmodbus
// master in the same run, alternated in rounds so that both meet the same
// machine. Prints figures and ratios; judging them is left to the reader.
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <modbus.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <time.h>

#include "modbus/serial_link.h"
#include "platform/system.h"

namespace {

double ThreadCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Serves one connection after the other on a free port of 127.0.0.1.
class Slave {
public:
    Slave()
    {
        ctx_ = modbus_new_tcp("127.0.0.1", 0);
        map_ = modbus_mapping_new(0, 0, 100, 0);
        listen_ = modbus_tcp_listen(ctx_, 2);
        sockaddr_in a{};
        socklen_t len = sizeof a;
        getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] {
            uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
            while (!stop_ && modbus_tcp_accept(ctx_, &listen_) >= 0) {
                int n;
                while ((n = modbus_receive(ctx_, query)) > 0)
                    modbus_reply(ctx_, query, n, map_);
                modbus_close(ctx_);
            }
        });
    }
    ~Slave()
    {
        stop_ = true;
        shutdown(listen_, SHUT_RDWR);
        thread_.join();
        modbus_free(ctx_);
        modbus_mapping_free(map_);
    }
    int port() const { return port_; }

private:
    modbus_t* ctx_;
    modbus_mapping_t* map_;
    int listen_ = -1, port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct Figures {
    long transactions = 0;
    double wall_s = 0, cpu_s = 0;
    double WallUs() const { return wall_s / double(transactions) * 1e6; }
    double CpuUs() const { return cpu_s / double(transactions) * 1e6; }
};

template <typename Read>
void Measure(Figures* f, int count, Read read)
{
    double t0 = sys::MonotonicSeconds(), c0 = ThreadCpuSeconds();
    for (int i = 0; i < count; ++i)
        if (!read())
            return;
    f->wall_s += sys::MonotonicSeconds() - t0;
    f->cpu_s += ThreadCpuSeconds() - c0;
    f->transactions += count;
}

} // namespace

int main()
{
    Slave slave;
    modbus::Link link;
    serial::LineSettings line;
    line.SetNet("tcp://127.0.0.1:" + std::to_string(slave.port()));
    modbus_t* master = modbus_new_tcp("127.0.0.1", slave.port());
    if (link.Open(line, 1.0f) != modbus::kOk || modbus_connect(master) != 0) {
        std::fprintf(stderr, "network_bench: cannot reach the libmodbus slave\n");
        return 1;
    }
    // One connection each, kept open: libmodbus's master is served only
    // once the engine's connection is, so the slave takes turns.
    link.Close();
    modbus_close(master);

    const modbus::ReplyShape shape = modbus::ExpectedReply(3, 10);
    modbus::Bytes data;
    uint16_t registers[10];
    Figures engine, reference;
    const int kRounds = 10, kPerRound = 500;
    for (int round = 0; round < kRounds; ++round) {
        link.Open(line, 1.0f);
        Measure(&engine, kPerRound, [&] {
            return link.Transact(1, 3, {0, 0, 0, 10}, &data, shape, 1.0f) == modbus::kOk;
        });
        link.Close();
        modbus_connect(master);
        Measure(&reference, kPerRound,
                [&] { return modbus_read_registers(master, 0, 10, registers) == 10; });
        modbus_close(master);
    }
    modbus_free(master);
    if (engine.transactions == 0 || reference.transactions == 0) {
        std::fprintf(stderr, "network_bench: reads failed\n");
        return 1;
    }
    std::printf("Modbus TCP on loopback, 10-register read, %ld transactions each:\n",
                engine.transactions);
    std::printf("  RegScope engine  %7.1f us wall  %6.1f us CPU per transaction\n", engine.WallUs(),
                engine.CpuUs());
    std::printf("  libmodbus master %7.1f us wall  %6.1f us CPU per transaction\n",
                reference.WallUs(), reference.CpuUs());
    std::printf("  ratio (engine / libmodbus): wall %.3f, CPU %.3f\n",
                engine.WallUs() / reference.WallUs(), engine.CpuUs() / reference.CpuUs());
    return 0;
}
