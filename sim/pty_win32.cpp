// Windows has no pseudo-terminals: the simulator serves its slaves over
// TCP there (--no-pty with --tcp or --rtu-tcp).
#include "sim/pty.h"

namespace sim {

bool OpenPty(int*, int*, std::string*, std::string* error)
{
    *error = "no pseudo-terminal on Windows: use --no-pty with --tcp or --rtu-tcp";
    return false;
}

LineSettings ReadLineSettings(int) { return LineSettings{0, 0, serial::Parity::NoneOneStopBit}; }

bool MakeLink(const std::string&, const std::string&, std::string* error)
{
    *error = "no COMn link on Windows";
    return false;
}

void RemoveLink(const std::string&, const std::string&) {}

} // namespace sim
