// What one acquisition pass costs the plot window with 32 plotted channels,
// taken through the calls the Analyzer makes (readout, 32 samples with their
// log values, end of pass with its log flush and the refresh of what
// changed) on the headless window, over 10 000 passes: cost per block of
// 1000 passes against the first block, and the memory of the process.
// The headless window keeps a record of every refresh for the tests; that
// record's own size is shown apart. Prints figures, asserts nothing.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "analyzer/channel_store.h"
#include "analyzer/channel_table.h"
#include "analyzer/plot_window.h"
#include "app/config_store.h"
#include "app/shell.h"
#include "platform/headless/headless.h"
#include "programs/parts.h"

namespace {

double CpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

double RssMiB()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

void Pass(double t)
{
    app::ElapsedTime = t;
    analyzer::PlotPassBegin(t);
    char text[32];
    for (int i = 0; i < analyzer::kChannelCount; ++i) {
        const double v = 500 + 450 * std::sin(t * 0.02 + i);
        std::snprintf(text, sizeof text, "%.1f", v);
        analyzer::PlotChannelSample(i, v, text);
    }
    analyzer::PlotPassEnd(t);
}

void Run(int width, int height, bool log)
{
    app::WriteConfigKey(app::CfgPath, "PLOT_SIZE_X", std::to_string(width));
    app::WriteConfigKey(app::CfgPath, "PLOT_SIZE_Y", std::to_string(height));
    app::WriteConfigKey(app::CfgPath, "PLOT_TIME_MAX", "10000.0");
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_ENABLE", log ? "1" : "0");
    analyzer::StartPlot();
    const auto handles = headless::ImageWindowHandles();
    const int window = handles.back();
    std::printf("%d x %d, log %s, 10 000 passes of 32 channels, per block of 1000:\n", width,
                height, log ? "on" : "off");
    double first = 0;
    for (int block = 0; block < 10; ++block) {
        const double c0 = CpuSeconds();
        for (int i = 0; i < 1000; ++i)
            Pass(block * 1000 + i);
        const double us = (CpuSeconds() - c0) / 1000 * 1e6;
        if (block == 0)
            first = us;
        const auto* w = headless::ImageWindow(window);
        const double record = double(w->refreshed.size() * sizeof(headless::PixelRect)) / 1048576.0;
        std::printf("  block %d: %7.1f us/pass (x%.2f of block 0), RSS less the headless "
                    "refresh record %7.1f MiB (record %4.1f MiB, %.1f rects/pass)\n",
                    block, us, us / first, RssMiB() - record, record,
                    double(w->refreshed.size()) / (1000.0 * (block + 1)));
    }
    analyzer::StopPlot();
    ui::DestroyImageWindow(window);
    analyzer::PlotWindowClosed(window);
}

} // namespace

int main()
{
    char dir[] = "/tmp/regscope-bench-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0)
        return 1;
    headless::Reset();
    if (!app::StartProgram(programs::AllParts()))
        return 1;
    for (int i = 0; i < analyzer::kChannelCount; ++i) {
        app::WriteConfigKey(app::CfgPath, analyzer::ChannelKey(i, "ENABLE"), "1");
        app::WriteConfigKey(app::CfgPath, analyzer::ChannelKey(i, "PLOT"), "1");
        app::WriteConfigKey(app::CfgPath, analyzer::ChannelKey(i, "PLOT_WIDTH"),
                            std::to_string(1 + i % 3));
        app::WriteConfigKey(app::CfgPath, analyzer::ChannelKey(i, "PLOT_COLOR"),
                            std::to_string(ui::Rgb(i * 7, 255 - i * 7, i * 3)));
    }
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_FILE", std::string(dir) + "/Plot.log");
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_OVERWRITE", "1");
    analyzer::LoadChannels(app::CfgPath);
    Run(800, 600, false);
    Run(800, 600, true);
    Run(5000, 5000, true);
    analyzer::ReleasePlotWindows();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
