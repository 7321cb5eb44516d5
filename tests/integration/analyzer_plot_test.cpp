// The plot as the Analyzer form drives it: Auto Read with plotted channels
// on the simulated bus, "Plot Start" and "Plot Stop", the end of the time
// axis, and a failed pass.
#include "analyzer/plot_window.h"
#include "sim_program.h"

namespace {

class PlotOnBus : public ProgramOnBus<1> {
protected:
    void SetUp() override
    {
        ProgramOnBus<1>::SetUp();
        slave2_ = sim_.AddGenericSlave(2);
        app::WriteConfigKey(app::CfgPath, "TIMEOUT", "0.3");
        app::WriteConfigKey(app::CfgPath, "PLOT_LOG_FILE", Path("Plot.log"));
        app::WriteConfigKey(app::CfgPath, "PLOT_LOG_OVERWRITE", "1");
        app::WriteConfigKey(app::CfgPath, "CH01_PLOT", "1");
        app::WriteConfigKey(app::CfgPath, "CH01_LABEL", "Flow");
        app::WriteConfigKey(app::CfgPath, "CH02_ENABLE", "1");
        app::WriteConfigKey(app::CfgPath, "CH02_PLOT", "1");
        app::WriteConfigKey(app::CfgPath, "CH02_SLAVE_ADD", "2");
        app::WriteConfigKey(app::CfgPath, "CH02_LABEL", "Level");
        app::WriteConfigKey(app::CfgPath, "CH02_PLOT_COLOR", std::to_string(ui::Rgb(0, 0, 255)));
        bank_->SetHolding(0, 500);
        slave2_->SetHolding(1, 250);
        headless::MenuCommand(2104); // the Analyzer, with the settings read again
    }

    void TearDown() override
    {
        analyzer::ReleasePlotWindows();
        ProgramOnBus<1>::TearDown();
    }

    std::string File(const std::string& name) { return Content(Path(name)); }

    size_t Windows() { return headless::ImageWindowHandles().size(); }

    std::shared_ptr<sim::RegisterBank> slave2_;
};

constexpr int kAutoRead = 60004, kPlotStart = 60005;

} // namespace

TEST_F(PlotOnBus, AutoReadPlotsUntilTheEndOfTheTimeAxisAndGoesOn)
{
    app::WriteConfigKey(app::CfgPath, "PLOT_TIME_MAX", "3.0");
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_ENABLE", "1");
    headless::Click(kAutoRead);
    ASSERT_TRUE(analyzer::PlotRunning());
    EXPECT_EQ(ui::GetText(kPlotStart), "Plot Stop");
    ASSERT_EQ(Windows(), 1u);
    const int w = headless::ImageWindowHandles()[0];
    // Time max changed in Plot setup waits for the next plot, emptied or raised.
    app::WriteConfigKey(app::CfgPath, "PLOT_TIME_MAX", "");
    headless::Tick(1);
    app::WriteConfigKey(app::CfgPath, "PLOT_TIME_MAX", "100");
    headless::Tick(1);
    EXPECT_TRUE(analyzer::PlotRunning());
    headless::Tick(1); // the sample at 3 s, at the right edge; then the stop
    EXPECT_FALSE(analyzer::PlotRunning());
    EXPECT_EQ(ui::GetText(kPlotStart), "Plot Start");
    EXPECT_NE(app::AutoReadActive, 0);
    // CH02 (blue) at 250 all along, y = 500, up to the right edge.
    EXPECT_EQ(headless::ImagePixel(w, 880, 500) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(File("Plot.log"), "TIME(s);CH01;CH02\r\n;Flow;Level\r\n"
                                "0.00;500.0;250.0\r\n1.00;500.0;250.0\r\n"
                                "2.00;500.0;250.0\r\n3.00;500.0;250.0");
    const size_t refreshes = headless::ImageWindow(w)->refreshed.size();
    headless::Tick(2); // Auto Read goes on; the finished window is left alone
    EXPECT_EQ(Windows(), 1u);
    EXPECT_EQ(headless::ImageWindow(w)->refreshed.size(), refreshes);
}

TEST_F(PlotOnBus, PlotStartUnderAutoReadDrawsALevelLineFirst)
{
    app::WriteConfigKey(app::CfgPath, "PLOT_AUTO_START", "0");
    headless::Click(kAutoRead);
    EXPECT_FALSE(analyzer::PlotRunning());
    headless::Click(kPlotStart);
    ASSERT_TRUE(analyzer::PlotRunning());
    EXPECT_DOUBLE_EQ(app::ElapsedTime, 0);
    headless::Tick(1); // the first sample, one tick later: a level line from the left edge
    const int first = headless::ImageWindowHandles().back();
    EXPECT_EQ(headless::ImagePixel(first, 100 + 800 / 60 / 2, 500) & 0xFFFFFF, 0x0000FFu);
    headless::Click(kPlotStart); // "Plot Stop"
    EXPECT_FALSE(analyzer::PlotRunning());
    EXPECT_NE(app::AutoReadActive, 0);
}

// A timer period under 1 ms refuses Auto Read, and with it the plot.
TEST_F(PlotOnBus, NoPlotOutlivesAutoReadRefusedForItsTimerPeriod)
{
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_ENABLE", "1");
    app::WriteConfigKey(app::CfgPath, "SAMPLE_TIME", "0.01");
    app::WriteConfigKey(app::CfgPath, "TIME_CALIB", "100");
    headless::MenuCommand(2104);
    headless::Click(kAutoRead);
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(app::AutoReadActive, 0);
    EXPECT_FALSE(analyzer::PlotRunning());
    EXPECT_EQ(ui::GetText(kPlotStart), "Plot Start");
    headless::Click(60002); // Read all
    EXPECT_FALSE(sys::PathExists(Path("Plot.log")));

    // Refused while a plot runs (the sampling time changed in Setup): the plot ends too.
    app::WriteConfigKey(app::CfgPath, "SAMPLE_TIME", "1.0");
    headless::MenuCommand(2104);
    headless::Click(kAutoRead);
    ASSERT_TRUE(analyzer::PlotRunning());
    headless::QueueTextAnswer("0.01");
    headless::MenuCommand(3501);
    EXPECT_EQ(app::AutoReadActive, 0);
    EXPECT_FALSE(analyzer::PlotRunning());
    EXPECT_EQ(ui::GetText(kPlotStart), "Plot Start");
    headless::Click(60002);
    EXPECT_EQ(File("Plot.log"), "TIME(s);CH01;CH02\r\n;Flow;Level\r\n0.00;500.0;250.0");
}

TEST_F(PlotOnBus, AFailedPassStopsThePlotAndClosesAShortLog)
{
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_ENABLE", "1");
    headless::Click(kAutoRead);
    headless::Tick(1);
    const int w = headless::ImageWindowHandles().back();
    sim::Fault silent;
    silent.address = 2;
    sim_.InjectFault(silent);
    headless::Tick(1);
    EXPECT_FALSE(analyzer::PlotRunning());
    EXPECT_EQ(app::AutoReadActive, 0);
    EXPECT_EQ(ui::GetText(kPlotStart), "Plot Start");
    EXPECT_EQ(File("Plot.log"), "TIME(s);CH01;CH02\r\n;Flow;Level\r\n"
                                "0.00;500.0;250.0\r\n1.00;500.0;250.0\r\n2.00;500.0");
    EXPECT_TRUE(headless::PressImageWindowCloseBox(w)); // allowed after the stop
}

// A file that still holds the default 0, 0 opens the plot beside the form,
// not over its buttons; a new plot steps off an earlier window still
// standing where it would open; a place of the user's is kept.
TEST_F(PlotOnBus, NewPlotsOpenBesideTheFormAndStepOffEarlierWindows)
{
    app::WriteConfigKey(app::CfgPath, "PLOT_AUTO_START", "0");
    headless::Click(kAutoRead);
    int x = 0, y = 0, w = 0, h = 0;
    ui::GetWindowPosition(&x, &y);
    ui::GetClientSize(&w, &h);
    const std::pair<int, int> beside{(x + w) * 6 / 4 + headless::kBesideGapPx, y * 13 / 8};
    auto position = [] {
        const headless::ImageWindowState* plot =
            headless::ImageWindow(headless::ImageWindowHandles().back());
        return std::make_pair(plot->x, plot->y);
    };
    for (int step : {0, 24, 48}) {
        headless::Click(kPlotStart);
        EXPECT_EQ(position(), std::make_pair(beside.first + step, beside.second + step));
        headless::Click(kPlotStart); // stopped where it stands
    }
    for (int window : headless::ImageWindowHandles())
        headless::PressImageWindowCloseBox(window);
    app::WriteConfigKey(app::IniPath, "PLOT_POS_X", "340");
    app::WriteConfigKey(app::IniPath, "PLOT_POS_Y", "40");
    headless::Click(kPlotStart);
    EXPECT_EQ(position(), std::make_pair(340, 40));
}
