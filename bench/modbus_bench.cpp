// Throughput and CPU cost of the transaction engine against the simulator on
// a pty: beside a libmodbus master doing the same reads, against the wire
// limit at paced line rates, and while waiting for a slave that never
// answers. Prints figures; judging them is left to the reader.
//
// With --syscalls it reads a fixed number of times with each master between
// marks that a system-call trace shows; bench/engine_syscalls.sh runs it
// under strace and counts the reading thread's calls per transaction.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <modbus.h>
#include <string>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "modbus/serial_link.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "sim/sim.h"

namespace {

namespace fs = std::filesystem;

// CPU time of the calling thread only: the simulator serves on another one.
double ThreadCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Times this thread gave up the processor: each wait that blocked is one,
// and on a loaded machine they cost more CPU than the rest.
double ThreadSwitches()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_nvcsw);
}

struct Figures {
    int transactions = 0;
    double wall_s = 0, cpu_s = 0, switches = 0;
    void Print(const char* what) const
    {
        std::printf("  %-34s %8.1f transactions/s  %7.1f us CPU per transaction\n", what,
                    transactions / wall_s, cpu_s / transactions * 1e6);
    }
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Rounds that alternate the two masters, so that both see the same load.
constexpr int kRounds = 7;
constexpr double kRoundSeconds = 0.5;

const modbus::Bytes kReadTen = {0, 0, 0, 10}; // 10 registers from address 0
constexpr unsigned kRequestBytes = 8, kReplyBytes = 25;

Figures EngineReads(int baud, double seconds)
{
    Figures f;
    if (modbus::OpenPort({1, baud, serial::Parity::Even}) != 0)
        return f;
    modbus::Bytes data;
    double t0 = sys::MonotonicSeconds(), c0 = ThreadCpuSeconds(), s0 = ThreadSwitches();
    while (sys::MonotonicSeconds() - t0 < seconds) {
        if (modbus::Transact(1, 3, kReadTen, &data, {21}, 1.0f) != 0)
            break;
        ++f.transactions;
    }
    f.wall_s = sys::MonotonicSeconds() - t0;
    f.cpu_s = ThreadCpuSeconds() - c0;
    f.switches = ThreadSwitches() - s0;
    modbus::ClosePort();
    return f;
}

// 8N2 has the eleven bits a character of the engine's 8E1. A pty keeps no
// parity bit, and this libmodbus refuses a line that does not keep what it
// set.
modbus_t* ConnectLibmodbus(const std::string& device, int baud)
{
    modbus_t* ctx = modbus_new_rtu(device.c_str(), baud, 'N', 8, 2);
    if (!ctx || modbus_set_slave(ctx, 1) != 0 || modbus_connect(ctx) != 0) {
        std::printf("  libmodbus master could not connect to %s: %s\n", device.c_str(),
                    modbus_strerror(errno));
        if (ctx)
            modbus_free(ctx);
        return nullptr;
    }
    return ctx;
}

Figures LibmodbusReads(const std::string& device, int baud, double seconds)
{
    Figures f;
    modbus_t* ctx = ConnectLibmodbus(device, baud);
    if (!ctx)
        return f;
    uint16_t regs[10];
    double t0 = sys::MonotonicSeconds(), c0 = ThreadCpuSeconds(), s0 = ThreadSwitches();
    while (sys::MonotonicSeconds() - t0 < seconds) {
        if (modbus_read_registers(ctx, 0, 10, regs) != 10)
            break;
        ++f.transactions;
    }
    f.wall_s = sys::MonotonicSeconds() - t0;
    f.cpu_s = ThreadCpuSeconds() - c0;
    f.switches = ThreadSwitches() - s0;
    modbus_close(ctx);
    modbus_free(ctx);
    return f;
}

// A call the trace shows with its text, that neither master makes.
void Mark(const std::string& text) { access(("/regscope-mark/" + text).c_str(), F_OK); }

constexpr int kCountedReads = 50;

// The port opened and one read made before the mark: the calls of a
// transaction on an open line are what is counted.
void CountedReads(const std::string& device)
{
    for (int baud : {9600, 115200}) {
        modbus::Bytes data;
        if (modbus::OpenPort({1, baud, serial::Parity::Even}) != 0 ||
            modbus::Transact(1, 3, kReadTen, &data, {21}, 1.0f) != 0)
            return;
        Mark("begin this engine at " + std::to_string(baud) + " bit/s");
        for (int i = 0; i < kCountedReads; ++i)
            modbus::Transact(1, 3, kReadTen, &data, {21}, 1.0f);
        Mark("end");
        modbus::ClosePort();

        modbus_t* ctx = ConnectLibmodbus(device, baud);
        if (!ctx)
            return;
        uint16_t regs[10];
        modbus_read_registers(ctx, 0, 10, regs);
        Mark("begin libmodbus at " + std::to_string(baud) + " bit/s");
        for (int i = 0; i < kCountedReads; ++i)
            modbus_read_registers(ctx, 0, 10, regs);
        Mark("end");
        modbus_close(ctx);
        modbus_free(ctx);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const bool count_calls = argc > 1 && std::string(argv[1]) == "--syscalls";
    headless::Reset();
    fs::path dir = fs::temp_directory_path() / ("regscope-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    sim::Simulator simulator;
    sim::Options options;
    options.folder = dir.string();
    std::string error;
    if (!simulator.Start(options, &error)) {
        std::printf("simulator not available: %s\n", error.c_str());
        return 0;
    }
    simulator.AddGenericSlave(1);
    modbus::SetPortFolder(dir.string());
    if (count_calls) {
        simulator.SetPacing(true);
        std::printf("reads between marks: %d\n", kCountedReads);
        CountedReads(simulator.LinkPath());
        simulator.Stop();
        fs::remove_all(dir);
        return 0;
    }

    std::printf("10-register reads, simulator unpaced, 115200 bit/s even parity:\n");
    EngineReads(115200, 0.2); // warm-up
    EngineReads(115200, 2.0).Print("this engine");
    LibmodbusReads(simulator.LinkPath(), 115200, 2.0).Print("libmodbus master");
    std::printf("  (this engine keeps the line quiet 40 bit times after each good reply)\n");

    // A pty moves the request at once; only the simulator's reply takes its
    // line time. Hence two limits: the whole wire (request, reply and the
    // quiet time) and what a pty allows (reply and quiet time). libmodbus,
    // which keeps no quiet time, shows what the simulator's pacing allows.
    std::printf("\nPaced at the line's byte time (11 bits a character), medians of %d "
                "alternating rounds:\n",
                kRounds);
    simulator.SetPacing(true);
    for (int baud : {9600, 19200, 38400, 57600, 115200}) {
        std::vector<double> rate, lib_rate, wall_ratio, cpu_ratio, cpu_us, lib_cpu_us, waits,
            lib_waits;
        const double reply_s = kReplyBytes * 11.0 / baud, pause_s = 40.0 / baud;
        const double wire_s = kRequestBytes * 11.0 / baud + reply_s + pause_s;
        for (int round = 0; round < kRounds; ++round) {
            const Figures f = EngineReads(baud, kRoundSeconds);
            const Figures lib = LibmodbusReads(simulator.LinkPath(), baud, kRoundSeconds);
            if (f.transactions == 0 || lib.transactions == 0)
                break;
            const double per_s = f.wall_s / f.transactions;
            const double lib_per_s = lib.wall_s / lib.transactions;
            rate.push_back(1.0 / per_s);
            lib_rate.push_back(1.0 / lib_per_s);
            // The quiet time is the protocol's and libmodbus keeps none: set
            // it aside, and the rest must cost what libmodbus's transaction
            // costs.
            wall_ratio.push_back(per_s / (lib_per_s + pause_s));
            cpu_us.push_back(f.cpu_s / f.transactions * 1e6);
            lib_cpu_us.push_back(lib.cpu_s / lib.transactions * 1e6);
            cpu_ratio.push_back(cpu_us.back() / lib_cpu_us.back());
            waits.push_back(f.switches / f.transactions);
            lib_waits.push_back(lib.switches / lib.transactions);
        }
        if (rate.empty())
            continue;
        const double achieved = Median(rate), lib_achieved = Median(lib_rate);
        std::printf("  %6d bit/s: %7.1f transactions/s; wire limit %7.1f (ratio %.3f); "
                    "pty limit %7.1f (ratio %.3f); libmodbus %7.1f of %7.1f (ratio %.3f)\n",
                    baud, achieved, 1.0 / wire_s, achieved * wire_s, 1.0 / (reply_s + pause_s),
                    achieved * (reply_s + pause_s), lib_achieved, 1.0 / reply_s,
                    lib_achieved * reply_s);
        std::printf("          wall per transaction / (libmodbus's + the 40-bit pause) %.3f; "
                    "CPU per transaction %.1f us / libmodbus's %.1f us = %.3f\n",
                    Median(wall_ratio), Median(cpu_us), Median(lib_cpu_us), Median(cpu_ratio));
        std::printf("          waits that blocked per transaction %.2f / libmodbus's %.2f\n",
                    Median(waits), Median(lib_waits));
    }
    simulator.SetPacing(false);

    std::printf("\nWaiting 1 s for a slave that never answers:\n");
    if (modbus::OpenPort({1, 115200, serial::Parity::Even}) == 0) {
        modbus::Bytes data;
        double t0 = sys::MonotonicSeconds(), c0 = ThreadCpuSeconds();
        int16_t code = modbus::Transact(99, 3, kReadTen, &data, {21}, 1.0f);
        double wall = sys::MonotonicSeconds() - t0, cpu = ThreadCpuSeconds() - c0;
        std::printf("  result %d after %.3f s, CPU %.3f ms = %.3f %% of the wait\n", code, wall,
                    cpu * 1e3, cpu / wall * 100);
    }
    simulator.Stop();
    fs::remove_all(dir);
    return 0;
}
