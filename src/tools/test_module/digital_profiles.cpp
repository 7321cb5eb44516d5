// Panels of the digital modules: NODE-T01 (21), NODE-T02 (22), NODE-T03 (23)
// and NODE-T07 (40). They share one set of four fields, always under the same
// numbers, so a field keeps its place and identifiers when a model lacks the
// others. The monitor LED register came with firmware r.01.003: older modules
// reject it, so the whole-panel lists leave it out for them.
#include "tools/test_module/panel_profile.h"

namespace test_module {

namespace {

constexpr const char* kLeds = "r.01.003";

const PanelField kInputs{
    1, "Digital inputs (bit15-0)",          15,      70,     90, FieldKind::InputBits16,
    0, "Input Register 0 : Digital inputs", nullptr, nullptr};
const PanelField kOutputs{2,       "Digital outputs (bit7-0)",
                          15,      100,
                          50,      FieldKind::HoldingBits8,
                          0,       "Holding Register 0 : Digital outputs",
                          nullptr, nullptr};
const PanelField kFilter{3,   "Inputs filter",
                         15,  130,
                         50,  FieldKind::HoldingDecimal,
                         1,   "Holding Register 1 : Inputs filter. Valid: 0=NO, 1÷10 (x10ms)",
                         "0", "10"};
const PanelField kLedMode{4,
                          "Monitor LEDs",
                          15,
                          160,
                          50,
                          FieldKind::HoldingDecimal,
                          2,
                          "Holding Register 2 : Monitor LEDs mode. Valid: 0=NO, 1=State, 2=Test, "
                          "3=State/Test",
                          "0",
                          "3"};

const PanelProfile kPanel21{21,
                            270,
                            200,
                            {kInputs, kOutputs, kFilter, kLedMode},
                            {{1}, {2}, {3}, {4, kLeds}},
                            {{2}, {3}, {4, kLeds}},
                            {}};

const PanelProfile kPanel22{
    22, 270, 200, {kInputs, kFilter, kLedMode}, {{1}, {3}, {4, kLeds}}, {{3}, {4, kLeds}}, {}};

const PanelProfile kPanel23{
    23, 270, 200, {kOutputs, kLedMode}, {{2}, {4, kLeds}}, {{2}, {4, kLeds}}, {}};

const PanelProfile kPanel40{40, 270, 160, {kOutputs}, {{2}}, {{2}}, {}};

} // namespace

const std::vector<const PanelProfile*>& DigitalProfiles()
{
    static const std::vector<const PanelProfile*> kAll = {&kPanel21, &kPanel22, &kPanel23,
                                                          &kPanel40};
    return kAll;
}

} // namespace test_module
