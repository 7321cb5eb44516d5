// The reference for the desktop program's Auto Read: the same tick on the
// headless window system, where showing a result costs next to nothing.
// Usage: tick_bench_headless [folder]. Prints "name value" lines that
// tick_bench_desktop reads.
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "app/shell.h"
#include "bench/auto_read_setup.h"
#include "modbus/serial_link.h"
#include "platform/headless/headless.h"
#include "platform/system.h"

namespace {

struct Run {
    int ticks = 0;
    double wall_s = 0, cpu_s = 0;
};

// Ticks every period_s (0: back to back, as fast as the line lets the
// passes go). Spaced ticks find the caches as cold as the desktop program's
// timer does, so their cost is the fair reference for it.
Run Ticks(double seconds, double period_s)
{
    Run r;
    double t0 = sys::MonotonicSeconds(), c0 = bench::ThreadCpuSeconds();
    while (sys::MonotonicSeconds() - t0 < seconds && app::AutoReadActive) {
        headless::Tick();
        ++r.ticks;
        if (period_s > 0)
            sys::SleepUntil(t0 + r.ticks * period_s);
    }
    r.wall_s = sys::MonotonicSeconds() - t0;
    r.cpu_s = bench::ThreadCpuSeconds() - c0;
    return r;
}

// The engine alone, the same read back to back: what the line allows.
Run EngineReads(double seconds)
{
    Run r;
    if (modbus::OpenPort({1, bench::kBaud, serial::Parity::Even}) != 0)
        return r;
    const modbus::Bytes ten = {0, 0, 0, 10};
    modbus::Bytes data;
    double t0 = sys::MonotonicSeconds(), c0 = bench::ThreadCpuSeconds();
    while (sys::MonotonicSeconds() - t0 < seconds &&
           modbus::Transact(1, 3, ten, &data, {21}, 1.0f) == 0)
        ++r.ticks;
    r.wall_s = sys::MonotonicSeconds() - t0;
    r.cpu_s = bench::ThreadCpuSeconds() - c0;
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    bool own_folder = argc < 2;
    std::string folder =
        own_folder
            ? (fs::temp_directory_path() / ("regscope-tick-" + std::to_string(getpid()))).string()
            : argv[1];
    headless::Reset();
    bench::PrepareFolder(folder, 1.0);
    sim::Simulator bus;
    if (!bench::StartPacedBus(&bus)) {
        std::printf("no simulator: no pty\n");
        return 0;
    }
    if (!bench::StartProgram())
        return 1;
    bench::OpenReadSubForm();
    bench::PressAutoRead();
    Ticks(0.5, 0); // warm-up
    Run t = Ticks(3.0, 0);
    bench::CountInstructions(true);
    Run spaced = Ticks(5.0, 0.05);
    bench::CountInstructions(false);
    std::printf("spaced_ticks %d\n", spaced.ticks);
    bench::PressAutoRead();
    Run e = EngineReads(3.0);
    std::printf("headless_tick_cpu_us %.2f\n", spaced.cpu_s / spaced.ticks * 1e6);
    std::printf("headless_hot_tick_cpu_us %.2f\n", t.cpu_s / t.ticks * 1e6);
    std::printf("headless_tick_rate %.1f\n", t.ticks / t.wall_s);
    std::printf("engine_rate %.1f\n", e.ticks / e.wall_s);
    std::printf("engine_cpu_us %.2f\n", e.cpu_s / e.ticks * 1e6);
    bus.Stop();
    if (own_folder)
        fs::remove_all(folder);
    return 0;
}
