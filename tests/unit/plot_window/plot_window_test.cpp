// Starting and stopping a plot, the passes it is fed, and the windows of
// earlier plots.
#include "tests/unit/plot_window/plot_window_fixture.h"

using namespace analyzer;

namespace {

constexpr ui::Colour kRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kBlue = ui::Rgb(0, 0, 255);

} // namespace

TEST_F(PlotWindowTest, StartShowsTheWindowWhereItWasAndStopGivesItBack)
{
    Plot(1, "Flow", kRed);
    Plot(2, "Level", kBlue);
    app::WriteConfigKey(app::IniPath, "PLOT_POS_X", "40");
    app::WriteConfigKey(app::IniPath, "PLOT_POS_Y", "60");
    StartPlot();
    ASSERT_TRUE(PlotRunning());
    const int w = NewestWindow();
    const headless::ImageWindowState* s = headless::ImageWindow(w);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->title, "RegScope [Plot values]");
    EXPECT_EQ(s->image_w, s->client_w);
    EXPECT_EQ(s->image_h, s->client_h);
    EXPECT_EQ(s->x, 40);
    EXPECT_EQ(s->y, 60);
    EXPECT_TRUE(s->shown);
    EXPECT_EQ(ui::GetText(60005), "Plot Stop");
    EXPECT_TRUE(Ink(w, 100, 650) && Ink(w, 900, 50)); // the frame's corners

    // A second start while running changes nothing.
    StartPlot();
    EXPECT_EQ(headless::ImageWindowHandles().size(), 1u);

    EXPECT_FALSE(headless::PressImageWindowCloseBox(w));
    const size_t at_start = s->refreshed.size();
    Pass(0, {{0, 100}, {1, 900}});
    Pass(3, {{0, 200}, {1, 800}});
    // The passes refresh only what they changed: the segments from (100,
    // y(100)) to (140, y(200)) and the readout "000003.00".
    ASSERT_GT(s->refreshed.size(), at_start);
    long area = 0;
    for (size_t i = at_start; i < s->refreshed.size(); ++i) {
        const headless::PixelRect& r = s->refreshed[i];
        area += long(r.w) * r.h;
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= s->image_w && r.y + r.h <= s->image_h);
    }
    EXPECT_LT(area, long(s->image_w) * s->image_h / 10);
    EXPECT_TRUE(Ink(w, 120, 650 - 90));
    EXPECT_TRUE(Ink(w, 120, 650 - 510));
    EXPECT_GT(InkIn(w, 95, 730 - 40, 200, 730 - 15), 20);
    headless::MoveImageWindowAsUser(w, 123, 45);

    StopPlot();
    EXPECT_FALSE(PlotRunning());
    EXPECT_EQ(Ini("PLOT_POS_X"), "123");
    EXPECT_EQ(Ini("PLOT_POS_Y"), "45");
    EXPECT_EQ(ui::GetText(60005), "Plot Start");
    EXPECT_EQ(InkIn(w, 95, 730 - 40, 200, 730 - 15), 0); // readout erased
    EXPECT_TRUE(Ink(w, 120, 650 - 90));                  // the trace stays
    EXPECT_TRUE(headless::PressImageWindowCloseBox(w));
    EXPECT_EQ(headless::ImageWindow(w), nullptr);
}

TEST_F(PlotWindowTest, TwoPlotsLeaveTwoWindowsAndOnlyTheNewerIsDrawnTo)
{
    Plot(1, "Flow", kRed);
    StartPlot();
    const int first = NewestWindow();
    Pass(0, {{0, 500}});
    StopPlot();
    StartPlot();
    const int second = NewestWindow();
    ASSERT_NE(first, second);
    EXPECT_EQ(headless::ImageWindowHandles().size(), 2u);
    const size_t old_refreshes = headless::ImageWindow(first)->refreshed.size();
    Pass(0, {{0, 100}});
    Pass(30, {{0, 900}});
    EXPECT_EQ(headless::ImageWindow(first)->refreshed.size(), old_refreshes);
    EXPECT_FALSE(Ink(first, 310, 338));
    EXPECT_TRUE(Ink(second, 310, 338));
    // The older window still shows its own picture, and closes on its own.
    EXPECT_TRUE(Ink(first, 100, 350));
    EXPECT_TRUE(headless::PressImageWindowCloseBox(first));
    Pass(31, {{0, 900}});
    EXPECT_TRUE(PlotRunning());
}

TEST_F(PlotWindowTest, OnlyEnabledPlottedChannelsAreDrawnAndLogged)
{
    Plot(1, "CH01_Label", kRed);
    Plot(2, "Hidden", kBlue, false); // PLOT without ENABLE
    Plot(3, "Tank", kBlue);
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_ENABLE", "1");
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_OVERWRITE", "1");
    StartPlot();
    Pass(0, {{0, 1234.0}, {1, 7}, {2, 12.5}});
    Pass(1, {{0, 1240.0}, {2, 12.6}});
    StopPlot();
    EXPECT_EQ(File("Plot.log"), "TIME(s);CH01;CH03\r\n"
                                ";CH01_Label;Tank\r\n"
                                "0.00;1234.0;12.5\r\n"
                                "1.00;1240.0;12.6");
}

TEST_F(PlotWindowTest, LogFlagsChangedWhileRunningWaitForTheNextPlot)
{
    Plot(1, "Flow", kRed);
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_ENABLE", "1");
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_OVERWRITE", "1");
    StartPlot();
    Pass(0, {{0, 10}});
    // Logging switched off in Plot setup: the running plot keeps its log.
    headless::QueueDialogAction([] { headless::Click(60841); });
    OpenPlotSetup();
    EXPECT_EQ(Cfg("PLOT_LOG_ENABLE"), "0");
    Pass(1, {{0, 11}});
    StopPlot();
    EXPECT_EQ(File("Plot.log"), "TIME(s);CH01\r\n;Flow\r\n0.00;10.0\r\n1.00;11.0");

    // Switched on while a plot without a log runs: no file until the next start.
    std::remove(Path("Plot.log").c_str());
    StartPlot();
    headless::QueueDialogAction([] { headless::Click(60841); });
    OpenPlotSetup();
    Pass(0, {{0, 12}});
    EXPECT_FALSE(sys::PathExists(Path("Plot.log")));
    StopPlot();
    StartPlot();
    Pass(0, {{0, 13}});
    StopPlot();
    EXPECT_EQ(File("Plot.log"), "TIME(s);CH01\r\n;Flow\r\n0.00;13.0");

    // Without overwrite, two plots in one second log to two time-stamped files.
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_OVERWRITE", "0");
    for (int i = 0; i < 2; ++i) {
        StartPlot();
        StopPlot();
    }
    int stamped = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir_))
        stamped += e.path().filename().string().rfind("Plot_", 0) == 0 ? 1 : 0;
    EXPECT_EQ(stamped, 2);
}

TEST_F(PlotWindowTest, ALogThatCannotBeOpenedIsReportedAndThePlotRuns)
{
    Plot(1, "Flow", kRed);
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_ENABLE", "1");
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_OVERWRITE", "1");
    const std::string missing = Path("missing/Plot.log");
    const std::pair<std::string, std::string> cases[] = {
        {missing, "The plot log file could not be created; the plot runs without it.\r" + missing +
                      "\rNo such file or directory"},
        {app::CfgPath, "The plot log file was not replaced; the plot runs without a log.\r" +
                           app::CfgPath + "\rit is one of the program's own files"},
    };
    for (const auto& [file, text] : cases) {
        app::WriteConfigKey(app::CfgPath, "PLOT_LOG_FILE", file);
        headless::ClearMessages();
        const std::string settings = File("RegScope.cfg");
        StartPlot();
        ASSERT_TRUE(PlotRunning());
        Pass(0, {{0, 10}});
        StopPlot();
        ASSERT_EQ(headless::MessagesShown().size(), 1u) << file;
        const headless::MessageRecord& m = headless::MessagesShown()[0];
        EXPECT_EQ(m.title, "Plot log file");
        EXPECT_EQ(m.icon, ui::Icon::Stop);
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(File("RegScope.cfg"), settings);
    }
}

TEST_F(PlotWindowTest, PlotSetupStoresAsTypedAndHelpsEachField)
{
    headless::QueueDialogAction([] {
        headless::Type(60731, "6000");
        headless::SetTextAsUser(60721, "Boiler 3");
        headless::SetTextAsUser(60811, "250.5");
        headless::Click(60861);
    });
    OpenPlotSetup();
    ASSERT_EQ(headless::DialogsShown().size(), 1u);
    const ui::DialogSpec& d = headless::DialogsShown()[0];
    EXPECT_EQ(d.title, "Plot setup");
    EXPECT_EQ(Cfg("PLOT_SIZE_X"), "5000");
    EXPECT_EQ(Cfg("PLOT_TITLE"), "Boiler 3");
    EXPECT_EQ(Cfg("PLOT_VALUE_MAX"), "250.5");
    EXPECT_EQ(Cfg("PLOT_CH_LABELS"), "0");
    EXPECT_EQ(ui::GetStatusText(), "Print channels labels on plot right side. Valid: 0÷1");
    EXPECT_FALSE(ui::ControlExists(60731)); // gone with the dialog

    // Looked at while the dialog is open.
    headless::QueueDialogAction([] {
        EXPECT_EQ(headless::Control(60721)->spec.text, "Boiler 3");
        headless::Focus(60821);
        EXPECT_EQ(ui::GetStatusText(), "Vertical zero - Values. Example 0.0");
        headless::Erase(60751);
        EXPECT_EQ(ui::GetStatusText(), "Horizontal main grid division. Valid: 1÷100");
    });
    OpenPlotSetup();
    EXPECT_EQ(Cfg("PLOT_DIV_X"), "1"); // emptied: the minimum is stored
}
