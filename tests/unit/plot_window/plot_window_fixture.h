// A started program with plotted channels and the Analyzer's "Plot Start"
// button, driving the plot window through the calls the acquisition pass
// makes.
#pragma once

#include <cstring>
#include <fstream>
#include <sstream>

#include "analyzer/channel_store.h"
#include "analyzer/channel_table.h"
#include "analyzer/plot_window.h"
#include "tests/support/program_folder.h"

class PlotWindowTest : public ProgramInFolder {
protected:
    void BeforeStart() override {}

    void SetUp() override
    {
        ProgramInFolder::SetUp();
        ui::CreateControl({ui::Kind::Button, 60005, "Plot Start", 180, 280, 50, 15});
        // Plot setup's fields reach the plot directly (the form routes them
        // the same way).
        ui::EventSink sink;
        sink.on_command = [](int id, ui::Notify) { analyzer::PlotSetupCommand(id); };
        sink.on_window_closed = analyzer::PlotWindowClosed;
        ui::SetEventSink(sink);
        app::WriteConfigKey(app::CfgPath, "PLOT_LOG_FILE", Path("Plot.log"));
        app::WriteConfigKey(app::CfgPath, "PLOT_BMP_FILE", Path("Plot.bmp"));
    }
    void TearDown() override
    {
        analyzer::StopPlot();
        analyzer::ReleasePlotWindows();
        ProgramInFolder::TearDown();
    }

    // Channel `n` (1..32) enabled and plotted.
    void Plot(int n, const std::string& label, ui::Colour colour, bool enable = true)
    {
        app::WriteConfigKey(app::CfgPath, analyzer::ChannelKey(n - 1, "ENABLE"),
                            enable ? "1" : "0");
        app::WriteConfigKey(app::CfgPath, analyzer::ChannelKey(n - 1, "PLOT"), "1");
        app::WriteConfigKey(app::CfgPath, analyzer::ChannelKey(n - 1, "LABEL"), label);
        app::WriteConfigKey(app::CfgPath, analyzer::ChannelKey(n - 1, "PLOT_COLOR"),
                            std::to_string(colour));
        analyzer::LoadChannels(app::CfgPath);
    }

    // One acquisition pass at `t` over the given (channel index, value) pairs.
    void Pass(double t, const std::vector<std::pair<int, double>>& samples)
    {
        app::ElapsedTime = t;
        analyzer::PlotPassBegin(t);
        for (auto [index, v] : samples) {
            std::ostringstream text;
            text.setf(std::ios::fixed);
            text.precision(1);
            text << v;
            analyzer::PlotChannelSample(index, v, text.str());
        }
        analyzer::PlotPassEnd(t);
    }

    int NewestWindow()
    {
        auto handles = headless::ImageWindowHandles();
        return handles.empty() ? 0 : handles.back();
    }

    std::string File(const std::string& name) { return Content(Path(name)); }

    bool Ink(int window, int x, int y)
    {
        const uint32_t p = headless::ImagePixel(window, x, y);
        return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 200;
    }
    int InkIn(int window, int x0, int y0, int x1, int y1)
    {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                n += Ink(window, x, y) ? 1 : 0;
        return n;
    }
};
