// Switching tools in the desktop program (wx backend, under an X server):
// how long the user waits from the menu command until the window shows the
// new form, painted. The reference, in the same run, is a switch to the
// Configure module, the lightest form. Prints figures; never fails on a time.
// Usage: tool_switch_bench [rounds].
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/frame.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#ifdef __WXGTK__
#include <gdk/gdk.h>
#endif

#include "app/command_ids.h"
#include "bench/auto_read_setup.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wx/wx_backend.h"

namespace {

int rounds = 20;

// The window as the user sees it: every message handled, every invalid
// part painted, and the display done with what it was sent.
void UntilShown()
{
    ui::ProcessPendingMessages();
    if (wxb::Frame())
        wxb::Frame()->Update();
#ifdef __WXGTK__
    gdk_display_sync(gdk_display_get_default());
#endif
}

// The program's own CPU time (the X server's is not in it): on a machine
// busy with other work the wall clock tells more about the others.
struct Cost {
    double wall_s, cpu_s;
};

// Not inlined, so that a profiler can be told to count this alone
// (valgrind --toggle-collect).
[[gnu::noinline]] Cost Switch(int command)
{
    const double t0 = sys::MonotonicSeconds(), c0 = bench::ThreadCpuSeconds();
    wxb::MenuCommand(command);
    UntilShown();
    return {sys::MonotonicSeconds() - t0, bench::ThreadCpuSeconds() - c0};
}

struct Figures {
    double median_ms = 0, max_ms = 0, cpu_median_ms = 0;
};

Figures Of(const std::vector<Cost>& costs)
{
    std::vector<double> wall, cpu;
    for (const Cost& c : costs) {
        wall.push_back(c.wall_s * 1000);
        cpu.push_back(c.cpu_s * 1000);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], wall.back(), cpu[cpu.size() / 2]};
}

void Measure()
{
    using namespace app::cmd;
    // Warm-up: fonts, themes and caches are loaded by the first switches.
    // The first opening of the Analyzer is the only one that builds its form.
    const Cost first = Switch(kAnalyzer);
    for (int tool : {kTestFunction, kConfigureModule})
        Switch(tool);
    std::vector<Cost> light, to_analyzer, from_analyzer;
    for (int i = 0; i < rounds; ++i) {
        Switch(kTestFunction);
        light.push_back(Switch(kConfigureModule));
        to_analyzer.push_back(Switch(kAnalyzer));
        from_analyzer.push_back(Switch(kTestFunction));
    }
    const Figures ref = Of(light), in = Of(to_analyzer), out = Of(from_analyzer);
    std::printf("reference, to the Configure module: median %.1f ms (CPU %.1f ms), max %.1f ms "
                "(%d rounds)\n",
                ref.median_ms, ref.cpu_median_ms, ref.max_ms, rounds);
    std::printf("to the Analyzer: median %.1f ms (CPU %.1f ms), max %.1f ms; ratio %.2f to the "
                "reference\n",
                in.median_ms, in.cpu_median_ms, in.max_ms, in.median_ms / ref.median_ms);
    std::printf("first opening of the Analyzer: %.1f ms (CPU %.1f ms); ratio %.2f\n",
                first.wall_s * 1000, first.cpu_s * 1000, first.wall_s * 1000 / ref.median_ms);
    std::printf("from the Analyzer to Test function: median %.1f ms (CPU %.1f ms), max %.1f ms; "
                "ratio %.2f\n",
                out.median_ms, out.cpu_median_ms, out.max_ms, out.median_ms / ref.median_ms);
    ui::CloseMainWindow();
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    if (argc > 1)
        rounds = std::max(1, std::atoi(argv[1]));
    int wx_argc = 1;
    if (!ui::Initialize(wx_argc, argv)) {
        std::printf("no display: run under xvfb-run\n");
        return 0;
    }
    const std::string folder =
        (fs::temp_directory_path() / ("regscope-switch-" + std::to_string(getpid()))).string();
    // The new folder's files are made with their defaults, which the
    // program says in a box: answered from the box's own loop.
    wxTheApp->CallAfter([] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* box = dynamic_cast<wxDialog*>(w); box && box->IsModal())
                box->EndModal(wxID_OK);
    });
    bench::PrepareFolder(folder, 1.0);
    if (!bench::StartProgram())
        return 1;
    wxTheApp->CallAfter([] {
        UntilShown();
        Measure();
    });
    ui::RunMainWindow();
    if (chdir("/") == 0)
        fs::remove_all(folder);
    return 0;
}
