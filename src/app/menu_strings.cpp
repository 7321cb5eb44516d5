// The string table of the menu help texts.
#include "app/menu_strings.h"

#include "app/command_ids.h"

namespace app {

namespace {
struct Entry {
    int command;
    const char* text;
};

const Entry kHelp[] = {
    {cmd::kLoad, "Load configuration from a .CFG file"},
    {cmd::kSaveAs, "Save current configuration to a new .CFG file"},
    {cmd::kExit, "Exit program"},
    {cmd::kConfigureModule, "Configure Modbus serial parameters of a specific module"},
    {cmd::kTestModule, "Test I/O Modbus resources on a specific module"},
    {cmd::kTestFunction, "Manual test of a single Modbus function code"},
    {cmd::kAnalyzer, "Read/Write/Plot of a Modbus custom values list"},
    {cmd::kScanBus, "Find every module on the line: its address, baud rate and parity"},
    {cmd::kCommunicationMonitor,
     "Every frame on the serial line, decoded, with the line statistics"},
    {cmd::PortCommand(1), "Modules are connected to COM1 serial port of PC"},
    {cmd::PortCommand(2), "Modules are connected to COM2 serial port of PC"},
    {cmd::PortCommand(3), "Modules are connected to COM3 serial port of PC"},
    {cmd::PortCommand(4), "Modules are connected to COM4 serial port of PC"},
    {cmd::PortCommand(5), "Modules are connected to COM5 serial port of PC"},
    {cmd::PortCommand(6), "Modules are connected to COM6 serial port of PC"},
    {cmd::PortCommand(7), "Modules are connected to COM7 serial port of PC"},
    {cmd::PortCommand(8), "Modules are connected to COM8 serial port of PC"},
    {cmd::kNetwork, "Modules are reached over the network: Modbus TCP or RTU over TCP"},
    {cmd::kBaudrate, "PC Modbus communication: Baudrate (bit/s)"},
    {cmd::ParityCommand(0), "PC Modbus communication: No parity bit and 2 stop bits"},
    {cmd::ParityCommand(1), "PC Modbus communication: Odd parity bit and 1 stop bit"},
    {cmd::ParityCommand(2), "PC Modbus communication: Even parity bit and 1 stop bit"},
    {cmd::ParityCommand(3), "PC Modbus communication: No parity bit and 1 stop bit"},
    {cmd::kTimeout, "Timeout (s) for Modbus replay from slave"},
    {cmd::kSamplingTime, "Repetition time (s) for acquiring in Auto read mode"},
    {cmd::kTimeCalibration, "Adjustment (divisor) of time reference for specific PC"},
    {cmd::kPassword, "Set a new password to access RegScope"},
    {cmd::kAbout, "General information"},
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
