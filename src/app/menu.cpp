// The menu of the main window. Item texts carry their accelerator after a
// tab, as the window system shows them.
#include "app/menu.h"

#include "app/command_ids.h"

#include <string>

namespace app {

std::vector<ui::MenuItem> BuildMainMenu()
{
    using ui::MenuItem;
    const MenuItem separator{"", 0, {}};

    MenuItem file{"&File", 0, {}};
    file.items = {{"&Load...\tCtrl+L", cmd::kLoad, {}},
                  {"&Save As...\tCtrl+S", cmd::kSaveAs, {}},
                  separator,
                  {"E&xit\tCtrl+X", cmd::kExit, {}}};

    MenuItem tools{"&Tools", 0, {}};
    tools.items = {{"&Configure module\tCtrl+C", cmd::kConfigureModule, {}},
                   separator,
                   {"Test &module\tCtrl+M", cmd::kTestModule, {}},
                   {"Test &function\tCtrl+F", cmd::kTestFunction, {}},
                   {"&Analyzer\tCtrl+A", cmd::kAnalyzer, {}},
                   {"Scan &bus\tCtrl+B", cmd::kScanBus, {}},
                   separator,
                   {"Communication m&onitor", cmd::kCommunicationMonitor, {}}};

    MenuItem ports{"&Serial port", 0, {}};
    for (int n = 1; n <= cmd::kPortCount; ++n)
        ports.items.push_back({"COM" + std::to_string(n), cmd::PortCommand(n), {}});
    ports.items.push_back({"&Network...", cmd::kNetwork, {}});

    MenuItem parity{"&Parity", 0, {}};
    parity.items = {{"No (2 stop bits)", cmd::ParityCommand(0), {}},
                    {"Odd", cmd::ParityCommand(1), {}},
                    {"Even", cmd::ParityCommand(2), {}},
                    {"No (1 stop bit)", cmd::ParityCommand(3), {}}};

    MenuItem setup{"&Setup", 0, {}};
    setup.items = {ports,
                   {"&Baudrate", cmd::kBaudrate, {}},
                   parity,
                   {"&Timeout", cmd::kTimeout, {}},
                   separator,
                   {"Sa&mpling time", cmd::kSamplingTime, {}},
                   {"Time ca&libration", cmd::kTimeCalibration, {}},
                   separator,
                   {"Pass&word", cmd::kPassword, {}}};

    MenuItem help{"&Help", 0, {}};
    help.items = {{"About", cmd::kAbout, {}}};

    return {file, tools, setup, help};
}

std::vector<ui::Accelerator> MainAccelerators()
{
    return {{'L', cmd::kLoad},       {'S', cmd::kSaveAs},
            {'X', cmd::kExit},       {'C', cmd::kConfigureModule},
            {'M', cmd::kTestModule}, {'F', cmd::kTestFunction},
            {'A', cmd::kAnalyzer},   {'B', cmd::kScanBus}};
}

} // namespace app
