// The Analyzer's pass of 32 channels over RTU over TCP, against the same
// pass over Modbus TCP in the same run (the reference: no pause after a
// reply, and transaction numbers that tell a repeated reply), both served by
// the simulator at 9600 bit/s as the gateway's serial side:
//   1. a gateway that answers once: the cost of the 40-bit pause RTU over
//      TCP keeps after every reply, as the ratio of the two passes;
//   2. a gateway that repeats every reply 1 ms later: the values that landed
//      in a channel not theirs, and the passes that failed, on each line.
#include <chrono>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "analyzer/analyzer_ids.h"
#include "app/command_ids.h"
#include "app/config_store.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "modbus/serial_link.h"
#include "platform/headless/headless.h"
#include "programs/parts.h"
#include "sim/sim.h"

namespace {

constexpr int kChannels = 32;
constexpr int kAnalyzerMenu = 2104;

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

struct Figures {
    double pass_ms = 0;
    int wrong = 0, values = 0, failed = 0;
};

// Channel i reads holding register i, which holds 100 + i.
Figures Passes(const std::string& net, int passes)
{
    headless::QueueTextAnswer(net);
    headless::MenuCommand(app::cmd::kNetwork);
    headless::MenuCommand(kAnalyzerMenu);
    headless::Click(analyzer::kReadAllId); // connected, out of the measure
    headless::ClearMessages();
    Figures f;
    const double start = Now();
    for (int pass = 0; pass < passes; ++pass) {
        for (int i = 0; i < kChannels; ++i)
            headless::SetTextAsUser(analyzer::CellId(i), "");
        headless::Click(analyzer::kReadAllId);
        if (!headless::MessagesShown().empty() && f.failed++ == 0)
            std::printf("  first failure: %s\n", headless::MessagesShown()[0].text.c_str());
        headless::ClearMessages();
        for (int i = 0; i < kChannels; ++i) {
            const std::string shown = headless::Control(analyzer::CellId(i))->spec.text;
            if (shown.empty())
                continue;
            ++f.values;
            f.wrong += shown == std::to_string(100 + i) + ".0" ? 0 : 1;
        }
    }
    f.pass_ms = (Now() - start) / passes * 1e3;
    modbus::ClosePort();
    return f;
}

void Row(const char* what, const Figures& rtu, const Figures& tcp)
{
    std::printf("%s\n  RTU over TCP  pass %7.1f ms  wrong %4d of %4d values  failed passes %d\n"
                "  Modbus TCP    pass %7.1f ms  wrong %4d of %4d values  failed passes %d\n"
                "  ratio (RTU over TCP / Modbus TCP) %.3f\n",
                what, rtu.pass_ms, rtu.wrong, rtu.values, rtu.failed, tcp.pass_ms, tcp.wrong,
                tcp.values, tcp.failed, rtu.pass_ms / tcp.pass_ms);
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
    o.pty = false;
    o.tcp_port = 0;
    o.rtu_tcp_port = 0;
    std::string error;
    if (!s.Start(o, &error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    auto bank = s.AddGenericSlave(1);
    for (int i = 0; i < kChannels; ++i)
        bank->SetHolding(uint16_t(i), uint16_t(100 + i));
    if (!app::StartProgram(programs::AllParts()))
        return 1;
    headless::ClearMessages();
    for (int i = 1; i <= kChannels; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "CH%02d_ENABLE", i);
        app::WriteConfigKey(app::CfgPath, key, "1");
    }
    app::WriteConfigKey(app::CfgPath, "SERIAL_BAUD", "9600");
    const std::string rtu = "rtu-tcp://127.0.0.1:" + std::to_string(s.RtuTcpPort());
    const std::string tcp = "tcp://127.0.0.1:" + std::to_string(s.TcpPort());
    const int kPasses = 20;

    Row("9600 bit/s, a gateway that answers once:", Passes(rtu, kPasses), Passes(tcp, kPasses));
    sim::Fault repeat;
    repeat.kind = sim::Fault::Repeat;
    repeat.times = -1;
    repeat.delay_s = 0.001;
    s.InjectFault(repeat);
    Row("9600 bit/s, a gateway that repeats every reply 1 ms later:", Passes(rtu, kPasses),
        Passes(tcp, kPasses));

    s.Stop();
    std::string cleanup = std::string("rm -rf '") + dir + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
