// Cost of recording one transaction into the capture ring, with the capture
// off and on, beside a reference loop doing the engine's own work on the same
// frames without any I/O: the request checksum, the reply check and taking
// the reply data out. The three loops run interleaved, several rounds each,
// and the best round of each is printed. Then the real engine against the
// simulator on a pty, with the capture off and on, in alternating rounds:
// CPU time of the engine's thread per transaction. Prints figures; judging
// them is left to the reader.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "modbus/capture.h"
#include "modbus/codec.h"
#include "modbus/serial_link.h"
#include "platform/system.h"
#include "sim/sim.h"

namespace {

using namespace modbus;

using Clock = std::chrono::steady_clock;

const Bytes kRequest = BuildFrame(1, 3, {0, 0, 0, 10});
// 10 registers: the reply of the engine's own benchmark.
const Bytes kReply =
    BuildFrame(1, 3, {20, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0, 9, 0, 10});
const serial::LineSettings kLine = {1, 115200, serial::Parity::Even};
constexpr int kTransactions = 2'000'000;
constexpr int kRounds = 7;

volatile uint32_t sink;

// What the engine does to a transaction besides the I/O.
uint32_t EngineWork(uint8_t* data_out)
{
    uint32_t crc = Crc16Value(kRequest.data(), kRequest.size() - 2);
    bool good = CrcMatches(kReply.data(), kReply.size());
    std::memcpy(data_out, kReply.data() + 2, kReply.size() - 4);
    return crc + good + data_out[3];
}

double NsPerTransaction(bool capture)
{
    uint8_t data[kMaxFrame];
    uint32_t acc = 0;
    auto t0 = Clock::now();
    for (int i = 0; i < kTransactions; ++i) {
        acc += EngineWork(data);
        if (capture)
            modbus::CaptureTransaction(kRequest, kReply, kLine, 1.0f, i, i + 1000, 0);
    }
    auto t1 = Clock::now();
    sink = acc;
    return std::chrono::duration<double, std::nano>(t1 - t0).count() / kTransactions;
}

// CPU time of the calling thread only: the simulator serves on another one.
double ThreadCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct EngineFigures {
    long transactions = 0;
    double cpu_s = 0, wall_s = 0;
};

// 10-register reads for `seconds`, added to *f.
void EngineReads(double seconds, EngineFigures* f)
{
    Bytes data;
    double t0 = sys::MonotonicSeconds(), c0 = ThreadCpuSeconds();
    while (sys::MonotonicSeconds() - t0 < seconds) {
        if (OpenPort({1, 115200, serial::Parity::Even}) != 0 ||
            Transact(1, 3, {0, 0, 0, 10}, &data, {21}, 1.0f) != 0)
            break;
        ++f->transactions;
    }
    f->wall_s += sys::MonotonicSeconds() - t0;
    f->cpu_s += ThreadCpuSeconds() - c0;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The real engine, capture off and on; returns false when the simulator
// cannot run here.
bool EngineWithCapture(double* off_us, double* on_us)
{
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("regscope-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    sim::Simulator simulator;
    sim::Options options;
    options.folder = dir.string();
    std::string error;
    if (!simulator.Start(options, &error)) {
        std::printf("simulator not available: %s\n", error.c_str());
        fs::remove_all(dir);
        return false;
    }
    simulator.AddGenericSlave(1);
    SetPortFolder(dir.string());
    // Many short alternating rounds and the median of each side: other work
    // on the machine comes and goes, and should weigh on both alike.
    constexpr int kEngineRounds = 15;
    EngineFigures warm, off, on;
    EngineReads(0.3, &warm);
    std::vector<double> off_rounds, on_rounds;
    for (int r = 0; r < kEngineRounds; ++r) {
        for (bool capture : {false, true}) {
            EngineFigures round;
            SetCaptureEnabled(capture);
            EngineReads(0.25, &round);
            (capture ? on_rounds : off_rounds)
                .push_back(round.cpu_s / double(std::max(1L, round.transactions)) * 1e6);
            EngineFigures& sum = capture ? on : off;
            sum.transactions += round.transactions;
            sum.wall_s += round.wall_s;
            sum.cpu_s += round.cpu_s;
        }
    }
    SetCaptureEnabled(false);
    ClosePort();
    simulator.Stop();
    fs::remove_all(dir);
    *off_us = Median(off_rounds);
    *on_us = Median(on_rounds);
    std::printf("\nThe engine against the simulator (unpaced, 115200 bit/s), median of %d "
                "alternating rounds:\n",
                kEngineRounds);
    std::printf("  %-30s %8.1f us CPU per transaction  %7.1f transactions/s\n", "capture off",
                *off_us, off.transactions / off.wall_s);
    std::printf("  %-30s %8.1f us CPU per transaction  %7.1f transactions/s\n", "capture on",
                *on_us, on.transactions / on.wall_s);
    return true;
}

} // namespace

int main()
{
    double reference = 1e30, off = 1e30, on = 1e30;
    for (int r = 0; r < kRounds; ++r) {
        reference = std::min(reference, NsPerTransaction(false));
        modbus::SetCaptureEnabled(false);
        off = std::min(off, NsPerTransaction(true));
        modbus::SetCaptureEnabled(true);
        on = std::min(on, NsPerTransaction(true));
        modbus::SetCaptureEnabled(false);
    }
    // Wire time of this read: 8 + 25 bytes of 11 bits.
    const double wire_ns = 33 * 11 / 115200.0 * 1e9;
    std::printf("Capture of one 10-register read, best of %d rounds of %d transactions\n", kRounds,
                kTransactions);
    std::printf("  %-30s %8.1f ns per transaction\n", "reference (engine work, no I/O)", reference);
    const char* row = "  %-30s %8.1f ns per transaction  ratio %.3f\n";
    std::printf(row, "with capture off", off, off / reference);
    std::printf(row, "with capture on", on, on / reference);
    std::printf("  capture on adds %.1f ns, %.5f %% of the %.0f us the frames take on the wire at "
                "115200 bit/s\n",
                on - reference, (on - reference) / wire_ns * 100, wire_ns / 1000);
    std::printf("  ring of %zu transactions: %.1f MB\n", modbus::kDefaultCaptureCapacity,
                double(modbus::kDefaultCaptureCapacity * sizeof(modbus::Transaction)) / 1e6);

    double engine_off_us = 0, engine_on_us = 0;
    if (!EngineWithCapture(&engine_off_us, &engine_on_us))
        return 0;
    // The engine cannot be built without its capture calls in the same run;
    // what they cost while off is measured above (off - reference), and is
    // set against the engine's whole CPU time per transaction here.
    double closed = (engine_off_us * 1000 + (off - reference)) / (engine_off_us * 1000);
    std::printf("  monitor closed: %.5f = 1 + (%.1f ns of idle capture calls) / %.1f us\n", closed,
                off - reference, engine_off_us);
    std::printf("  monitor open:   %.4f (capture on / capture off, CPU per transaction); "
                "against the engine without capture %.4f\n",
                engine_on_us / engine_off_us, engine_on_us / engine_off_us * closed);
    return 0;
}
