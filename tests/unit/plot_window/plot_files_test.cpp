// Save to bmp and Plot log file...: the dialogs, the replace question, the
// key written before the file, and failures told to the user.
#include "tests/unit/plot_window/plot_window_fixture.h"

using namespace analyzer;

namespace {

constexpr const char* kBmpTitle = "Save current plotting to .BMP file";

} // namespace

TEST_F(PlotWindowTest, SaveToBmpWritesWhatTheWindowShowsAndThePlotGoesOn)
{
    Plot(1, "Flow", ui::Rgb(255, 0, 0));
    StartPlot();
    Pass(0, {{0, 200}});
    Pass(1, {{0, 800}});
    headless::QueueFileAnswer(Path("run.bmp"));
    SaveToBmp();
    ASSERT_EQ(headless::FileDialogsShown().size(), 1u);
    const ui::FileDialogSpec& d = headless::FileDialogsShown()[0];
    EXPECT_TRUE(d.save);
    EXPECT_EQ(d.title, kBmpTitle);
    EXPECT_EQ(d.file_name, Path("Plot.bmp"));
    ASSERT_EQ(d.filters.size(), 1u);
    EXPECT_EQ(d.filters[0].description, "Bitmap file (*.bmp)");
    EXPECT_EQ(d.filters[0].patterns, "*.bmp");
    EXPECT_EQ(d.default_ext, "bmp");
    EXPECT_EQ(Cfg("PLOT_BMP_FILE"), Path("run.bmp"));
    EXPECT_TRUE(PlotRunning());
    EXPECT_TRUE(headless::MessagesShown().empty());

    // Every pixel as the window shows it, the running readout included (the
    // file layout itself is the bitmap writer's test).
    const int w = NewestWindow();
    const headless::ImageWindowState* s = headless::ImageWindow(w);
    const std::string bmp = File("run.bmp");
    const uint32_t row = (uint32_t(s->image_w) * 3 + 3) & ~3u;
    ASSERT_EQ(bmp.size(), 54 + size_t(row) * size_t(s->image_h));
    int differing = 0;
    for (int y = 0; y < s->image_h; ++y)
        for (int x = 0; x < s->image_w; ++x) {
            const size_t at = 54 + size_t(s->image_h - 1 - y) * row + 3 * size_t(x);
            const uint32_t file = uint32_t(uint8_t(bmp[at])) | uint32_t(uint8_t(bmp[at + 1])) << 8 |
                                  uint32_t(uint8_t(bmp[at + 2])) << 16;
            differing += file != (headless::ImagePixel(w, x, y) & 0xFFFFFF) ? 1 : 0;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(Ink(w, 120, 730 - 30)); // the readout was there to be saved
}

TEST_F(PlotWindowTest, SavingOverAFileAsksFirstAndCancelKeepsEverything)
{
    Plot(1, "Flow", ui::Rgb(255, 0, 0));
    StartPlot();
    std::ofstream(Path("old.bmp")) << "an older picture";

    headless::QueueFileAnswer(std::nullopt); // the file dialog cancelled
    SaveToBmp();
    EXPECT_EQ(Cfg("PLOT_BMP_FILE"), Path("Plot.bmp"));

    headless::QueueFileAnswer(Path("old.bmp"));
    headless::QueueMessageAnswer(ui::Answer::Cancel);
    SaveToBmp();
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    const headless::MessageRecord& q = headless::MessagesShown()[0];
    EXPECT_EQ(q.text,
              "File already exist.\r\rReplace existing copy of this file?\r" + Path("old.bmp"));
    EXPECT_EQ(q.title, kBmpTitle);
    EXPECT_EQ(q.buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(Cfg("PLOT_BMP_FILE"), Path("Plot.bmp"));
    EXPECT_EQ(File("old.bmp"), "an older picture");

    headless::QueueFileAnswer(Path("old.bmp"));
    headless::QueueMessageAnswer(ui::Answer::Ok);
    SaveToBmp();
    EXPECT_EQ(Cfg("PLOT_BMP_FILE"), Path("old.bmp"));
    EXPECT_EQ(File("old.bmp").substr(0, 2), "BM");
}

TEST_F(PlotWindowTest, SaveFailuresAreToldAndLeaveTheOldFile)
{
    Plot(1, "Flow", ui::Rgb(255, 0, 0));
    // No plot window yet: the name is kept, and the user is told.
    headless::QueueFileAnswer(Path("none.bmp"));
    SaveToBmp();
    EXPECT_EQ(Cfg("PLOT_BMP_FILE"), Path("none.bmp"));
    EXPECT_FALSE(sys::PathExists(Path("none.bmp")));
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].text, "There is no plot window to save.");

    StartPlot();
    headless::ClearMessages();
    headless::QueueFileAnswer(Path("missing/run.bmp"));
    SaveToBmp();
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    const headless::MessageRecord& m = headless::MessagesShown()[0];
    EXPECT_EQ(m.icon, ui::Icon::Stop);
    EXPECT_NE(m.text.find(Path("missing/run.bmp")), std::string::npos);
    EXPECT_NE(m.text.find("No such file"), std::string::npos);

    // The window of the last plot closed by the user: nothing left to save.
    StopPlot();
    ASSERT_TRUE(headless::PressImageWindowCloseBox(NewestWindow()));
    headless::ClearMessages();
    headless::QueueFileAnswer(Path("late.bmp"));
    SaveToBmp();
    EXPECT_FALSE(sys::PathExists(Path("late.bmp")));
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].text, "There is no plot window to save.");
}

TEST_F(PlotWindowTest, PlotLogFileOnlyStoresTheNameForTheNextPlot)
{
    Plot(1, "Flow", ui::Rgb(255, 0, 0));
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_ENABLE", "1");
    app::WriteConfigKey(app::CfgPath, "PLOT_LOG_OVERWRITE", "1");
    StartPlot();
    Pass(0, {{0, 10}});
    std::ofstream(Path("next.log")) << "keep";
    headless::QueueFileAnswer(Path("next.log"));
    headless::QueueMessageAnswer(ui::Answer::Ok);
    ChoosePlotLogFile();
    const ui::FileDialogSpec& d = headless::FileDialogsShown().at(0);
    EXPECT_EQ(d.title, "Save next plotting to .LOG file");
    EXPECT_EQ(d.file_name, Path("Plot.log"));
    EXPECT_EQ(d.filters.at(0).description, "Logger file (*.log)");
    EXPECT_EQ(d.default_ext, "log");
    EXPECT_EQ(headless::MessagesShown().at(0).title, "Save next plotting to .LOG file");
    EXPECT_EQ(Cfg("PLOT_LOG_FILE"), Path("next.log"));
    EXPECT_EQ(File("next.log"), "keep");
    Pass(1, {{0, 11}});
    StopPlot();
    EXPECT_EQ(File("Plot.log"), "TIME(s);CH01\r\n;Flow\r\n0.00;10.0\r\n1.00;11.0");
}

TEST_F(PlotWindowTest, RelativeStoredNamesOpenTheDialogsInTheStartFolder)
{
    const std::pair<const char*, void (*)()> dialogs[] = {{"PLOT_BMP_FILE", SaveToBmp},
                                                          {"PLOT_LOG_FILE", ChoosePlotLogFile}};
    for (const auto& [key, choose] : dialogs) {
        app::WriteConfigKey(app::CfgPath, key, "run.x");
        headless::QueueFileAnswer(std::nullopt);
        choose();
        const ui::FileDialogSpec& d = headless::FileDialogsShown().back();
        EXPECT_EQ(d.file_name, Path("run.x")) << key;
        EXPECT_EQ(d.folder, dir_) << key;
    }
}

TEST_F(PlotWindowTest, SaveToBmpRefusesTheProgramsOwnFilesAndNamesTooLong)
{
    Plot(1, "Flow", ui::Rgb(255, 0, 0));
    StartPlot();
    ASSERT_TRUE(app::StorePassword(0, "pw", nullptr));
    auto full = [&](const std::string& p) { return p[0] == '/' ? p : Path(p); };
    ASSERT_EQ(symlink(full(app::CfgPath).c_str(), Path("settings.bmp").c_str()), 0);
    const std::string bmp_title = kBmpTitle;
    for (const std::string& own : {full(app::IniPath), full(app::CfgPath),
                                   app::PasswordStorePath(0), Path("settings.bmp")}) {
        const std::string before = Content(own);
        headless::ClearMessages();
        headless::QueueFileAnswer(own);
        headless::QueueMessageAnswer(ui::Answer::Ok); // replace, if asked
        SaveToBmp();
        EXPECT_EQ(Content(own), before) << own;
        EXPECT_EQ(Boxes(), "stop " + bmp_title + ": The bitmap file was not replaced.\r" + own +
                               "\rit is one of the program's own files\n");
    }

    // Too long for the name buffer, or a part too long for the file system.
    std::string deep = dir_;
    while (deep.size() <= 260)
        deep += "/folder";
    for (const std::string& name : {deep + "/run.bmp", "/" + std::string(255, 'n') + ".bmp"}) {
        headless::ClearMessages();
        headless::QueueFileAnswer(name);
        SaveToBmp();
        EXPECT_EQ(Boxes().rfind("exclamation " + bmp_title + ": The file name is too long:\r" +
                                    name + "\r\r",
                                0),
                  0u)
            << Boxes();
    }
}
