// The Analyzer's pass against the line, on the simulator paced at the
// line's real byte time, with the references measured in the same run on
// the same pty. Printed as ratios:
//   1. Read all of 32 one-register channels at 115200 bit/s, per channel,
//      against a libmodbus master reading one register at a time plus the
//      40-bit pause the program keeps after every reply;
//   2. the same pass's CPU per channel against libmodbus's CPU per read
//      (this thread's CPU time; the simulator's thread is not counted);
//   4. 32 neighbouring channels at 9600 bit/s with block reads, against the
//      same pass without (the simulator paces replies only, so the floor
//      is about 0.21).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <modbus.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/config_store.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "modbus/serial_link.h"
#include "platform/headless/headless.h"
#include "programs/parts.h"
#include "sim/sim.h"

namespace {

constexpr int kChannels = 32;
constexpr int kReadAll = 60002;
constexpr int kAnalyzerMenu = 2104;

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double ThreadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Cost {
    double wall = 0, cpu = 0; // seconds per channel or per read
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// `reads` one-register reads of slave 1 by libmodbus, at 8N2: the eleven
// bits a character of the program's 8E1. A pty keeps no parity bit, and
// this libmodbus refuses a line that does not keep what it set.
Cost Libmodbus(const std::string& device, int baud, int reads)
{
    modbus_t* ctx = modbus_new_rtu(device.c_str(), baud, 'N', 8, 2);
    Cost c;
    if (!ctx || modbus_set_slave(ctx, 1) != 0 || modbus_connect(ctx) != 0)
        return c;
    uint16_t value;
    modbus_read_registers(ctx, 0, 1, &value); // the port opened, out of the measure
    const double wall0 = Now(), cpu0 = ThreadCpu();
    for (int i = 0; i < reads; ++i)
        if (modbus_read_registers(ctx, i % kChannels, 1, &value) != 1)
            std::printf("libmodbus read failed\n");
    c.wall = (Now() - wall0) / reads;
    c.cpu = (ThreadCpu() - cpu0) / reads;
    modbus_close(ctx);
    modbus_free(ctx);
    return c;
}

// `passes` Read all of the open form, per channel.
Cost Passes(int passes)
{
    headless::Click(kReadAll); // the port opened, out of the measure
    const double wall0 = Now(), cpu0 = ThreadCpu();
    for (int i = 0; i < passes; ++i)
        headless::Click(kReadAll);
    Cost c{(Now() - wall0) / passes / kChannels, (ThreadCpu() - cpu0) / passes / kChannels};
    if (ui::GetStatusText() != "All register readed from Slave(s)" ||
        !headless::MessagesShown().empty())
        std::printf("a pass failed: %s\n", ui::GetStatusText().c_str());
    modbus::ClosePort(); // the line is libmodbus's again
    return c;
}

void Baud(int baud) { app::WriteConfigKey(app::CfgPath, "SERIAL_BAUD", std::to_string(baud)); }

void BlockReads(bool on)
{
    app::WriteOptionalConfigKey(app::CfgPath, "ANALYZER_BLOCK_READ", on ? "1" : "0",
                                "PLOT_BMP_FILE");
    headless::MenuCommand(kAnalyzerMenu); // the form reads the setting when it opens
}

} // namespace

int main()
{
    char dir[] = "/tmp/regscope-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0)
        return 1;
    app::SetPasswordFolderForTests(std::string(dir) + "/password");
    sim::Simulator s;
    sim::Options o;
    o.folder = dir;
    o.port = 1;
    std::string error;
    if (!s.Start(o, &error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    s.AddGenericSlave(1, true);
    s.SetPacing(true);
    if (!app::StartProgram(programs::AllParts()))
        return 1;
    headless::ClearMessages();
    for (int i = 1; i <= kChannels; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "CH%02d_ENABLE", i);
        app::WriteConfigKey(app::CfgPath, key, "1");
    }

    // Rows 1 and 2: rounds that alternate, so that both see the same load.
    const int baud = 115200;
    Baud(baud);
    BlockReads(false);
    std::vector<double> wall_ratio, cpu_ratio, pass_ms, lib_ms, pass_cpu_us, lib_cpu_us;
    for (int round = 0; round < 7; ++round) {
        const Cost lib = Libmodbus(s.LinkPath(), baud, 5 * kChannels);
        const Cost pass = Passes(5);
        const double reference = lib.wall + 40.0 / baud;
        wall_ratio.push_back(pass.wall / reference);
        cpu_ratio.push_back(pass.cpu / lib.cpu);
        pass_ms.push_back(pass.wall * 1e3);
        lib_ms.push_back(reference * 1e3);
        pass_cpu_us.push_back(pass.cpu * 1e6);
        lib_cpu_us.push_back(lib.cpu * 1e6);
    }
    std::printf("row 1  %d bit/s  Read all per channel %.3f ms / (libmodbus read + 40-bit pause) "
                "%.3f ms = %.3f (median of %zu rounds)\n",
                baud, Median(pass_ms), Median(lib_ms), Median(wall_ratio), wall_ratio.size());
    std::printf("row 2  CPU per channel %.1f us / libmodbus CPU per read %.1f us = %.3f\n",
                Median(pass_cpu_us), Median(lib_cpu_us), Median(cpu_ratio));

    // Row 4: 32 neighbouring registers at 9600 bit/s.
    Baud(9600);
    std::vector<double> block_ratio;
    double one_ms = 0, block_ms = 0;
    for (int round = 0; round < 3; ++round) {
        BlockReads(false);
        const Cost one = Passes(2);
        BlockReads(true);
        const Cost block = Passes(2);
        block_ratio.push_back(block.wall / one.wall);
        one_ms = one.wall * kChannels * 1e3;
        block_ms = block.wall * kChannels * 1e3;
    }
    std::printf("row 4  9600 bit/s  32 neighbouring channels: block reads %.1f ms / one request "
                "each %.1f ms = %.3f\n",
                block_ms, one_ms, Median(block_ratio));

    s.Stop();
    std::string cleanup = std::string("rm -rf '") + dir + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
