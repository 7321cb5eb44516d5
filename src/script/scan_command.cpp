// regscope-script scan: a bus scan from the command line, for a
// technician's script. The list goes to standard output, one line per
// answer; the exit code tells what came of it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "modbus/serial_link.h"
#include "platform/system.h"
#include "script/scenario_commands.h"
#include "tools/scan/scan_run.h"
#include "tools/scan/scan_settings.h"

namespace script {

namespace {

const char kScanUsage[] =
    "usage: regscope-script scan [options]\n"
    "Tries every slave address on a line and prints what answered, one line each:\n"
    "address, baud rate, parity, and the slave id, register value or exception.\n"
    "  --port N           serial port COMn (default 1): a file COMn in the working\n"
    "                     folder names the device, else /dev/ttyS(n-1)\n"
    "  --net ADDRESS      a network line instead: tcp://HOST:PORT or rtu-tcp://HOST:PORT\n"
    "                     (unit ids are scanned; the gateway owns rate and parity)\n"
    "  --bauds LIST       baud rates to try, e.g. 9600,19200 (default 9600)\n"
    "  --parities LIST    parity codes to try: 0 none (2 stop bits), 1 odd, 2 even,\n"
    "                     3 none (1 stop bit) (default 2)\n"
    "  --from N --to N    addresses to try (default 1 to 247)\n"
    "  --function F       the probe: 17 (report slave id), 3 or 4 (default 3)\n"
    "  --register N       register read by functions 3 and 4 (default 0)\n"
    "  --config-mode      also look for a module in configuration mode (address 248,\n"
    "                     9600 bit/s, even parity)\n"
    "  --timeout S        longest wait for a reply (TIMEOUT, default 1)\n"
    "Exit code: 0 something answered, 1 nothing answered, 2 settings refused or\n"
    "bad usage (nothing sent), 3 the line could not be used.\n";

int Bad(const std::string& what)
{
    std::fprintf(stderr, "regscope-script scan: %s\n%s", what.c_str(), kScanUsage);
    return 2;
}

} // namespace

int RunScanCommand(int argc, char** argv)
{
    scan::Settings s;
    s.bauds = {9600};
    s.parities = {serial::Parity::Even};
    serial::LineSettings line{1, 9600, serial::Parity::Even};
    double timeout_s = 1.0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kScanUsage, stdout);
            return 0;
        }
        if (arg == "--config-mode") {
            s.config_mode = true;
            continue;
        }
        if (i + 1 >= argc)
            return Bad("\"" + arg + "\" needs a value or is unknown");
        const std::string v = argv[++i];
        if (arg == "--port")
            line.port = int16_t(scan::NumberOr(v, -1));
        else if (arg == "--net")
            line.SetNet(v);
        else if (arg == "--bauds")
            s.bauds = scan::ParseBauds(v);
        else if (arg == "--parities")
            s.parities = scan::ParseParities(v);
        else if (arg == "--from")
            s.from = int(scan::NumberOr(v, -1));
        else if (arg == "--to")
            s.to = int(scan::NumberOr(v, -1));
        else if (arg == "--function")
            s.function = int(scan::NumberOr(v, -1));
        else if (arg == "--register")
            s.register_address = scan::NumberOr(v, -1);
        else if (arg == "--timeout")
            timeout_s = std::strtod(v.c_str(), nullptr);
        else
            return Bad("unknown option \"" + arg + "\"");
    }
    if (!(timeout_s > 0 && timeout_s <= 60))
        return Bad("--timeout takes seconds above 0, at most 60");
    modbus::SetPortFolder(sys::WorkingDirectory());
    scan::Scanner scanner;
    const std::string refusal = scanner.Begin(s, line, timeout_s);
    if (!refusal.empty()) {
        std::fprintf(stderr, "regscope-script scan: %s Nothing was sent.\n", refusal.c_str());
        return 2;
    }
    std::fprintf(stderr, "%zu tries, about %s at most\n", scanner.TriesTotal(),
                 scan::DurationText(scanner.EstimatedSeconds()).c_str());
    size_t printed = 0;
    auto print_new = [&] {
        for (; printed < scanner.Findings().size(); ++printed)
            std::printf("%s\n",
                        scan::FindingLine(scanner.Findings()[printed], line.IsNetwork()).c_str());
        std::fflush(stdout);
    };
    while (scanner.Step())
        print_new();
    print_new();
    if (!scanner.LineFailure().empty()) {
        std::fprintf(stderr, "regscope-script scan: %s\n", scanner.LineFailure().c_str());
        return 3;
    }
    std::fprintf(stderr, "%zu answers in %s\n", printed,
                 scan::DurationText(scanner.ElapsedSeconds()).c_str());
    return printed > 0 ? 0 : 1;
}

} // namespace script
