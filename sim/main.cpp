// regscope-sim: Modbus RTU slaves on a pseudo-terminal linked as COMn (and
// on TCP ports of 127.0.0.1), for trying RegScope without hardware. Runs until Ctrl+C or SIGTERM.
#include "modbus/frame_lines.h"
#include "sim/models.h"
#include "sim/open_program.h"
#include "sim/sim.h"
#include "sim/slave_lines.h"
#include "sim/stop_signal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

const char kUsage[] =
    "Usage: regscope-sim [options]\n"
    "Serves Modbus RTU slaves on a pseudo-terminal linked as COMn, so that a\n"
    "master that opens COMn in that folder talks to them.\n"
    "\n"
    "Options:\n"
    "  --folder DIR        make the COMn link in DIR (default: the working directory)\n"
    "  --port N            link name COMN, 1..99 (default 1)\n"
    "  --slaves A[,A...]   addresses 1..247 of the generic slaves (default 1); each\n"
    "                      has 65536 coils, discrete inputs, holding and input\n"
    "                      registers and answers functions 1-6, 15, 16, 17 and 23\n"
    "  --demo              visible values: holding registers 0..9 hold 111..1110,\n"
    "                      coils and discrete inputs 0..7 a pattern, input\n"
    "                      registers 0..7 waveforms within 0..1000 (README: Demo\n"
    "                      bus) and 8..9 slow waves\n"
    "  --config-module     also a module in configuration mode at address 248\n"
    "                      (functions 109 and 110, only at 9600 bit/s, even parity)\n"
    "  --module-config A,BAUD,PARITY,RESET\n"
    "                      the settings that module reports (default 1,9600,2,0)\n"
    "  --models            the module models NODE-T01..NODE-T08 at addresses 2..9,\n"
    "                      and NODE-T04 with older firmware at 10 (README: Demo bus)\n"
    "  --model A=MODEL:VERSION\n"
    "                      one module model at address A, e.g. 11=NODE-T01:r.01.002;\n"
    "                      may be repeated; replaces a generic slave at A\n"
    "  --slave-line A,BAUD,PARITY[,garbage]\n"
    "                      a generic slave at A set to its own baud rate and parity\n"
    "                      code (0..3): at other settings of the master it stays\n"
    "                      silent, or answers garbage; may be repeated\n"
    "  --only-function3 A  a generic slave at A that answers function 3 alone and\n"
    "                      stays silent to every other; may be repeated\n"
    "  --tcp PORT          also serve the slaves as Modbus TCP on 127.0.0.1:PORT\n"
    "                      (0: a free port, printed at start)\n"
    "  --rtu-tcp PORT      also serve them as RTU frames over TCP on 127.0.0.1:PORT,\n"
    "                      as a serial device server passes them (0: a free port)\n"
    "  --no-pty            no pty and no COMn link: TCP only\n"
    "  --no-pacing         write replies at once instead of at the line's byte time\n"
    "                      (11 bits per character at the baud rate the master set)\n"
    "  --open PROGRAM      start PROGRAM in the working folder once the slaves are\n"
    "                      served, and stop when it ends (the Windows demo)\n"
    "  --verbose           print every frame received, decoded, with the time since\n"
    "                      the first one; a line starting with # gives the line\n"
    "                      settings the master set, when they change\n"
    "  --help              show this text\n";

int BadUsage(const std::string& message)
{
    std::fprintf(stderr, "regscope-sim: %s\nTry 'regscope-sim --help'.\n", message.c_str());
    return 2;
}

// Whole decimal number within [lo, hi], nothing else in the text.
bool ParseNumber(const std::string& text, unsigned long lo, unsigned long hi, unsigned long* out)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 10)
        return false;
    unsigned long v = std::strtoul(text.c_str(), nullptr, 10);
    if (v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

bool SplitNumbers(const std::string& text, std::vector<std::string>* parts)
{
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        parts->push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    sim::Options options;
    options.pacing = true;
    std::set<unsigned long> slaves;
    bool demo = false, config_module = false, verbose = false;
    bool demo_models = false;
    std::vector<std::pair<uint8_t, sim::ModelOptions>> models;
    sim::ModuleConfig module;
    struct OwnLine {
        uint8_t address;
        sim::LineSettings line;
        bool garbage;
    };
    std::vector<OwnLine> own_lines;
    std::vector<uint8_t> only_function3;
    std::string open_program;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= argc)
                return false;
            *out = argv[++i];
            return true;
        };
        std::string v;
        unsigned long n = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--folder") {
            if (!value(&v) || v.empty())
                return BadUsage("--folder needs a folder");
            options.folder = v;
        } else if (arg == "--port") {
            if (!value(&v) || !ParseNumber(v, 1, 99, &n))
                return BadUsage("--port needs a number from 1 to 99");
            options.port = static_cast<int>(n);
        } else if (arg == "--slaves") {
            std::vector<std::string> parts;
            if (!value(&v) || !SplitNumbers(v, &parts))
                return BadUsage("--slaves needs a list of addresses");
            for (const auto& p : parts) {
                if (!ParseNumber(p, 1, 247, &n))
                    return BadUsage("slave address '" + p + "' is not a number from 1 to 247");
                slaves.insert(n);
            }
        } else if (arg == "--demo") {
            demo = true;
        } else if (arg == "--config-module") {
            config_module = true;
        } else if (arg == "--module-config") {
            std::vector<std::string> parts;
            unsigned long a, b, p, r;
            if (!value(&v) || !SplitNumbers(v, &parts) || parts.size() != 4 ||
                !ParseNumber(parts[0], 0, 255, &a) || !ParseNumber(parts[1], 0, 4294967295ul, &b) ||
                !ParseNumber(parts[2], 0, 255, &p) || !ParseNumber(parts[3], 0, 65535, &r))
                return BadUsage("--module-config needs ADDRESS,BAUD,PARITY,RESET, e.g. 1,9600,2,0");
            module.address = static_cast<uint8_t>(a);
            module.baud = static_cast<uint32_t>(b);
            module.parity = static_cast<uint8_t>(p);
            module.reset_time = static_cast<uint16_t>(r);
        } else if (arg == "--models") {
            demo_models = true;
        } else if (arg == "--model") {
            uint8_t a = 0;
            sim::ModelOptions m;
            if (!value(&v) || !sim::ParseModelSpec(v, &a, &m))
                return BadUsage("--model needs ADDRESS=MODEL:VERSION, e.g. 11=NODE-T01:r.01.002");
            models.push_back({a, m});
        } else if (arg == "--slave-line") {
            std::vector<std::string> parts;
            unsigned long a, b, p;
            if (!value(&v) || !SplitNumbers(v, &parts) || parts.size() < 3 || parts.size() > 4 ||
                !ParseNumber(parts[0], 1, 247, &a) || !ParseNumber(parts[1], 300, 1000000, &b) ||
                !ParseNumber(parts[2], 0, 3, &p) || (parts.size() == 4 && parts[3] != "garbage"))
                return BadUsage("--slave-line needs ADDRESS,BAUD,PARITY[,garbage], e.g. "
                                "20,19200,2");
            own_lines.push_back({static_cast<uint8_t>(a),
                                 sim::LineSettings(0, static_cast<int32_t>(b),
                                                   serial::ParityFromCode(static_cast<int>(p))),
                                 parts.size() == 4});
        } else if (arg == "--only-function3") {
            if (!value(&v) || !ParseNumber(v, 1, 247, &n))
                return BadUsage("--only-function3 needs an address from 1 to 247");
            only_function3.push_back(static_cast<uint8_t>(n));
        } else if (arg == "--tcp" || arg == "--rtu-tcp") {
            if (!value(&v) || !ParseNumber(v, 0, 65535, &n))
                return BadUsage(arg + " needs a port number from 0 to 65535");
            (arg == "--tcp" ? options.tcp_port : options.rtu_tcp_port) = static_cast<int>(n);
        } else if (arg == "--no-pty") {
            options.pty = false;
        } else if (arg == "--no-pacing") {
            options.pacing = false;
        } else if (arg == "--open") {
            if (!value(&open_program) || open_program.empty())
                return BadUsage("--open needs a program");
        } else if (arg == "--verbose") {
            verbose = true;
        } else {
            return BadUsage("unknown option '" + arg + "'");
        }
    }
    if (slaves.empty())
        slaves.insert(1);
    if (!options.pty && options.tcp_port < 0 && options.rtu_tcp_port < 0)
        return BadUsage("--no-pty needs --tcp or --rtu-tcp");

    sim::CatchStopRequests();

    sim::Simulator simulator;
    for (unsigned long a : slaves)
        simulator.AddGenericSlave(static_cast<uint8_t>(a), demo);
    if (demo_models)
        sim::AddDemoModels(simulator);
    for (const auto& [a, m] : models)
        sim::AddModuleModel(simulator, a, m);
    for (const OwnLine& o : own_lines) {
        simulator.AddGenericSlave(o.address, demo);
        simulator.SetSlaveLine(o.address, o.line, o.garbage);
    }
    for (uint8_t a : only_function3)
        simulator.AddSlave(
            a, sim::OnlyFunction(3, sim::GenericSlave(std::make_shared<sim::RegisterBank>())));
    simulator.SetModuleConfig(module);
    simulator.EnableConfigModule(config_module);
    std::string error;
    if (!simulator.Start(options, &error)) {
        std::fprintf(stderr, "regscope-sim: %s\n", error.c_str());
        return 1;
    }

    if (options.pty) {
        std::printf("Serving %s, linked as %s\n", simulator.DevicePath().c_str(),
                    simulator.LinkPath().c_str());
        std::printf("Start RegScope in %s and choose serial port %d; any baud rate and parity.\n",
                    options.folder.c_str(), options.port);
    }
    if (simulator.TcpPort() != 0)
        std::printf("Modbus TCP on tcp://127.0.0.1:%d (Setup > Serial port > Network...)\n",
                    simulator.TcpPort());
    if (simulator.RtuTcpPort() != 0)
        std::printf("RTU over TCP on rtu-tcp://127.0.0.1:%d\n", simulator.RtuTcpPort());
    std::printf("Generic slaves at:");
    for (unsigned long a : slaves)
        std::printf(" %lu", a);
    std::printf("%s\n", demo ? " (demo values)" : "");
    if (demo_models)
        for (const sim::DemoModel& m : sim::DemoModels())
            std::printf("%s %s at %d\n", m.model, m.version, m.address);
    for (const auto& [a, m] : models)
        std::printf("%s %s at %d\n", m.model.c_str(), m.version.c_str(), a);
    for (const OwnLine& o : own_lines)
        std::printf("Generic slave at %d set to %d bit/s, parity %d%s\n", o.address, o.line.baud,
                    serial::ParityCode(o.line.parity), o.garbage ? " (garbage otherwise)" : "");
    for (uint8_t a : only_function3)
        std::printf("Slave at %d answering function 3 alone\n", a);
    if (config_module)
        std::printf("Module in configuration mode at 248 (9600 bit/s, even parity).\n");
    std::printf("Press Ctrl+C to stop.\n");
    std::fflush(stdout);
    if (!open_program.empty() && !sim::OpenProgram(open_program, &error)) {
        std::fprintf(stderr, "regscope-sim: %s\n", error.c_str());
        simulator.Stop();
        return 1;
    }

    // The master's view of the line, as its communication monitor shows it:
    // every frame received here is one it sent.
    double first_s = -1;
    sim::LineSettings shown{0, 0};
    auto show_new_frames = [&] {
        for (const auto& f : simulator.TakeFrames()) {
            if (!verbose)
                continue;
            const bool first = first_s < 0;
            if (first)
                first_s = f.time_s;
            if (first || !(f.line == shown)) {
                shown = f.line;
                std::printf("# %s\n", modbus::DescribeLine(f.line).c_str());
            }
            const auto summary =
                modbus::DecodeFrame(f.bytes.data(), f.bytes.size(), modbus::Direction::Request);
            std::printf("%s\n", modbus::FormatFrameLine(int64_t((f.time_s - first_s) * 1e6),
                                                        modbus::Direction::Request, f.bytes.data(),
                                                        f.bytes.size(), summary.text)
                                    .c_str());
        }
        std::fflush(stdout);
    };
    // Frames are taken even when not shown, so that a simulator left running
    // for days under a polling master does not grow without end.
    while (!sim::WaitForStopRequest(0.2) && !(!open_program.empty() && sim::OpenedProgramEnded()))
        show_new_frames();
    show_new_frames();
    simulator.Stop();
    if (options.pty)
        std::printf("Stopped; %s removed.\n", simulator.LinkPath().c_str());
    else
        std::printf("Stopped.\n");
    return 0;
}
