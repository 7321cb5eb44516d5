// Panel of NODE-T05: four analog inputs, four analog outputs and the four
// channel configurations (input part in the low byte, output part in the
// high byte).
#include "tools/test_module/panel_profile.h"

namespace test_module {

namespace {

const PanelProfile kPanel{
    25,
    420,
    350,
    {
        {1, "Analog input 0", 15, 70, 50, FieldKind::InputDecimal, 0,
         "Input Register 0 : Analog input 0", nullptr, nullptr},
        {2, "Analog input 1", 15, 100, 50, FieldKind::InputDecimal, 1,
         "Input Register 1 : Analog input 1", nullptr, nullptr},
        {3, "Analog input 2", 15, 130, 50, FieldKind::InputDecimal, 2,
         "Input Register 2 : Analog input 2", nullptr, nullptr},
        {4, "Analog input 3", 15, 160, 50, FieldKind::InputDecimal, 3,
         "Input Register 3 : Analog input 3", nullptr, nullptr},
        {5, "Error flags", 15, 190, 90, FieldKind::InputBits16, 4,
         "Input Register 4 : Error flags (bit15÷14/7÷6=CH3...bit9÷8/1÷0=CH0). Refer to "
         "documentation",
         nullptr, nullptr},
        {6, "Analog output 0", 15, 220, 50, FieldKind::HoldingDecimal, 0,
         "Holding Register 0 : Analog output 0", "0", "65535"},
        {7, "Analog output 1", 15, 250, 50, FieldKind::HoldingDecimal, 1,
         "Holding Register 1 : Analog output 1", "0", "65535"},
        {8, "Analog output 2", 15, 280, 50, FieldKind::HoldingDecimal, 2,
         "Holding Register 2 : Analog output 2", "0", "65535"},
        {9, "Analog output 3", 15, 310, 50, FieldKind::HoldingDecimal, 3,
         "Holding Register 3 : Analog output 3", "0", "65535"},
        {10, "Config I/O of CH0", 115, 70, 50, FieldKind::HoldingDecimal, 4,
         "Holding Register 4 : Configuration of Analog input/output 0. Refer to documentation", "0",
         "65535"},
        {11, "Config I/O of CH1", 115, 100, 50, FieldKind::HoldingDecimal, 5,
         "Holding Register 5 : Configuration of Analog input/output 1. Refer to documentation", "0",
         "65535"},
        {12, "Config I/O of CH2", 115, 130, 50, FieldKind::HoldingDecimal, 6,
         "Holding Register 6 : Configuration of Analog input/output 2. Refer to documentation", "0",
         "65535"},
        {13, "Config I/O of CH3", 115, 160, 50, FieldKind::HoldingDecimal, 7,
         "Holding Register 7 : Configuration of Analog input/output 3. Refer to documentation", "0",
         "65535"},
    },
    {{1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}, {10}, {11}, {12}, {13}},
    {{6}, {7}, {8}, {9}, {10}, {11}, {12}, {13}},
    {
        {"To select the type of a channel, the Config value must be written."},
        {"The Conf code can be written only once because it is stored permanently."},
        {""},
        {"Input       : Conf"},
        {"------------------"},
        {"Disabled    :   0"},
        {"Voltage In  :   1"},
        {"Current In  :   2"},
        {"Voltage Out : 256"},
        {"Current Out : 512"},
        {"Vin + Vout  : 257"},
        {"Cin + Vout  : 258"},
        {"Vin + Cout  : 513"},
        {"Cin + Cout  : 514"},
    }};

} // namespace

const PanelProfile& Panel25() { return kPanel; }

} // namespace test_module
