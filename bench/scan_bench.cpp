// The bus scan against the simulator paced at the line's byte time, one
// module on the bus. Printed as ratios:
//   1. a scan of 247 addresses at 19200 bit/s, even parity: its duration
//      against 247 x (request + reply on the wire + the try's wait), and,
//      as the reference measured in the same run, against the engine alone
//      making the same 247 requests with the same waits;
//   2. Stop: the time from the moment it is pressed until the scan is idle,
//      against the time of one try, over stops at several moments of a try;
//   3. the CPU of the thread that scans silent addresses, as a share of
//      one core (the simulator's thread, the device, is not counted).
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <unistd.h>

#include "modbus/function_codes.h"
#include "modbus/reply.h"
#include "modbus/serial_link.h"
#include "platform/system.h"
#include "sim/sim.h"
#include "tools/scan/scan_run.h"

namespace {

constexpr int32_t kBaud = 19200;
constexpr double kTimeout_s = 1.0;

double ThreadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

scan::Settings Settings(int from, int to)
{
    scan::Settings s;
    s.from = from;
    s.to = to;
    s.bauds = {kBaud};
    s.parities = {serial::Parity::Even};
    return s;
}

// The engine alone: the same probes on a link of its own, same waits.
double EngineAlone(const serial::LineSettings& line, const scan::Settings& s)
{
    modbus::Link link;
    const double start = sys::MonotonicSeconds();
    for (const scan::Try& t : scan::PlanTries(s, line)) {
        if (!link.IsOpen())
            link.Open(line);
        modbus::Bytes reply;
        link.Transact(t.address, modbus::kReadHoldingRegisters, {0, 0, 0, 1}, &reply,
                      modbus::ExpectedReply(modbus::kReadHoldingRegisters, 1),
                      float(scan::TryTimeout(t, s.function, kTimeout_s)));
    }
    return sys::MonotonicSeconds() - start;
}

} // namespace

int main()
{
    char folder[] = "/tmp/regscope-scan-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    sim::Simulator simulator;
    sim::Options options;
    options.folder = folder;
    options.pacing = true;
    std::string error;
    simulator.AddGenericSlave(17);
    if (!simulator.Start(options, &error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return 1;
    }
    modbus::SetPortFolder(folder);
    const serial::LineSettings line{1, kBaud, serial::Parity::Even};

    // 1. The whole scan.
    const scan::Settings all = Settings(1, 247);
    const scan::Try one{1, kBaud, serial::Parity::Even, false};
    const double wire_s =
        double(scan::RequestBytes(one, 3) + scan::ReplyBytes(one, 3)) * 11.0 / kBaud;
    const double per_try_s = wire_s + scan::TryTimeout(one, 3, kTimeout_s);
    scan::Scanner scanner;
    scanner.Begin(all, line, kTimeout_s);
    const double cpu0 = ThreadCpu();
    while (scanner.Step()) {
    }
    const double scan_s = scanner.ElapsedSeconds();
    const double scan_cpu_s = ThreadCpu() - cpu0;
    const double engine_s = EngineAlone(line, all);
    std::printf("scan of 247 addresses at %d bit/s, %zu found: %.3f s\n", kBaud,
                scanner.Findings().size(), scan_s);
    std::printf("  / 247 x (request + reply wire time + wait) = %.3f s: ratio %.3f\n",
                247 * per_try_s, scan_s / (247 * per_try_s));
    std::printf("  / the engine alone, same requests and waits = %.3f s: ratio %.3f\n", engine_s,
                scan_s / engine_s);
    std::printf("  estimate shown before the start: %.3f s (duration / estimate %.3f)\n",
                scanner.EstimatedSeconds(), scan_s / scanner.EstimatedSeconds());

    // 2. Stop at moments spread over a try: the scan is idle once the try
    // under way has ended, as the tool looks at Stop between tries.
    double worst = 0, sum = 0;
    const int stops = 12;
    for (int k = 0; k < stops; ++k) {
        scan::Scanner s;
        s.Begin(Settings(100, 247), line, kTimeout_s);
        const double pressed = sys::MonotonicSeconds() + 0.3 + per_try_s * k / stops;
        while (s.Step() && sys::MonotonicSeconds() < pressed) {
        }
        s.Finish();
        const double took = sys::MonotonicSeconds() - pressed;
        worst = std::max(worst, took);
        sum += took;
    }
    std::printf("Stop until idle over %d stops: mean %.1f ms, worst %.1f ms; one try %.1f ms: "
                "worst / one try %.2f\n",
                stops, 1e3 * sum / stops, 1e3 * worst, 1e3 * per_try_s, worst / per_try_s);

    // 3. CPU on silent addresses (the module at 17 is outside them).
    scan::Scanner silent;
    silent.Begin(Settings(100, 247), line, kTimeout_s);
    const double c0 = ThreadCpu();
    while (silent.Step()) {
    }
    const double cpu_s = ThreadCpu() - c0;
    std::printf("CPU while scanning 148 silent addresses: %.3f s of %.3f s = %.2f %% of one core "
                "(whole scan above: %.2f %%)\n",
                cpu_s, silent.ElapsedSeconds(), 100 * cpu_s / silent.ElapsedSeconds(),
                100 * scan_cpu_s / scan_s);
    simulator.Stop();
    rmdir(folder);
    return 0;
}
