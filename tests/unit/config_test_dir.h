// The configuration tests' folder, with files put and read whole and a
// file size limit that stands in for a full disk.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "tests/support/program_folder.h"

template <class Folder>
class FilesIn : public Folder {
protected:
    void TearDown() override
    {
        LimitFileSize(RLIM_INFINITY);
        Folder::TearDown();
    }

    void Put(const std::string& name, const std::string& content) const
    {
        std::ofstream(this->Path(name), std::ios::binary) << content;
    }
    std::string Get(const std::string& name) const
    {
        std::ifstream in(this->Path(name), std::ios::binary);
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
};

// Root ignores permission bits: a forked child gives them back their
// meaning by becoming nobody first (a plain user stays who it is).
constexpr uid_t kNobody = 65534;
inline void BecomeUser()
{
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
        _exit(10);
}

using ConfigDir = FilesIn<FolderTest>;
// For code that uses no window and no password: the folder alone.
using PlainDir = FilesIn<TempFolder>;
