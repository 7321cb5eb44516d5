// The parts of platform/system.h that need no call of either system: built
// into both backends.
#include "platform/system.h"

#include <cstdio>
#include <cstdlib>

namespace sys {

namespace {

void (*exit_hook)(int) = nullptr;

} // namespace

bool CopyFile(const std::string& from, const std::string& to, std::string* error)
{
    std::string content;
    if (!ReadFile(from, &content, error))
        return false;
    return WriteFileAtomic(to, content, error);
}

void SetExitHook(void (*hook)(int)) { exit_hook = hook; }

void ExitProcess(int code)
{
    if (exit_hook)
        exit_hook(code);
    std::fflush(nullptr);
    std::exit(code);
}

} // namespace sys
