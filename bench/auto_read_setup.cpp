#include "bench/auto_read_setup.h"

#include <filesystem>
#include <time.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

#include "app/config_store.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "platform/system.h"
#include "programs/parts.h"
#include "tools/test_function/test_function_tool.h"

namespace bench {

namespace {

constexpr int kOkButton = 50003;
constexpr int kAutoReadButton = 53002; // sub-form of function 3

} // namespace

double ThreadCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void PrepareFolder(const std::string& folder, double sample_time_s)
{
    std::filesystem::create_directories(folder);
    if (chdir(folder.c_str()) != 0)
        return;
    app::SetPasswordFolderForTests(folder + "/password");
    if (!sys::IsRegularFile(folder + "/RegScope.ini"))
        app::CreateDefaultFiles();
    std::string ini = folder + "/RegScope.ini", cfg = folder + "/RegScope.cfg";
    app::WriteConfigKey(ini, "TOOL", "FUNCTION_TEST");
    app::WriteConfigKey(cfg, "SERIAL_PORT", "1");
    app::WriteConfigKey(cfg, "SERIAL_BAUD", std::to_string(kBaud));
    app::WriteConfigKey(cfg, "SERIAL_PARITY", "2");
    app::WriteConfigKey(cfg, "TIMEOUT", "1");
    app::WriteConfigKey(cfg, "TIME_CALIB", "1");
    app::WriteConfigKey(cfg, "SAMPLE_TIME", std::to_string(sample_time_s));
    app::WriteConfigKey(cfg, "FUNCTION_SLAVE", "1");
    app::WriteConfigKey(cfg, "FUNCTION_TEST_FUN", "3");
    app::WriteConfigKey(cfg, "FUNCTION_TEST_3_ADD", "0");
    app::WriteConfigKey(cfg, "FUNCTION_TEST_3_QTY", "10");
}

bool StartPacedBus(sim::Simulator* bus)
{
    sim::Options options;
    options.folder = sys::WorkingDirectory();
    options.port = 1;
    options.pacing = true;
    std::string error;
    if (!bus->Start(options, &error))
        return false;
    bus->AddGenericSlave(1);
    return true;
}

bool StartProgram() { return app::StartProgram(programs::AllParts()); }

void OpenReadSubForm() { test_function::Command(kOkButton); }
void PressAutoRead() { test_function::Command(kAutoReadButton); }

void SetSampleTime(double seconds)
{
    app::SerialSettings.sample_time = float(seconds);
    app::RestartAutoReadTimer();
}

void CountInstructions(bool on)
{
    if (on) {
        CALLGRIND_ZERO_STATS;
        CALLGRIND_START_INSTRUMENTATION;
    } else {
        CALLGRIND_STOP_INSTRUMENTATION;
        CALLGRIND_DUMP_STATS;
    }
}

} // namespace bench
