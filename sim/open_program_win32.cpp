#include "sim/open_program.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace sim {

namespace {
HANDLE opened = nullptr;
} // namespace

bool OpenProgram(const std::string& program, std::string* error)
{
    // The path is 8-bit text in the ANSI code page, as the command line gave it.
    const int n = MultiByteToWideChar(CP_ACP, 0, program.c_str(), -1, nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, program.c_str(), -1, wide.data(), n);
    std::wstring command = L"\"" + std::wstring(wide.c_str()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(wide.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        char text[64];
        std::snprintf(text, sizeof text, " (Windows error %lu)", GetLastError());
        *error = "cannot start " + program + text;
        return false;
    }
    CloseHandle(process.hThread);
    opened = process.hProcess;
    return true;
}

bool OpenedProgramEnded()
{
    if (!opened)
        return true;
    if (WaitForSingleObject(opened, 0) == WAIT_TIMEOUT)
        return false;
    CloseHandle(opened);
    opened = nullptr;
    return true;
}

} // namespace sim
