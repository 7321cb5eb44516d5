// Scratch folders and the working folder on POSIX systems.
#include "platform/folders.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdlib.h>
#include <unistd.h>

namespace sys {

bool MakeScratchFolder(const std::string& prefix, std::string* folder, std::string* error)
{
    std::string tmpl = "/tmp/" + prefix + "XXXXXX";
    if (!mkdtemp(tmpl.data())) {
        *error = std::strerror(errno);
        return false;
    }
    *folder = tmpl;
    return true;
}

bool EnterFolder(const std::string& folder, std::string* error)
{
    if (chdir(folder.c_str()) == 0)
        return true;
    *error = std::strerror(errno);
    return false;
}

bool RemoveFolderTree(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return !ec;
}

bool IsAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

} // namespace sys
