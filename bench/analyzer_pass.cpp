// One Analyzer acquisition pass with all 32 channels enabled, on the
// simulator paced at the line's real byte time. Printed as ratios:
//   - against the pass's wire time, 32 x (8 + 7 characters) x 11 bits / baud
//     plus 32 post-reply pauses of 40 bit times: 1.00 is the line's limit.
//     The simulator paces its replies only; a request reaches it through
//     the pty at once, so "paced" counts the replies and pauses alone;
//   - against 32 bare requests of a raw master through the same pty, run in
//     this process just before (the floor the pty and the pacing allow);
//   - CPU of the program's thread per pass as a fraction of the pass's wall
//     time (the simulator's thread is not counted).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <unistd.h>

#include "app/config_store.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "modbus/serial_link.h"
#include "platform/headless/headless.h"
#include "programs/parts.h"
#include "sim/sim.h"
#include "sim_raw_master.h"

namespace {

constexpr int kChannels = 32;
constexpr int kReadAll = 60002;

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

// 32 bare one-register reads of a raw master, seconds.
double RawPass(sim::Simulator& s, unsigned baud)
{
    RawMaster m;
    if (!m.Open(s.LinkPath(), baud, 2))
        return 0;
    double start = Now();
    for (int i = 0; i < kChannels; ++i)
        m.Ask(1, 3, modbus::Bytes{0, uint8_t(i), 0, 1}, 7, 2.0);
    return Now() - start;
}

void Measure(sim::Simulator& s, unsigned baud, int passes)
{
    double raw = RawPass(s, baud);
    app::WriteConfigKey(app::CfgPath, "SERIAL_BAUD", std::to_string(baud));
    headless::MenuCommand(2104); // the settings read again, the form opened
    headless::Click(kReadAll);   // the port opened, out of the measure
    double wall0 = Now(), cpu0 = ThreadCpu();
    for (int i = 0; i < passes; ++i)
        headless::Click(kReadAll);
    double wall = (Now() - wall0) / passes, cpu = (ThreadCpu() - cpu0) / passes;
    double wire = kChannels * ((8 + 7) * 11.0 + 40.0) / baud;
    double paced = kChannels * (7 * 11.0 + 40.0) / baud;
    bool ok = ui::GetStatusText() == "All register readed from Slave(s)" &&
              headless::MessagesShown().empty();
    std::printf("%7u bit/s  pass %8.2f ms  wire %8.2f ms  pass/wire %5.3f  pass/paced %5.3f  "
                "pass/raw %5.3f  "
                "cpu/wall %6.4f%s\n",
                baud, wall * 1000, wire * 1000, wall / wire, wall / paced,
                raw > 0 ? wall / raw : 0.0, cpu / wall, ok ? "" : "  (a pass failed)");
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
    Measure(s, 115200, 20);
    Measure(s, 9600, 3);
    modbus::ClosePort();
    s.Stop();
    std::string cleanup = std::string("rm -rf '") + dir + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
