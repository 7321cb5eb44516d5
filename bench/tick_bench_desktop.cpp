// Auto Read in the desktop program (wx backend, under an X server), beside
// the same tick on the headless window system measured in the same run by
// tick_bench_headless: CPU per tick, the rate at a 1 ms sampling time, how
// well ElapsedTime keeps to the wall clock, and what the timer costs with
// Auto Read off. Usage: tick_bench_desktop [seconds of the ElapsedTime run].
#include <wx/app.h>
#include <wx/timer.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>

#include "app/shell.h"
#include "bench/auto_read_setup.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace {

// The next step of the benchmark, run from the main loop at its time.
class Step : public wxTimer {
public:
    std::function<void()> next;
    void Notify() override
    {
        auto now = std::move(next);
        now();
    }
};

Step* step = nullptr;

void After(double seconds, std::function<void()> then)
{
    step->next = std::move(then);
    step->StartOnce(int(seconds * 1000));
}

std::map<std::string, double> HeadlessFigures(const std::string& folder)
{
    std::map<std::string, double> figures;
    std::string command = "'" TICK_BENCH_HEADLESS "' '" + folder + "'";
    FILE* in = popen(command.c_str(), "r");
    if (!in)
        return figures;
    char name[64];
    double value;
    while (std::fscanf(in, "%63s %lf", name, &value) == 2)
        figures[name] = value;
    pclose(in);
    return figures;
}

struct Mark {
    double wall_s, cpu_s, elapsed;
    size_t replies;
};

sim::Simulator bus;
double keep_s = 60;
std::map<std::string, double> ref;

Mark Now()
{
    return {sys::MonotonicSeconds(), bench::ThreadCpuSeconds(), app::ElapsedTime,
            bus.RepliesSent()};
}

void Idle(double sample_s)
{
    bench::PressAutoRead(); // off
    Mark m0 = Now();
    After(10.0, [m0, sample_s] {
        Mark m1 = Now();
        double wall = m1.wall_s - m0.wall_s;
        double wakeups = (m1.elapsed - m0.elapsed) / sample_s;
        std::printf("timer wake-ups with Auto Read off: %.1f a second, %.3f %% CPU\n",
                    wakeups / wall, (m1.cpu_s - m0.cpu_s) / wall * 100);
        ui::CloseMainWindow();
    });
}

void KeepTime()
{
    bench::SetSampleTime(0.01);
    Mark m0 = Now();
    After(keep_s, [m0] {
        Mark m1 = Now();
        double wall = m1.wall_s - m0.wall_s, counted = m1.elapsed - m0.elapsed;
        // A tick dropped for a pass that overran its period is no drift of
        // the timer: say how many deadlines went by beside the ticks.
        std::printf("ElapsedTime at SAMPLE_TIME 0.01 over %.0f s: %.3f s counted, "
                    "%+.4f %% against the wall clock (%zu passes for %.0f deadlines)\n",
                    wall, counted, (counted - wall) / wall * 100, m1.replies - m0.replies,
                    std::floor(wall / 0.01));
        Idle(0.01);
    });
}

void Rate()
{
    bench::SetSampleTime(0.001);
    Mark m0 = Now();
    After(5.0, [m0] {
        Mark m1 = Now();
        double rate = double(m1.replies - m0.replies) / (m1.wall_s - m0.wall_s);
        double pty_limit = bench::kBaud / (25 * 11.0 + 40.0);
        std::printf("Auto Read at SAMPLE_TIME 0.001: %.1f transactions/s; ratio %.3f to the "
                    "headless ticks back to back (%.1f/s), %.3f to the engine alone (%.1f/s), "
                    "%.3f to the pty-plus-pause limit (%.1f/s)\n",
                    rate, rate / ref["headless_tick_rate"], ref["headless_tick_rate"],
                    rate / ref["engine_rate"], ref["engine_rate"], rate / pty_limit, pty_limit);
        KeepTime();
    });
}

void TickCost()
{
    bench::CountInstructions(true);
    Mark m0 = Now();
    After(10.0, [m0] {
        Mark m1 = Now();
        bench::CountInstructions(false);
        double ticks = double(m1.replies - m0.replies);
        double us = (m1.cpu_s - m0.cpu_s) / ticks * 1e6;
        std::printf("CPU per Auto Read tick (SAMPLE_TIME 0.05, %.0f ticks): %.1f us; ratio %.2f "
                    "to the headless tick (%.1f us)\n",
                    ticks, us, us / ref["headless_tick_cpu_us"], ref["headless_tick_cpu_us"]);
        Rate();
    });
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    if (argc > 1)
        keep_s = std::atof(argv[1]);
    std::string folder =
        (fs::temp_directory_path() / ("regscope-tick-" + std::to_string(getpid()))).string();
    ref = HeadlessFigures(folder);
    if (ref.empty()) {
        std::printf("the headless reference did not run\n");
        return 0;
    }
    std::printf("headless reference: tick %.1f us CPU at 20 a second (%.1f us back to back, "
                "%.1f ticks/s); engine alone %.1f transactions/s, %.1f us CPU each\n",
                ref["headless_tick_cpu_us"], ref["headless_hot_tick_cpu_us"],
                ref["headless_tick_rate"], ref["engine_rate"], ref["engine_cpu_us"]);
    int wx_argc = 1;
    if (!ui::Initialize(wx_argc, argv)) {
        std::printf("no display: run under xvfb-run\n");
        return 0;
    }
    bench::PrepareFolder(folder, 0.05);
    if (!bench::StartPacedBus(&bus) || !bench::StartProgram())
        return 1;
    step = new Step;
    wxTheApp->CallAfter([] {
        bench::OpenReadSubForm();
        bench::PressAutoRead();
        After(1.0, TickCost); // warm-up first
    });
    ui::RunMainWindow();
    delete step;
    bus.Stop();
    if (chdir("/") == 0)
        fs::remove_all(folder);
    return 0;
}
