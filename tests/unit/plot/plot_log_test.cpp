// The plot log on disk: its name, its bytes, and what happens when writing fails.
#include <gtest/gtest.h>

#include <filesystem>

#include "analyzer/plot/plot_log.h"
#include "analyzer/plot/plot_log_format.h"
#include "tests/unit/config_test_dir.h"

using namespace analyzer;

namespace {

const sys::LocalTime kStart{2024, 3, 5, 14, 7, 9, 0};
const std::vector<PlotChannel> kChannels = {{1, "CH01_Label", 0, 3}, {3, "Tank", 0, 3}};

class PlotLogFile : public PlainDir {};

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
    Put("Plot.log", "an older log, longer than the new one ...........................");
    std::string path, error;
    PlotLogPtr log = OpenPlotLog(Path("Plot.log"), true, kStart, kChannels, &path, &error);
    ASSERT_TRUE(log) << error;
    EXPECT_EQ(path, Path("Plot.log"));
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

TEST_F(PlotLogFile, TimeStampedNamesNeverReplaceAnEarlierLog)
{
    std::string first, second, third, error;
    PlotLogPtr a = OpenPlotLog(Path("Plot.log"), false, kStart, kChannels, &first, &error);
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(first, Path("Plot_05-03-2024_14-07-09.log"));
    ASSERT_TRUE(WritePlotLogRecordStart(*a, 0.0, &error));
    ASSERT_TRUE(ClosePlotLog(std::move(a), &error));
    // Two more plots in the same second.
    PlotLogPtr b = OpenPlotLog(Path("Plot.log"), false, kStart, {kChannels[1]}, &second, &error);
    PlotLogPtr c = OpenPlotLog(Path("Plot.log"), false, kStart, {kChannels[1]}, &third, &error);
    ASSERT_TRUE(b && c) << error;
    EXPECT_EQ(second, Path("Plot_05-03-2024_14-07-09_2.log"));
    EXPECT_EQ(third, Path("Plot_05-03-2024_14-07-09_3.log"));
    EXPECT_EQ(Get("Plot_05-03-2024_14-07-09.log"), "TIME(s);CH01;CH03\r\n;CH01_Label;Tank\r\n0.00");
    EXPECT_EQ(Get("Plot_05-03-2024_14-07-09_2.log"), "TIME(s);CH03\r\n;Tank");
    EXPECT_FALSE(std::filesystem::exists(Path("Plot.log")));
}

TEST_F(PlotLogFile, FailuresAreReportedAndKeepWhatWasWritten)
{
    std::string path, error;
    EXPECT_FALSE(OpenPlotLog(Path("missing/Plot.log"), true, kStart, kChannels, &path, &error));
    EXPECT_EQ(path, Path("missing/Plot.log"));
    EXPECT_FALSE(error.empty());

    // A disk that fills up after the header and one record.
    PlotLogPtr log = OpenPlotLog(Path("Plot.log"), true, kStart, kChannels, &path, &error);
    ASSERT_TRUE(log) << error;
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

    // A header that cannot be written leaves no file.
    LimitFileSize(10);
    EXPECT_FALSE(OpenPlotLog(Path("Other.log"), true, kStart, kChannels, &path, &error));
    LimitFileSize(RLIM_INFINITY);
    EXPECT_FALSE(std::filesystem::exists(Path("Other.log")));
}
