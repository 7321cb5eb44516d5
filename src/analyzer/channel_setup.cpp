// The Channel setup dialog, built with the form toolkit's field builders on
// a modal dialog of the platform layer.
#include "analyzer/channel_setup.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string>

#include "analyzer/analyzer_ids.h"
#include "analyzer/channel_cells.h"
#include "analyzer/channel_store.h"
#include "analyzer/channel_table.h"
#include "app/config_store.h"
#include "app/forms/builders.h"
#include "app/forms/parameter_entry.h"
#include "app/shell.h"
#include "strings/number_parse.h"

namespace analyzer {
namespace {

// Real and Mask: stored as typed, like Text, but a text the number rule
// cannot read whole is shown as invalid.
enum class Entry { Check, Text, Real, Mask, Number, Colour, TypeFrame, Option, Frame, Data, Order };

struct SetupField {
    int id;
    const char* key; // the field's part of the channel key: ENABLE, ...
    Entry entry;
    const char* minimum; // Number only
    const char* maximum;
    const char* hint;
};

#define VISUALIZATION "Visualization = ((Value AND Mask) >> Shift) * Gain + Offset"
#define DATA_HINT                                                                                  \
    "Data type of value (32-bit types span Word address and the next register). Valid: 16BIT / "   \
    "UINT32 / INT32 / FLOAT32"
#define ORDER_HINT                                                                                 \
    "Byte order of 32-bit value, A most significant (ABCD: first register holds A B). Valid: "     \
    "ABCD / CDAB / BADC / DCBA"

// Every field the dialog reacts to, with what its notifications store.
constexpr SetupField kFields[] = {
    {kSetupEnableId, "ENABLE", Entry::Check, "", "", "Enable channnel. Valid: 0÷1"},
    {kSetupPlotId, "PLOT", Entry::Check, "", "", "Enable channel plotting. Valid: 0÷1"},
    {kSetupLabelId, "LABEL", Entry::Text, "", "", "Description string of channel"},
    {kSetupSlaveId, "SLAVE_ADD", Entry::Number, "1", "247",
     "Address of Modbus slave. Valid: 1÷247"},
    {kSetupWordId, "WORD_ADD", Entry::Number, "0", "65535",
     "Word address of register. Valid: 0÷65535"},
    {kSetupTypeId, "TYPE", Entry::TypeFrame, "", "",
     "Type of register. Valid: INPUT_REG / HOLD_REG"},
    {kSetupInputRegId, "TYPE", Entry::Option, "", "",
     "Type of register. Valid: INPUT_REG / HOLD_REG"},
    {kSetupHoldRegId, "TYPE", Entry::Option, "", "",
     "Type of register. Valid: INPUT_REG / HOLD_REG"},
    {kSetupSignedId, "SIGNED", Entry::Check, "", "", "Signed word value. Valid: 0÷1"},
    {kSetupMaskId, "MASK", Entry::Mask, "", "",
     "Hexadecimal mask (only for unsigned). Valid: 0000÷FFFF. " VISUALIZATION},
    {kSetupShiftId, "SHIFT", Entry::Number, "0", "15",
     "Number of right shift (only for unsigned). Valid: 0÷15. " VISUALIZATION},
    {kSetupGainId, "GAIN", Entry::Real, "", "", "Gain of value (example 10.5). " VISUALIZATION},
    {kSetupOffsetId, "OFFSET", Entry::Real, "", "",
     "Offset of value (example 100.5). " VISUALIZATION},
    {kSetupFormatId, "FORMAT", Entry::Text, "", "", "Visualization format string (example 0000.0)"},
    {kSetupForeColourId, "FORE_COLOR", Entry::Colour, "", "", "Foreground color of channel"},
    {kSetupBackColourId, "BACK_COLOR", Entry::Colour, "", "", "Background color of channel"},
    {kSetupPlotColourId, "PLOT_COLOR", Entry::Colour, "", "", "Pen color for channel plotting"},
    {kSetupPlotWidthId, "PLOT_WIDTH", Entry::Number, "1", "10", "Pen width for channel plotting"},
    {kSetupDataId, "DATA", Entry::Frame, "", "", DATA_HINT},
    {kSetupDataId + 1, "DATA", Entry::Data, "", "", DATA_HINT},
    {kSetupDataId + 2, "DATA", Entry::Data, "", "", DATA_HINT},
    {kSetupDataId + 3, "DATA", Entry::Data, "", "", DATA_HINT},
    {kSetupDataId + 4, "DATA", Entry::Data, "", "", DATA_HINT},
    {kSetupOrderId, "ORDER", Entry::Frame, "", "", ORDER_HINT},
    {kSetupOrderId + 1, "ORDER", Entry::Order, "", "", ORDER_HINT},
    {kSetupOrderId + 2, "ORDER", Entry::Order, "", "", ORDER_HINT},
    {kSetupOrderId + 3, "ORDER", Entry::Order, "", "", ORDER_HINT},
    {kSetupOrderId + 4, "ORDER", Entry::Order, "", "", ORDER_HINT},
};

#undef VISUALIZATION
#undef DATA_HINT
#undef ORDER_HINT

// DATA and ORDER are optional keys: a file without them has 16-bit ABCD
// channels, and a key is added, after the channel's last one, only when
// the user picks another choice.
constexpr char kOptionalAfter[] = "PLOT_WIDTH";

// The channel whose dialog is open; -1 when none is.
int open_index = -1;

std::string Key(const char* field) { return ChannelKey(open_index, field); }

// Empty when the program reads the whole text as the number typed; else
// which number it uses instead and why, for the status bar. Loading keeps
// the leading number only, so "0,5" would silently become a gain of 0.
std::string RealProblem(const char* caption, const std::string& text)
{
    const size_t used = strings::NumberLength(text);
    if (used > 0 && text.find_first_not_of(" \t", used) == std::string::npos)
        return "";
    char number[64];
    const double value = RealFromText(text);
    const std::to_chars_result end = std::to_chars(number, number + sizeof number, value);
    const char* why = text.find(',') != std::string::npos ? "the decimal separator is a point"
                      : used == 0                         ? "it holds no number"
                                                          : "only the number at its start counts";
    return std::string(caption) + " \"" + text + "\" is read as " + std::string(number, end.ptr) +
           ": " + why;
}

// Colours a box by whether its text reads whole; returns the problem.
std::string ShowProblem(int id, const std::string& problem)
{
    ui::SetColours(id, ui::kDefaultColour, problem.empty() ? app::FieldColour : app::ErrorColour);
    ui::Redraw(id);
    return problem;
}

const char* RealCaption(int id) { return id == kSetupGainId ? "Gain" : "Offset"; }

// Colours the box of a GAIN or OFFSET field by whether its text reads whole,
// and returns what RealProblem says of it.
std::string CheckReal(int id)
{
    return ShowProblem(id, RealProblem(RealCaption(id), ui::GetText(id)));
}

// Empty when the text is the hexadecimal number of a mask; else the mask
// the channel uses instead and why. "XYZ" would silently mask every bit.
std::string MaskProblem(const std::string& text)
{
    const size_t from = text.find_first_not_of(" \t");
    const size_t start = from == std::string::npos ? text.size() : from;
    size_t end = start;
    while (end < text.size() && std::isxdigit(static_cast<unsigned char>(text[end])))
        ++end;
    const size_t first = text.find_first_not_of('0', start);
    const size_t significant = first == std::string::npos || first > end ? 0 : end - first;
    const bool whole = text.find_first_not_of(" \t", end) == std::string::npos;
    if (end > start && whole && significant <= 4)
        return "";
    char mask[8];
    std::snprintf(mask, sizeof mask, "%04X", unsigned(MaskFromText(text)));
    const char* why = end == start ? "it holds no hexadecimal number"
                      : !whole     ? "only the digits at its start count"
                                   : "a mask has four hexadecimal digits at most";
    return "Mask \"" + text + "\" is read as " + mask + ": " + why;
}

std::string CheckMask()
{
    return ShowProblem(kSetupMaskId, MaskProblem(ui::GetText(kSetupMaskId)));
}

// A 32-bit value is used whole and its type gives its sign, so the three
// fields of a 16-bit word are greyed while such a type is chosen.
constexpr char kWideReason[] =
    "Signed, Mask and Right shift apply to 16-bit values only: a 32-bit type uses every bit and "
    "gives its own sign";

void GreyWordFields(bool wide)
{
    for (int id :
         {kSetupSignedId, kSetupMaskId, kSetupMaskId + 1, kSetupShiftId, kSetupShiftId + 1})
        ui::Enable(id, !wide);
}

std::string OptionalValue(const char* field)
{
    std::string value;
    return app::FindConfigKey(app::CfgPath, Key(field), &value) ? value : std::string();
}

// A frame of four options in two rows of two, the one at `checked` set;
// the Channel setup dialog's only four-way choices.
void AddOptionGrid(int id, const char* caption, const char* const (&texts)[4], int checked, int x,
                   int y)
{
    const ui::Colour black = ui::Rgb(0, 0, 0);
    ui::CreateControl({.kind = ui::Kind::Frame,
                       .id = id,
                       .text = caption,
                       .x = x,
                       .y = y,
                       .w = 100,
                       .h = 45,
                       .style = ui::kTabStop,
                       .text_colour = black,
                       .back_colour = app::PanelColour});
    for (int k = 0; k < 4; ++k) {
        ui::CreateControl({.kind = ui::Kind::Option,
                           .id = id + 1 + k,
                           .text = texts[k],
                           .x = x + 5 + 47 * (k % 2),
                           .y = y + 10 + 15 * (k / 2),
                           .w = 45,
                           .h = 15,
                           .text_colour = black,
                           .back_colour = app::PanelColour,
                           .group = id});
        ui::SetChecked(id + 1 + k, k == checked);
    }
}

// Stores the option's word when it is checked and differs from what the
// file means now (a missing key means the first option).
void CommitFourWay(int id, const char* field, const char* const (&texts)[4], const char* hint)
{
    app::ShowStatus(hint, 0);
    const int k = (id - kSetupDataId) % 10 - 1; // the option's place in its frame
    if (!ui::IsChecked(id))
        return;
    const std::string now = OptionalValue(field);
    const bool same = field == std::string("DATA")
                          ? DataTypeFromText(now) == DataTypeFromText(texts[k])
                          : WordOrderFromText(now) == WordOrderFromText(texts[k]);
    if (!same)
        app::WriteOptionalConfigKey(app::CfgPath, Key(field), texts[k], Key(kOptionalAfter));
}

void BuildFields()
{
    // The value fields are never read-only here.
    forms::AddCheckField(kSetupEnableId, Key("ENABLE"), "Enable", 15, 10, 50);
    forms::AddCheckField(kSetupPlotId, Key("PLOT"), "Plot", 80, 10, 50);
    forms::AddTextField(kSetupLabelId, Key("LABEL"), "Channel label", 15, 30, 200, false);
    forms::AddValueField(kSetupSlaveId, Key("SLAVE_ADD"), "Slave address", 15, 60, 50, false);
    forms::AddValueField(kSetupWordId, Key("WORD_ADD"), "Word address", 15, 90, 50, false);
    forms::AddChoiceField(kSetupTypeId, Key("TYPE"), "Register type", "INPUT_REG", "HOLD_REG", 15,
                          120, 70);
    forms::AddCheckField(kSetupSignedId, Key("SIGNED"), "Signed", 15, 170, 50);
    forms::AddValueField(kSetupMaskId, Key("MASK"), "Mask", 100, 60, 50, false);
    forms::AddValueField(kSetupShiftId, Key("SHIFT"), "Right shift", 100, 90, 50, false);
    forms::AddValueField(kSetupGainId, Key("GAIN"), "Gain", 100, 120, 50, false);
    forms::AddValueField(kSetupOffsetId, Key("OFFSET"), "Offset", 100, 150, 50, false);
    forms::AddValueField(kSetupFormatId, Key("FORMAT"), "Format", 100, 180, 50, false);
    forms::AddColourField(kSetupForeColourId, Key("FORE_COLOR"), "Foreground color", 165, 60, 60);
    forms::AddColourField(kSetupBackColourId, Key("BACK_COLOR"), "Background color", 165, 90, 60);
    forms::AddColourField(kSetupPlotColourId, Key("PLOT_COLOR"), "Plot pen color", 165, 120, 60);
    forms::AddValueField(kSetupPlotWidthId, Key("PLOT_WIDTH"), "Plot pen width", 165, 150, 50,
                         false);
    AddOptionGrid(kSetupDataId, "Data type", kDataTypeTexts,
                  int(DataTypeFromText(OptionalValue("DATA"))), 15, 210);
    AddOptionGrid(kSetupOrderId, "Byte order", kWordOrderTexts,
                  int(WordOrderFromText(OptionalValue("ORDER"))), 125, 210);
    // A hand-edited "0,5" shows as invalid before it is touched.
    CheckReal(kSetupGainId);
    CheckReal(kSetupOffsetId);
    CheckMask();
    if (DataTypeFromText(OptionalValue("DATA")) != DataType::Word16) {
        GreyWordFields(true);
        app::ShowStatus(kWideReason, 0);
    }
}

const SetupField* FieldOf(int id)
{
    for (const SetupField& f : kFields)
        if (f.id == id)
            return &f;
    return nullptr;
}

} // namespace

void OpenChannelSetup(int index)
{
    if (index < 0 || index >= kChannelCount || open_index >= 0)
        return;
    open_index = index;
    ui::DialogSpec spec;
    spec.title = "Channel setup - " + ChannelName(index);
    spec.w_dlu = 230;
    spec.h_dlu = 275; // the data type and byte order below the fields of old
    spec.background = app::PanelColour;
    ui::RunDialog(spec, BuildFields);
    open_index = -1;
    // What the dialog stored reaches reading, writing and plotting only now.
    LoadChannels(app::CfgPath);
    RefreshCell(index);
}

bool IsSetupControl(int id) { return open_index >= 0 && FieldOf(id) != nullptr; }

void SetupCommand(int id)
{
    const SetupField* f = FieldOf(id);
    if (open_index < 0 || f == nullptr)
        return;
    const std::string key = Key(f->key);
    switch (f->entry) {
    case Entry::Check: forms::CommitCheck(id, key, f->hint); break;
    case Entry::Text: forms::CommitText(id, key, f->hint, false); break;
    case Entry::Real:
        forms::CommitText(id, key, f->hint, false);
        if (const std::string problem = CheckReal(id); !problem.empty())
            app::ShowStatus(problem, 0); // in place of the hint
        break;
    case Entry::Mask:
        forms::CommitText(id, key, f->hint, false);
        if (const std::string problem = CheckMask(); !problem.empty())
            app::ShowStatus(problem, 0);
        break;
    case Entry::Number: forms::CommitNumber(id, key, f->minimum, f->maximum, f->hint, false); break;
    case Entry::Colour: forms::ChooseColourAndStore(id, key, f->hint); break;
    case Entry::TypeFrame: app::ShowStatus(f->hint, 0); break;
    case Entry::Option:
        forms::CommitOption(id, key, id == kSetupInputRegId ? "INPUT_REG" : "HOLD_REG", f->hint);
        break;
    case Entry::Frame: app::ShowStatus(f->hint, 0); break;
    case Entry::Data:
        CommitFourWay(id, "DATA", kDataTypeTexts, f->hint);
        if (ui::IsChecked(id)) {
            const bool wide = id != kSetupDataId + 1; // the first option is 16BIT
            GreyWordFields(wide);
            if (wide)
                app::ShowStatus(kWideReason, 0);
        }
        break;
    case Entry::Order: CommitFourWay(id, "ORDER", kWordOrderTexts, f->hint); break;
    }
}

} // namespace analyzer
