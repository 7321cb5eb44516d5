// The control builders: one look for every panel.
#include "app/forms/builders.h"

#include <map>

#include "app/config_store.h"
#include "app/forms/form_rules.h"
#include "app/shell.h"

namespace forms {

namespace {

constexpr ui::Colour kBlack = ui::Rgb(0, 0, 0);
constexpr ui::Colour kTitleText = ui::Rgb(255, 255, 255);
constexpr ui::Colour kTitleBack = ui::Rgb(2, 28, 53);
constexpr ui::Colour kResultBack = ui::Rgb(249, 249, 249);

// What a builder made under a base id, so that RemoveControls destroys
// exactly that (a check box has no caption at id+1 that could belong to a
// neighbour) and a channel row can be rebuilt where it stands: the window
// API does not report a control's geometry.
struct Built {
    int count = 1;
    int x = 0, y = 0, w = 0, h = 0; // of the control at the base id
};
std::map<int, Built> built;

void Remember(int id, int count, const ui::ControlSpec& base)
{
    built[id] = Built{count, base.x, base.y, base.w, base.h};
}

// Stored colours are R + 256*G + 65536*B; anything above that would read as
// "the control's own colour" to the window API.
ui::Colour ColourOf(uint64_t value) { return ui::Colour(value & 0xFFFFFF); }

void CreateCaption(int id, const std::string& text, int x, int y, int width)
{
    ui::CreateControl({.kind = ui::Kind::Label,
                       .id = id,
                       .text = text,
                       .x = x,
                       .y = y,
                       .w = width,
                       .h = 9,
                       .text_colour = kBlack,
                       .back_colour = app::PanelColour});
}

ui::ControlSpec InputBox(int id, const std::string& text, int x, int y, int width, int height,
                         unsigned style)
{
    return {.kind = ui::Kind::Edit,
            .id = id,
            .text = text,
            .x = x,
            .y = y,
            .w = width,
            .h = height,
            .style = style | ui::kTabStop | ui::kClientEdge,
            .font = ui::Font::Value,
            .text_colour = kBlack,
            .back_colour = app::FieldColour};
}

unsigned ReadOnlyStyle(bool read_only) { return read_only ? ui::kReadOnly : 0u; }

// A caption over a single-line box.
void CreateLineField(int id, const std::string& text, const std::string& caption, int x, int y,
                     int width, unsigned style)
{
    CreateCaption(id + 1, caption, x, y, 2 * width);
    ui::ControlSpec box = InputBox(id, text, x, y + 10, width, 15, style);
    ui::CreateControl(box);
    Remember(id, 2, box);
}

void CreateListField(int id, const std::string& text, const std::string& caption, int x, int y,
                     int width, int height, bool read_only)
{
    CreateCaption(id + 1, caption, x, y, 2 * width);
    ui::ControlSpec box = InputBox(id, text, x, y + 10, width, height,
                                   ui::kMultiLine | ui::kAlignRight | ReadOnlyStyle(read_only));
    ui::CreateControl(box);
    Remember(id, 2, box);
}

ui::ControlSpec ChannelValueBox(int id, const std::string& text, int x, int y, int width,
                                bool read_only, ui::Colour text_colour, ui::Colour back_colour)
{
    ui::ControlSpec box =
        InputBox(id, text, x, y, width, 15, ui::kAlignRight | ReadOnlyStyle(read_only));
    box.text_colour = ColourOf(text_colour);
    box.back_colour = ColourOf(back_colour);
    return box;
}

void EnableChannelRow(int id, bool read_only, bool enabled)
{
    // "S" (setup) stays usable so that a disabled channel can be enabled.
    ui::Enable(id, enabled);
    ui::Enable(id + 1, enabled);
    ui::Enable(id + 2, true);
    ui::Enable(id + 3, enabled);
    ui::Enable(id + 4, enabled && !read_only);
}

} // namespace

void AddTitleBar(int id, const std::string& text, int x, int y, int width)
{
    const ui::ControlSpec spec{.kind = ui::Kind::Label,
                               .id = id,
                               .text = text,
                               .x = x,
                               .y = y,
                               .w = width,
                               .h = 15,
                               .font = ui::Font::Title,
                               .text_colour = kTitleText,
                               .back_colour = kTitleBack};
    ui::CreateControl(spec);
    Remember(id, 1, spec);
}

void AddSeparator(int id, int x, int y, int width)
{
    const ui::ControlSpec spec{.kind = ui::Kind::Separator,
                               .id = id,
                               .text = {},
                               .x = x,
                               .y = y,
                               .w = width,
                               .h = 2,
                               .back_colour = app::PanelColour};
    ui::CreateControl(spec);
    Remember(id, 1, spec);
}

void AddButton(int id, const std::string& text, int x, int y, int width)
{
    const ui::ControlSpec spec{.kind = ui::Kind::Button,
                               .id = id,
                               .text = text,
                               .x = x,
                               .y = y,
                               .w = width,
                               .h = 15,
                               .style = ui::kClientEdge};
    ui::CreateControl(spec);
    Remember(id, 1, spec);
}

void AddValueField(int id, const std::string& key, const std::string& caption, int x, int y,
                   int width, bool read_only)
{
    CreateLineField(id, app::ReadConfigKey(app::CfgPath, key), caption, x, y, width,
                    ui::kAlignRight | ReadOnlyStyle(read_only));
}

void AddSteppedField(int id, const std::string& key, const std::string& caption, int x, int y)
{
    // Creation order is the tab order: the steppers follow their box.
    AddValueField(id, key, caption, x, y, 50, false);
    AddButton(id + 2, "<", x + 55, y + 10, 15);
    AddButton(id + 3, ">", x + 75, y + 10, 15);
}

void AddSlaveAddressRow(int id, const std::string& key)
{
    AddSteppedField(id, key, "Slave address", 15, 30);
}

void AddTextField(int id, const std::string& key, const std::string& caption, int x, int y,
                  int width, bool read_only)
{
    CreateLineField(id, app::ReadConfigKey(app::CfgPath, key), caption, x, y, width,
                    ReadOnlyStyle(read_only));
}

void AddValueListField(int id, const std::string& key, const std::string& caption, int x, int y,
                       int width, int height, bool read_only)
{
    CreateListField(id, ListTextForBox(app::ReadConfigKey(app::CfgPath, key)), caption, x, y, width,
                    height, read_only);
}

void AddDisplayField(int id, const std::string& caption, int x, int y, int width, bool read_only)
{
    CreateLineField(id, "", caption, x, y, width, ui::kAlignRight | ReadOnlyStyle(read_only));
}

void AddDisplayListField(int id, const std::string& caption, int x, int y, int width, int height,
                         bool read_only)
{
    CreateListField(id, "", caption, x, y, width, height, read_only);
}

void AddResultWindow(int id, const std::string& caption, int x, int y, int width, int height)
{
    CreateCaption(id + 1, caption, x, y, 2 * width);
    const ui::ControlSpec box{.kind = ui::Kind::Edit,
                              .id = id,
                              .text = {},
                              .x = x,
                              .y = y + 10,
                              .w = width,
                              .h = height,
                              .style = ui::kMultiLine | ui::kReadOnly,
                              .font = ui::Font::Result,
                              .text_colour = kBlack,
                              .back_colour = kResultBack};
    ui::CreateControl(box);
    Remember(id, 2, box);
}

void AddCheckField(int id, const std::string& key, const std::string& caption, int x, int y,
                   int width)
{
    const ui::ControlSpec spec{.kind = ui::Kind::Check,
                               .id = id,
                               .text = caption,
                               .x = x,
                               .y = y,
                               .w = width,
                               .h = 15,
                               .style = ui::kTabStop,
                               .text_colour = kBlack,
                               .back_colour = app::PanelColour};
    ui::CreateControl(spec);
    ui::SetChecked(id, app::ReadConfigKey(app::CfgPath, key) == "1");
    Remember(id, 1, spec);
}

void AddChoiceField(int id, const std::string& key, const std::string& caption,
                    const std::string& text1, const std::string& text2, int x, int y, int width)
{
    const ui::ControlSpec frame{.kind = ui::Kind::Frame,
                                .id = id,
                                .text = caption,
                                .x = x,
                                .y = y,
                                .w = width,
                                .h = 45,
                                .style = ui::kTabStop,
                                .text_colour = kBlack,
                                .back_colour = app::PanelColour};
    ui::CreateControl(frame);

    const std::string value = app::ReadConfigKey(app::CfgPath, key);
    const std::string* texts[2] = {&text1, &text2};
    bool one_checked = false;
    for (int k = 0; k < 2; ++k) {
        const ui::ControlSpec option{.kind = ui::Kind::Option,
                                     .id = id + 1 + k,
                                     .text = *texts[k],
                                     .x = x + 5,
                                     .y = y + 10 + 15 * k,
                                     .w = width - 10,
                                     .h = 15,
                                     .text_colour = kBlack,
                                     .back_colour = app::PanelColour,
                                     .group = id};
        ui::CreateControl(option);
        // Two equal texts must not leave the group with two checked options.
        bool checked = !one_checked && *texts[k] == value;
        ui::SetChecked(option.id, checked);
        one_checked = one_checked || checked;
    }
    Remember(id, 3, frame);
}

void AddColourField(int id, const std::string& key, const std::string& caption, int x, int y,
                    int width)
{
    const ui::Colour back = ColourOf(strings::ParseInteger(app::ReadConfigKey(app::CfgPath, key)));
    const ui::ControlSpec swatch{.kind = ui::Kind::Swatch,
                                 .id = id,
                                 .text = {},
                                 .x = x,
                                 .y = y + 10,
                                 .w = 15,
                                 .h = 15,
                                 .style = ui::kTabStop | ui::kClientEdge,
                                 .back_colour = back};
    ui::CreateControl(swatch);
    CreateCaption(id + 1, caption, x, y, width);
    Remember(id, 2, swatch);
}

void AddChannelRow(int id, const std::string& caption, int x, int y, int width, bool read_only,
                   bool enabled, ui::Colour text_colour, ui::Colour back_colour)
{
    ui::ControlSpec box =
        ChannelValueBox(id, "", x, y + 10, width, read_only, text_colour, back_colour);
    ui::CreateControl(box);
    CreateCaption(id + 1, caption, x, y, 2 * width);
    const char* letters[3] = {"S", "R", "W"};
    for (int k = 0; k < 3; ++k) {
        ui::CreateControl({.kind = ui::Kind::Button,
                           .id = id + 2 + k,
                           .text = letters[k],
                           .x = x + width + 5 + 15 * k,
                           .y = y + 10,
                           .w = 15,
                           .h = 15,
                           .style = ui::kClientEdge});
    }
    EnableChannelRow(id, read_only, enabled);
    Remember(id, 5, box);
}

void RebuildChannelValue(int id, const std::string& caption, bool read_only, bool enabled,
                         ui::Colour text_colour, ui::Colour back_colour)
{
    auto row = built.find(id);
    if (row == built.end() || row->second.count != 5 || !ui::ControlExists(id))
        return;
    const Built& where = row->second;
    // The window API cannot change a box's read-only state in place, so the
    // box is made again under the same identifier.
    ui::ControlSpec box = ChannelValueBox(id, ui::GetText(id), where.x, where.y, where.w, read_only,
                                          text_colour, back_colour);
    box.h = where.h;
    ui::CreateControl(box);
    ui::SetText(id + 1, caption);
    EnableChannelRow(id, read_only, enabled);
}

void ResetChannelRow(int id, const std::string& caption, bool read_only, bool enabled,
                     ui::Colour text_colour, ui::Colour back_colour)
{
    auto row = built.find(id);
    if (row == built.end() || row->second.count != 5 || !ui::ControlExists(id))
        return;
    const Built& where = row->second;
    const ui::Colour text = ColourOf(text_colour), back = ColourOf(back_colour);
    // Only what differs is done: a new box costs far more than its colours.
    if (!ui::GetText(id).empty() || ui::IsReadOnly(id) != read_only) {
        ui::ControlSpec box =
            ChannelValueBox(id, "", where.x, where.y, where.w, read_only, text_colour, back_colour);
        box.h = where.h;
        ui::CreateControl(box);
    } else if (ui::GetTextColour(id) != text || ui::GetBackColour(id) != back) {
        ui::SetColours(id, text, back);
    }
    if (ui::GetText(id + 1) != caption)
        ui::SetText(id + 1, caption);
    EnableChannelRow(id, read_only, enabled);
}

void RemoveControls(int id)
{
    auto entry = built.find(id);
    int count = entry == built.end() ? 1 : entry->second.count;
    for (int k = 0; k < count; ++k) {
        if (ui::ControlExists(id + k))
            ui::DestroyControl(id + k);
    }
    if (entry != built.end())
        built.erase(entry);
}

} // namespace forms
