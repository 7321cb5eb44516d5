// Entering the per-user folder at the start of a program.
#include "platform/start_folder.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "platform/private_files.h"

namespace sys {

bool EnterUserProgramFolder(std::string* folder, std::string* error)
{
    *folder = UserProgramFolder();
    if (!MakePrivateFolder(*folder, error))
        return false;
    if (chdir(folder->c_str()) != 0) {
        *error = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace sys
