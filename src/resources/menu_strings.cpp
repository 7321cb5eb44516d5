// The string table of the menu help texts.
#include "resources/menu_strings.h"

namespace app {

namespace {
struct Entry {
    int command;
    const char* text;
};

const Entry kHelp[] = {
    {1101, "Load configuration from a .CFG file"},
    {1201, "Save current configuration to a new .CFG file"},
    {1301, "Exit program"},
    {2101, "Configure Modbus serial parameters of a specific module"},
    {2102, "Test I/O Modbus resources on a specific module"},
    {2103, "Manual test of a single Modbus function code"},
    {2104, "Read/Write/Plot of a Modbus custom values list"},
    {3101, "Modules are connected to COM1 serial port of PC"},
    {3102, "Modules are connected to COM2 serial port of PC"},
    {3103, "Modules are connected to COM3 serial port of PC"},
    {3104, "Modules are connected to COM4 serial port of PC"},
    {3105, "Modules are connected to COM5 serial port of PC"},
    {3106, "Modules are connected to COM6 serial port of PC"},
    {3107, "Modules are connected to COM7 serial port of PC"},
    {3108, "Modules are connected to COM8 serial port of PC"},
    {3201, "PC Modbus communication: Baudrate (bit/s)"},
    {3301, "PC Modbus communication: No parity bit and 2 stop bits"},
    {3302, "PC Modbus communication: Odd parity bit and 1 stop bit"},
    {3303, "PC Modbus communication: Even parity bit and 1 stop bit"},
    {3304, "PC Modbus communication: No parity bit and 1 stop bit"},
    {3401, "Timeout (s) for Modbus replay from slave"},
    {3501, "Repetition time (s) for acquiring in Auto read mode"},
    {3601, "Adjustment (divisor) of time reference for specific PC"},
    {3701, "Set a new password to access RegScope"},
    {4101, "General information"},
};
} // namespace

const char* MenuHelpText(int command)
{
    for (const Entry& e : kHelp)
        if (e.command == command)
            return e.text;
    return nullptr;
}

} // namespace app
