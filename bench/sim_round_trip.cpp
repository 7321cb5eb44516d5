// How long a request and its reply take through the simulator: the floor of
// every integration test, and with pacing the time a real line would take.
#include "sim/sim.h"
#include "sim_raw_master.h"

#include <chrono>
#include <cstdio>
#include <stdlib.h>
#include <unistd.h>

namespace {

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Measure(sim::Simulator& s, const char* what, unsigned baud, unsigned quantity, int rounds)
{
    RawMaster m;
    if (!m.Open(s.LinkPath(), baud, 2)) {
        std::printf("%s: cannot open the link\n", what);
        return;
    }
    size_t reply_size = 5 + 2 * quantity;
    int lost = 0;
    double start = Now();
    for (int i = 0; i < rounds; ++i) {
        modbus::Bytes q{0, 0, 0, static_cast<uint8_t>(quantity)};
        if (m.Ask(1, 3, q, reply_size, 2.0).size() != reply_size)
            ++lost;
    }
    double each_ms = (Now() - start) / rounds * 1000;
    std::printf("%-34s %7u bit/s %4u regs  %8.3f ms per round trip  (%d lost)\n", what, baud,
                quantity, each_ms, lost);
}

} // namespace

int main()
{
    char dir[] = "/tmp/regscope-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr)
        return 1;
    sim::Simulator s;
    sim::Options o;
    o.folder = dir;
    std::string error;
    if (!s.Start(o, &error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    s.AddGenericSlave(1);
    Measure(s, "unpaced", 19200, 1, 500);
    Measure(s, "unpaced", 19200, 125, 500);
    s.SetPacing(true);
    Measure(s, "paced", 115200, 1, 50);
    Measure(s, "paced", 9600, 125, 5);
    s.Stop();
    rmdir(dir);
    return 0;
}
