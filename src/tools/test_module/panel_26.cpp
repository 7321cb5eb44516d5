// Panel of NODE-T06: four analog inputs and their configurations. Its
// fields keep the numbers they have on the NODE-T05 panel, so 6 to 9 are
// absent.
#include "tools/test_module/panel_profile.h"

namespace test_module {

namespace {

const PanelProfile kPanel{
    26,
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
         "Input Register 4 : Error flags (bit7÷6=CH3...bit1÷0=CH0). Refer to documentation",
         nullptr, nullptr},
        {10, "Config input 0", 115, 70, 50, FieldKind::HoldingDecimal, 0,
         "Holding Register 0 : Configuration of Analog input 0. Refer to documentation", "0",
         "255"},
        {11, "Config input 1", 115, 100, 50, FieldKind::HoldingDecimal, 1,
         "Holding Register 1 : Configuration of Analog input 1. Refer to documentation", "0",
         "255"},
        {12, "Config input 2", 115, 130, 50, FieldKind::HoldingDecimal, 2,
         "Holding Register 2 : Configuration of Analog input 2. Refer to documentation", "0",
         "255"},
        {13, "Config input 3", 115, 160, 50, FieldKind::HoldingDecimal, 3,
         "Holding Register 3 : Configuration of Analog input 3. Refer to documentation", "0",
         "255"},
    },
    {{1}, {2}, {3}, {4}, {5}, {10}, {11}, {12}, {13}},
    {{10}, {11}, {12}, {13}},
    {
        {"To select the type of a channel, the Config value must be written."},
        {"The Conf code can be written only once because it is stored permanently."},
        {""},
        {"Input      : Conf"},
        {"-----------------"},
        {"Disabled   : 0"},
        {"Voltage In : 1"},
        {"Current In : 2"},
    }};

} // namespace

const PanelProfile& Panel26() { return kPanel; }

} // namespace test_module
