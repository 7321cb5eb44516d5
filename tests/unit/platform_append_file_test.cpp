// Append files: what reaches the file and when, and failures with the
// system's reason.
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/system.h"
#include "tests/support/program_folder.h"

namespace {

using AppendFiles = TempFolder;

TEST_F(AppendFiles, RecordsReachTheFileWhenFlushedAndAnOldFileIsReplaced)
{
    std::string path = dir_ + "/Plot.log";
    std::string error;
    ASSERT_TRUE(sys::WriteFileAtomic(path, "an older plot, much longer than the new one", &error));

    sys::AppendFile log;
    EXPECT_FALSE(sys::AppendFileOpen(log));
    ASSERT_TRUE(sys::OpenAppendFile(path, &log, &error)) << error;
    EXPECT_TRUE(sys::AppendFileOpen(log));
    EXPECT_EQ(Content(path), "");
    ASSERT_TRUE(sys::AppendToFile(&log, "TIME(s);CH01\r\n;CH01_Label", &error));
    ASSERT_TRUE(sys::AppendToFile(&log, "\r\n0.00", &error));
    ASSERT_TRUE(sys::AppendToFile(&log, ";1234.0", &error));
    ASSERT_TRUE(sys::FlushAppendFile(&log, &error)) << error;
    EXPECT_EQ(Content(path), "TIME(s);CH01\r\n;CH01_Label\r\n0.00;1234.0");
    ASSERT_TRUE(sys::AppendToFile(&log, "\r\n1.00;1240.0", &error));
    ASSERT_TRUE(sys::CloseAppendFile(&log, &error)) << error;
    EXPECT_FALSE(sys::AppendFileOpen(log));
    EXPECT_EQ(Content(path), "TIME(s);CH01\r\n;CH01_Label\r\n0.00;1234.0\r\n1.00;1240.0");
    EXPECT_TRUE(sys::CloseAppendFile(&log, &error)) << "closing twice is harmless";

    // A long run without flushes does not pile up in memory.
    ASSERT_TRUE(sys::OpenAppendFile(path, &log, &error));
    std::string record(1000, 'x');
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(sys::AppendToFile(&log, record, &error));
    EXPECT_LT(log.pending.size(), 100000u);
    EXPECT_GE(Content(path).size(), 100000u);
    ASSERT_TRUE(sys::CloseAppendFile(&log, &error));
    EXPECT_EQ(Content(path).size(), 200000u);
}

TEST_F(AppendFiles, FailuresSayWhy)
{
    sys::AppendFile log;
    std::string error;
    EXPECT_FALSE(sys::OpenAppendFile(dir_ + "/missing/Plot.log", &log, &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(sys::AppendFileOpen(log));
    error.clear();
    EXPECT_FALSE(sys::AppendToFile(&log, "x", &error));
    EXPECT_FALSE(error.empty());

    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(sys::OpenAppendFile("/dev/full", &log, &error)) << error;
    ASSERT_TRUE(sys::AppendToFile(&log, "0.00;1", &error));
    EXPECT_FALSE(sys::FlushAppendFile(&log, &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_TRUE(log.pending.empty()) << "unwritable bytes are dropped";
    ASSERT_TRUE(sys::AppendToFile(&log, "1.00;2", &error));
    error.clear();
    EXPECT_FALSE(sys::CloseAppendFile(&log, &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_FALSE(sys::AppendFileOpen(log)) << "closed even when the last write failed";
}

TEST_F(AppendFiles, AFileThatFillsUpEndsWithAWholeRecord)
{
    // A file size limit stops a write short with EFBIG, as a full disk does
    // with ENOSPC; the limit is set in a child, away from the other tests.
    const std::string path = dir_ + "/Plot.log";
    const std::string header = "TIME(s);CH01;CH02\r\n;Flow;Level";
    for (rlim_t limit : {rlim_t(1000), rlim_t(1001), rlim_t(header.size() + 20)}) {
        EXPECT_EXIT(
            {
                signal(SIGXFSZ, SIG_IGN);
                rlimit r;
                r.rlim_cur = r.rlim_max = limit;
                sys::AppendFile log;
                std::string error;
                if (setrlimit(RLIMIT_FSIZE, &r) != 0 || !sys::OpenAppendFile(path, &log, &error) ||
                    !sys::AppendToFile(&log, header, &error) || !sys::FlushAppendFile(&log, &error))
                    _exit(10);
                for (int pass = 0; pass < 1000; ++pass) {
                    char record[64];
                    snprintf(record, sizeof record, "\r\n%d.00", pass);
                    if (!sys::AppendToFile(&log, record, &error) ||
                        !sys::AppendToFile(&log, ";1234.5", &error) ||
                        !sys::AppendToFile(&log, ";-17", &error) ||
                        !sys::FlushAppendFile(&log, &error))
                        _exit(error == "File too large" ? 0 : 11);
                }
                _exit(12);
            },
            ::testing::ExitedWithCode(0), "")
            << limit;
        // Every record that fits, and nothing of the one that did not.
        std::string whole = header;
        for (int pass = 0;; ++pass) {
            const std::string record = "\r\n" + std::to_string(pass) + ".00;1234.5;-17";
            if (whole.size() + record.size() > limit)
                break;
            whole += record;
        }
        EXPECT_EQ(Content(path), whole) << limit;
    }
}

} // namespace
