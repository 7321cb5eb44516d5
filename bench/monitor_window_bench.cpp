// The communication monitor's window on the desktop backend while the engine
// reads from the simulator (unpaced) at about 1000 frames a second, and flat
// out: whether the list keeps up, how often it is refreshed and repainted,
// what a refresh costs, and how many transactions a second the engine makes
// with the monitor closed and open. Needs a display (run under xvfb-run).
// Prints figures; judging them is left to the reader.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <time.h>
#include <unistd.h>

#include "modbus/capture.h"
#include "modbus/serial_link.h"
#include "monitor/monitor_window.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wx/wx_backend.h"
#include "sim/sim.h"

namespace {

namespace fs = std::filesystem;

const modbus::Bytes kReadTen = {0, 0, 0, 10};
constexpr int kTickMs = 10;

struct Phase {
    const char* name;
    bool monitor_open;
    int per_second; // transactions a second, caught up at each tick; 0: as many as fit
    double seconds;
};

// Closed and open alternate, so that a machine busy with other work weighs
// on both alike.
const Phase kPhases[] = {
    {"warm-up", false, 0, 0.5},
    {"flat out, monitor closed", false, 0, 1.0},
    {"flat out, monitor open", true, 0, 1.0},
    {"flat out, monitor closed", false, 0, 1.0},
    {"flat out, monitor open", true, 0, 1.0},
    {"flat out, monitor closed", false, 0, 1.0},
    {"flat out, monitor open", true, 0, 1.0},
    {"500 transactions/s (1000 frames/s), monitor open", true, 500, 5.0},
};

// CPU time of this thread, the one of the window and the engine (the
// simulator serves on another).
double ThreadCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Sums over the flat-out phases: [0] closed, [1] open.
struct Totals {
    long transactions = 0;
    double wall_s = 0, cpu_s = 0;
};
Totals totals[2];

struct Run {
    size_t phase = 0;
    double phase_start = 0;
    double cpu_start = 0;
    long transactions = 0;
    long refreshes = 0;
    double refresh_s = 0, refresh_max_s = 0;
    long paints_at_start = 0;
    size_t lines_at_start = 0;
    uint64_t sequence_at_start = 0;
    int failures = 0;
};

Run run;

int Window() { return monitor::MonitorWindowHandle(); }

void StartPhase()
{
    const Phase& p = kPhases[run.phase];
    if (p.monitor_open)
        monitor::OpenMonitor();
    else
        monitor::CloseMonitor();
    run.transactions = 0;
    run.refreshes = 0;
    run.refresh_s = run.refresh_max_s = 0;
    run.paints_at_start = wxb::LineWindowPaints(Window());
    run.lines_at_start = ui::LineCount(Window());
    run.sequence_at_start = modbus::CaptureNextSequence();
    run.phase_start = sys::MonotonicSeconds();
    run.cpu_start = ThreadCpuSeconds();
}

void EndPhase()
{
    const Phase& p = kPhases[run.phase];
    double wall = sys::MonotonicSeconds() - run.phase_start;
    double cpu = ThreadCpuSeconds() - run.cpu_start;
    if (run.phase == 0)
        return;
    if (p.per_second == 0) {
        Totals& t = totals[p.monitor_open ? 1 : 0];
        t.transactions += run.transactions;
        t.wall_s += wall;
        t.cpu_s += cpu;
    }
    std::printf("  %-50s %7.1f transactions/s, %6.1f us CPU each", p.name, run.transactions / wall,
                cpu / double(std::max(1L, run.transactions)) * 1e6);
    if (p.monitor_open) {
        // Lines the refresh has not taken yet: the window's lag at the end.
        // Frames recorded in this phase that the list does not show yet (the
        // settings line at the start of a phase not counted).
        long frames = 2 * long(modbus::CaptureNextSequence() - run.sequence_at_start);
        long shown = long(ui::LineCount(Window()) - run.lines_at_start);
        long paints = wxb::LineWindowPaints(Window()) - run.paints_at_start;
        std::printf("\n      %5.1f refreshes/s, %5.1f repaints/s, refresh %.3f ms mean, %.3f ms "
                    "max; at the end %ld of %ld frames not yet listed",
                    run.refreshes / wall, paints / wall,
                    run.refreshes ? run.refresh_s / run.refreshes * 1e3 : 0.0,
                    run.refresh_max_s * 1e3, std::max(0L, frames - shown), frames);
    }
    std::printf("\n");
}

void OnTimer()
{
    if (run.phase >= std::size(kPhases))
        return;
    const Phase& p = kPhases[run.phase];
    double now = sys::MonotonicSeconds();
    double tick_end = now + kTickMs * 0.8e-3;
    long due = long((now - run.phase_start) * p.per_second);
    modbus::Bytes data;
    while (sys::MonotonicSeconds() < tick_end && (p.per_second == 0 || run.transactions < due)) {
        if (modbus::OpenPort({1, 115200, serial::Parity::Even}) != 0 ||
            modbus::Transact(1, 3, kReadTen, &data, {21}, 1.0f) != 0) {
            ++run.failures;
            break;
        }
        ++run.transactions;
    }
    if (sys::MonotonicSeconds() - run.phase_start < p.seconds)
        return;
    EndPhase();
    if (++run.phase < std::size(kPhases)) {
        StartPhase();
        return;
    }
    std::printf("  failed transactions: %d\n", run.failures);
    if (totals[0].transactions && totals[1].transactions) {
        double closed = totals[0].cpu_s / double(totals[0].transactions);
        double open = totals[1].cpu_s / double(totals[1].transactions);
        std::printf("  flat out, all rounds: closed %.1f us, open %.1f us CPU per transaction "
                    "(ratio %.3f); %.1f vs %.1f transactions/s (ratio %.3f)\n",
                    closed * 1e6, open * 1e6, open / closed,
                    totals[0].transactions / totals[0].wall_s,
                    totals[1].transactions / totals[1].wall_s,
                    (totals[1].transactions / totals[1].wall_s) /
                        (totals[0].transactions / totals[0].wall_s));
    }
    monitor::CloseMonitor();
    ui::CloseMainWindow();
}

void OnRefresh(int window)
{
    double t0 = sys::MonotonicSeconds();
    monitor::OnLineWindowRefresh(window);
    double t = sys::MonotonicSeconds() - t0;
    ++run.refreshes;
    run.refresh_s += t;
    run.refresh_max_s = std::max(run.refresh_max_s, t);
}

} // namespace

int main(int argc, char** argv)
{
    if (!ui::Initialize(argc, argv)) {
        std::printf("no display: run under xvfb-run\n");
        return 0;
    }
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

    ui::EventSink sink;
    sink.on_timer = OnTimer;
    sink.on_window_command = monitor::OnLineWindowCommand;
    sink.on_window_refresh = OnRefresh;
    sink.on_window_closed = monitor::OnLineWindowClosed;
    sink.on_init = [] {
        StartPhase();
        ui::StartTimer(kTickMs);
    };
    ui::SetEventSink(sink);
    std::printf("10-register reads at 115200 bit/s from the simulator (unpaced), from a %d ms "
                "timer:\n",
                kTickMs);
    ui::CreateMainWindow("RegScope", 0, 0, 400, 280, {}, {});
    ui::RunMainWindow();
    modbus::ClosePort();
    simulator.Stop();
    fs::remove_all(dir);
    return 0;
}
