#include "sim/open_program.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace sim {

namespace {
pid_t opened = -1;
} // namespace

bool OpenProgram(const std::string& program, std::string* error)
{
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const int rc = posix_spawnp(&opened, program.c_str(), nullptr, nullptr, argv, environ);
    if (rc != 0) {
        opened = -1;
        *error = "cannot start " + program + ": " + std::strerror(rc);
        return false;
    }
    return true;
}

bool OpenedProgramEnded()
{
    if (opened < 0)
        return true;
    int status = 0;
    const pid_t rc = waitpid(opened, &status, WNOHANG);
    if (rc == 0 || (rc < 0 && errno == EINTR))
        return false;
    opened = -1;
    return true;
}

} // namespace sim
