// The menu of the main window. Item texts carry their accelerator after a
// tab, as the window system shows them.
#include "app/menu.h"

#include <string>

namespace app {

std::vector<ui::MenuItem> BuildMainMenu()
{
    using ui::MenuItem;
    const MenuItem separator{"", 0, {}};

    MenuItem file{"&File", 0, {}};
    file.items = {{"&Load...\tCtrl+L", 1101, {}},
                  {"&Save As...\tCtrl+S", 1201, {}},
                  separator,
                  {"E&xit\tCtrl+X", 1301, {}}};

    MenuItem tools{"&Tools", 0, {}};
    tools.items = {{"&Configure module\tCtrl+C", 2101, {}},
                   separator,
                   {"Test &module\tCtrl+M", 2102, {}},
                   {"Test &function\tCtrl+F", 2103, {}},
                   {"&Analyzer\tCtrl+A", 2104, {}}};

    MenuItem ports{"&Serial port", 0, {}};
    for (int n = 1; n <= 8; ++n)
        ports.items.push_back({"COM" + std::to_string(n), 3100 + n, {}});

    MenuItem parity{"&Parity", 0, {}};
    parity.items = {{"No (2 stop bits)", 3301, {}},
                    {"Odd", 3302, {}},
                    {"Even", 3303, {}},
                    {"No (1 stop bit)", 3304, {}}};

    MenuItem setup{"&Setup", 0, {}};
    setup.items = {ports,
                   {"&Baudrate", 3201, {}},
                   parity,
                   {"&Timeout", 3401, {}},
                   separator,
                   {"Sa&mpling time", 3501, {}},
                   {"Time ca&libration", 3601, {}},
                   separator,
                   {"Pass&word", 3701, {}}};

    MenuItem help{"&Help", 0, {}};
    help.items = {{"About", 4101, {}}};

    return {file, tools, setup, help};
}

std::vector<ui::Accelerator> MainAccelerators()
{
    return {{'L', 1101}, {'S', 1201}, {'X', 1301}, {'C', 2101},
            {'M', 2102}, {'F', 2103}, {'A', 2104}};
}

} // namespace app
