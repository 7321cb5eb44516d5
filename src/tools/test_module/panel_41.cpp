// Panel of NODE-T08: two analog inputs, two resistive inputs, six digital
// inputs, four digital outputs and the inputs filter. Every field has a
// register of its own (the measurements start at input register 1 and the
// configurations at holding register 2, behind the digital registers), and
// its own buttons, its help text and the whole-panel lists all use it.
#include "tools/test_module/panel_profile.h"

namespace test_module {

namespace {

const PanelProfile kPanel{
    41,
    420,
    350,
    {
        {1, "Analog input 0", 15, 70, 50, FieldKind::InputDecimal, 1,
         "Input Register 1 : Analog input 0 (CH0)", nullptr, nullptr},
        {2, "Analog input 1", 15, 100, 50, FieldKind::InputDecimal, 2,
         "Input Register 2 : Analog input 1 (CH1)", nullptr, nullptr},
        {3, "RES1 input", 15, 130, 50, FieldKind::InputDecimal, 3,
         "Input Register 3 : RES1 input (CH2)", nullptr, nullptr},
        {4, "RES2 input", 15, 160, 50, FieldKind::InputDecimal, 4,
         "Input Register 4 : RES2 input (CH3)", nullptr, nullptr},
        {5, "Error flags", 15, 190, 90, FieldKind::InputBits16, 5,
         "Input Register 5 : Error flags (bit7÷6=CH3...bit1÷0=CH0). Refer to documentation",
         nullptr, nullptr},
        {6, "Config input 0", 115, 70, 50, FieldKind::HoldingDecimal, 2,
         "Holding Register 2 : Configuration of Analog input 0 (CH0). Refer to documentation", "0",
         "255"},
        {7, "Config input 1", 115, 100, 50, FieldKind::HoldingDecimal, 3,
         "Holding Register 3 : Configuration of Analog input 1 (CH1). Refer to documentation", "0",
         "255"},
        {8, "Config RES1", 115, 130, 50, FieldKind::HoldingDecimal, 4,
         "Holding Register 4 : Configuration of RES1 input (CH2). Refer to documentation", "0",
         "255"},
        {9, "Config RES2", 115, 160, 50, FieldKind::HoldingDecimal, 5,
         "Holding Register 5 : Configuration of RES2 input (CH3). Refer to documentation", "0",
         "255"},
        {10, "Digital inputs (bit5-0)", 15, 250, 50, FieldKind::InputBits8, 0,
         "Input Register 0 : Digital inputs", nullptr, nullptr},
        {11, "Digital outputs (bit3-0)", 15, 280, 50, FieldKind::HoldingBits8, 0,
         "Holding Register 0 : Digital outputs", nullptr, nullptr},
        {12, "Inputs filter", 15, 310, 50, FieldKind::HoldingDecimal, 1,
         "Holding Register 1 : Inputs filter. Valid: 0=NO, 1÷10 (x10ms)", "0", "10"},
    },
    {{1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}, {10}, {11}, {12}},
    {{6}, {7}, {8}, {9}, {11}, {12}},
    {
        {"To select the type of a channel, the Config value must be written."},
        {"The Conf code can be written only once because it is stored permanently."},
        {""},
        {"Analog input 0/1 : Conf"},
        {"-----------------------"},
        {"Disabled         : 0"},
        {"Voltage In 10V   : 1"},
        {"Current In 20mA  : 2"},
        {""},
        {"RES1/2 input     : Conf"},
        {"-----------------------"},
        {"Disabled         : 0"},
        {"NTC 10K B=3435   : 1"},
        {"NTC 10K B=3610   : 2"},
        {"NTC 10K B=3960   : 3"},
        {"NTC 10K B=3977   : 4"},
        {"NTC 10K B=3984   : 5"},
        {"PT1000           : 6"},
        {"KTY81-1          : 7"},
        {"KTY81-2          : 8"},
        {"KTY84            : 9"},
    }};

} // namespace

const PanelProfile& Panel41() { return kPanel; }

} // namespace test_module
