// A fresh, empty working folder for each configuration test, removed after.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/headless/headless.h"

class ConfigDir : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "regscope-config-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        headless::Reset();
    }
    void TearDown() override
    {
        LimitFileSize(RLIM_INFINITY);
        if (chdir("/") != 0)
            return;
        // Tests may leave the folder read-only.
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(dir_, ec);
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    void Put(const std::string& name, const std::string& content) const
    {
        std::ofstream(Path(name), std::ios::binary) << content;
    }
    std::string Get(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Writes past this size fail as on a full disk, even for root.
    static void LimitFileSize(rlim_t bytes)
    {
        signal(SIGXFSZ, SIG_IGN);
        rlimit r{};
        getrlimit(RLIMIT_FSIZE, &r);
        r.rlim_cur = bytes == RLIM_INFINITY ? r.rlim_max : bytes;
        setrlimit(RLIMIT_FSIZE, &r);
    }

    std::string dir_;
};
