// The plot log on disk: its name, its bytes, and what happens when writing fails.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "analyzer/plot/plot_log.h"
#include "analyzer/plot/plot_log_format.h"
#include "tests/unit/config_test_dir.h"

using namespace analyzer;

namespace {

const sys::LocalTime kStart{2024, 3, 5, 14, 7, 9, 0};
const std::vector<PlotChannel> kChannels = {{1, "CH01_Label", 0, 3}, {3, "Tank", 0, 3}};

class PlotLogFile : public PlainDir {
protected:
    PlotLogPtr Open(const std::string& name, bool overwrite,
                    const std::vector<PlotChannel>& channels = kChannels)
    {
        problem_ = {};
        return OpenPlotLog({Path(name), overwrite, {Path("RegScope.cfg")}}, kStart, channels,
                           &problem_);
    }
    PlotLogProblem problem_;
};

} // namespace

TEST(PlotLogName, TimeStampAfterTheStem)
{
    EXPECT_EQ(TimeStampedLogName("/data/Plot.log", kStart), "/data/Plot_05-03-2024_14-07-09.log");
    EXPECT_EQ(TimeStampedLogName("Plot", kStart), "_05-03-2024_14-07-09.log");
    EXPECT_EQ(TimeStampedLogName("/d.x/run.1.txt", kStart), "/d.x/run.1_05-03-2024_14-07-09.log");
    EXPECT_EQ(NumberedLogName("/data/Plot_05-03-2024_14-07-09.log", 2),
              "/data/Plot_05-03-2024_14-07-09_2.log");
}

TEST_F(PlotLogFile, FourLineExampleByteForByte)
{
    Put("Plot.log", "TIME(s);CH02\r\n;an older log, longer than the new one ..................");
    std::string error;
    PlotLogPtr log = Open("Plot.log", true);
    ASSERT_TRUE(log) << problem_.reason;
    EXPECT_EQ(PlotLogPath(*log), Path("Plot.log"));
    EXPECT_EQ(Get("Plot.log"), "TIME(s);CH01;CH03\r\n;CH01_Label;Tank"); // on disk at once
    ASSERT_TRUE(WritePlotLogRecordStart(*log, 0.0, &error));
    ASSERT_TRUE(WritePlotLogValue(*log, "1234.0", &error));
    ASSERT_TRUE(WritePlotLogValue(*log, "12.5", &error));
    ASSERT_TRUE(FlushPlotLog(*log, &error));
    ASSERT_TRUE(WritePlotLogRecordStart(*log, 1.0, &error));
    ASSERT_TRUE(WritePlotLogValue(*log, "1240.0", &error));
    // A finished pass is on disk before the close; a pass under way reaches
    // it whole, at its end.
    EXPECT_EQ(Get("Plot.log"), "TIME(s);CH01;CH03\r\n;CH01_Label;Tank\r\n0.00;1234.0;12.5");
    ASSERT_TRUE(WritePlotLogValue(*log, "12.6", &error));
    ASSERT_TRUE(ClosePlotLog(std::move(log), &error));
    EXPECT_EQ(Get("Plot.log"), "TIME(s);CH01;CH03\r\n"
                               ";CH01_Label;Tank\r\n"
                               "0.00;1234.0;12.5\r\n"
                               "1.00;1240.0;12.6");
}

TEST_F(PlotLogFile, TimeStampedNamesNeverReplaceAnyFile)
{
    std::string error;
    PlotLogPtr a = Open("Plot.log", false);
    ASSERT_TRUE(a) << problem_.reason;
    EXPECT_EQ(PlotLogPath(*a), Path("Plot_05-03-2024_14-07-09.log"));
    ASSERT_TRUE(WritePlotLogRecordStart(*a, 0.0, &error));
    ASSERT_TRUE(FlushPlotLog(*a, &error));
    // Two more plots in the same second, one of them in another program
    // that still writes its log; a dangling link planted under the next name
    // is passed over, not followed.
    ASSERT_EQ(symlink(Path("elsewhere").c_str(), Path("Plot_05-03-2024_14-07-09_3.log").c_str()),
              0);
    PlotLogPtr b = Open("Plot.log", false, {kChannels[1]});
    PlotLogPtr c = Open("Plot.log", false, {kChannels[1]});
    ASSERT_TRUE(b && c) << problem_.reason;
    EXPECT_EQ(PlotLogPath(*b), Path("Plot_05-03-2024_14-07-09_2.log"));
    EXPECT_EQ(PlotLogPath(*c), Path("Plot_05-03-2024_14-07-09_4.log"));
    EXPECT_EQ(Get("Plot_05-03-2024_14-07-09.log"), "TIME(s);CH01;CH03\r\n;CH01_Label;Tank\r\n0.00");
    EXPECT_EQ(Get("Plot_05-03-2024_14-07-09_2.log"), "TIME(s);CH03\r\n;Tank");
    EXPECT_FALSE(std::filesystem::exists(Path("elsewhere")));
    EXPECT_FALSE(std::filesystem::exists(Path("Plot.log")));
}

TEST_F(PlotLogFile, OverwriteReplacesOnlyAnEmptyFileOrAPlotLog)
{
    const std::string kLog = "TIME(s);CH01;CH03\r\n;CH01_Label;Tank";
    Put("RegScope.cfg", "TIME(s)\r\nSERIAL_PORT=1\r\n"); // a log's first line, still a setting file
    ASSERT_EQ(link(Path("RegScope.cfg").c_str(), Path("cfg-link").c_str()), 0);
    Put("target", "precious");
    ASSERT_EQ(symlink(Path("target").c_str(), Path("link").c_str()), 0);
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    Put("held.log", "TIME(s);CH01\r\n;other program");
    // Another program logging to held.log holds it locked.
    int held = open(Path("held.log").c_str(), O_WRONLY);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    struct Case {
        const char* name;
        std::string before;  // "" for a name that does not exist yet
        const char* refused; // reason, or null when the log replaces it
    } cases[] = {
        {"new.log", "", nullptr},
        {"empty.log", "-", nullptr},
        {"old.log", "TIME(s)\r\n", nullptr},
        {"bashrc", "export PATH=/bin\n", "it is not a plot log"},
        {"almost.log", "TIME(s);CH1\r\n", "it is not a plot log"},
        {"RegScope.cfg", "", "it is one of the program's own files"},
        {"cfg-link", "", "it is one of the program's own files"},
        {"link", "", "it is a symbolic link"},
        {"fifo", "", "it is not a regular file"}, // no reader: an open that blocked would hang here
        {"held.log", "", "another running program is writing it"},
    };
    for (const Case& k : cases) {
        if (k.before == "-")
            Put(k.name, "");
        else if (!k.before.empty())
            Put(k.name, k.before);
        const bool fifo = std::string(k.name) == "fifo"; // reading it here would block
        const std::string before = fifo ? "" : Get(k.name);
        PlotLogPtr log = Open(k.name, true);
        if (!k.refused) {
            EXPECT_TRUE(log) << k.name << ": " << problem_.reason;
            log.reset();
            EXPECT_EQ(Get(k.name), kLog) << k.name;
            continue;
        }
        EXPECT_FALSE(log) << k.name;
        EXPECT_EQ(problem_.reason, k.refused) << k.name;
        EXPECT_TRUE(problem_.not_replaced) << k.name;
        EXPECT_EQ(problem_.path, Path(k.name));
        if (!fifo) {
            EXPECT_EQ(Get(k.name), before) << k.name;
        }
    }
    EXPECT_EQ(Get("target"), "precious");
    close(held);
}

TEST_F(PlotLogFile, FailuresAreReportedAndKeepWhatWasWritten)
{
    std::string error;
    EXPECT_FALSE(Open("missing/Plot.log", true));
    EXPECT_EQ(problem_.path, Path("missing/Plot.log"));
    EXPECT_EQ(problem_.reason, "No such file or directory");
    EXPECT_FALSE(problem_.not_replaced);

    // A disk that fills up after the header and one record.
    PlotLogPtr log = Open("Plot.log", true);
    ASSERT_TRUE(log) << problem_.reason;
    ASSERT_TRUE(WritePlotLogRecordStart(*log, 0.0, &error));
    ASSERT_TRUE(FlushPlotLog(*log, &error));
    const std::string written = Get("Plot.log");
    LimitFileSize(written.size() + 3);
    error.clear();
    EXPECT_TRUE(WritePlotLogValue(*log, "1234.0", &error));
    EXPECT_FALSE(FlushPlotLog(*log, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(WritePlotLogRecordStart(*log, 1.0, &error)); // stays stopped
    LimitFileSize(RLIM_INFINITY);
    EXPECT_EQ(Get("Plot.log").substr(0, written.size()), written);
    EXPECT_LE(Get("Plot.log").size(), written.size() + 3);
    ClosePlotLog(std::move(log), &error);

    // A write that fails on its own, not at a flush, stops the log too, even
    // once the disk has room again: a log with a hole would pass for whole.
    log = Open("Big.log", true);
    ASSERT_TRUE(log) << problem_.reason;
    LimitFileSize(Get("Big.log").size() + 3);
    EXPECT_FALSE(WritePlotLogValue(*log, std::string(1 << 20, '7'), &error));
    LimitFileSize(RLIM_INFINITY);
    EXPECT_FALSE(WritePlotLogRecordStart(*log, 1.0, &error));
    EXPECT_FALSE(FlushPlotLog(*log, &error));
    ClosePlotLog(std::move(log), &error);

    // A header that cannot be written leaves no file.
    LimitFileSize(10);
    EXPECT_FALSE(Open("Other.log", true));
    LimitFileSize(RLIM_INFINITY);
    EXPECT_FALSE(std::filesystem::exists(Path("Other.log")));
}
