#include "bench/auto_read_setup.h"

#include <filesystem>
#include <time.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

#include "app/config_store.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "app/tools.h"
#include "platform/system.h"

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
    SetPasswordFolderForTests(folder + "/password");
    if (!sys::IsRegularFile(folder + "/RegScope.ini"))
        CreateDefaultFiles();
    std::string ini = folder + "/RegScope.ini", cfg = folder + "/RegScope.cfg";
    WriteConfigKey(ini, "TOOL", "FUNCTION_TEST");
    WriteConfigKey(cfg, "SERIAL_PORT", "1");
    WriteConfigKey(cfg, "SERIAL_BAUD", std::to_string(kBaud));
    WriteConfigKey(cfg, "SERIAL_PARITY", "2");
    WriteConfigKey(cfg, "TIMEOUT", "1");
    WriteConfigKey(cfg, "TIME_CALIB", "1");
    WriteConfigKey(cfg, "SAMPLE_TIME", std::to_string(sample_time_s));
    WriteConfigKey(cfg, "FUNCTION_SLAVE", "1");
    WriteConfigKey(cfg, "FUNCTION_TEST_FUN", "3");
    WriteConfigKey(cfg, "FUNCTION_TEST_3_ADD", "0");
    WriteConfigKey(cfg, "FUNCTION_TEST_3_QTY", "10");
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

void OpenReadSubForm() { TestFunctionCommand(kOkButton); }
void PressAutoRead() { TestFunctionCommand(kAutoReadButton); }

void SetSampleTime(double seconds)
{
    SerialSettings.sample_time = float(seconds);
    RestartAutoReadTimer();
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
