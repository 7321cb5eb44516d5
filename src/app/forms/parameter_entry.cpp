// Parameter entry: hint, range check, colour, store.
#include "app/forms/parameter_entry.h"

#include "app/config_store.h"
#include "app/forms/form_rules.h"
#include "app/shell.h"

namespace forms {

namespace {

// Whether the last list commit left its field in the error colour. One for
// all list fields: it only decides whether a repaint is due.
bool list_error_shown = false;

// The user's custom colours of the colour dialog, kept for the session.
ui::Colour custom_colours[16] = {};

void Paint(int id, bool error)
{
    ui::SetColours(id, ui::kDefaultColour, error ? app::ErrorColour : app::FieldColour);
    ui::Redraw(id);
}

} // namespace

void CommitNumber(int id, const std::string& key, const std::string& minimum,
                  const std::string& maximum, const std::string& hint, bool disabled)
{
    app::ShowStatus(hint, 0);
    if (disabled)
        return;
    bool error = false;
    std::string value = ValueToStore(ui::GetText(id), minimum, maximum, &error);
    Paint(id, error);
    app::WriteConfigKey(app::CfgPath, key, value);
}

void CommitNumberList(int id, const std::string& key, const std::string& minimum,
                      const std::string& maximum, const std::string& hint, bool disabled)
{
    app::ShowStatus(hint, 0);
    if (disabled)
        return;
    bool error = false;
    std::string value = ListValueToStore(ui::GetText(id), minimum, maximum, &error);
    // A multi-line box flickers when repainted at every keystroke, so the
    // repaint waits for a change of state. The colour itself is always set:
    // the state is shared, and a second list field must not keep a colour
    // that was right only for the first.
    ui::SetColours(id, ui::kDefaultColour, error ? app::ErrorColour : app::FieldColour);
    if (error != list_error_shown)
        ui::Redraw(id);
    list_error_shown = error;
    app::WriteConfigKey(app::CfgPath, key, value);
}

void CheckNumber(int id, const std::string& minimum, const std::string& maximum,
                 const std::string& hint, bool disabled)
{
    app::ShowStatus(hint, 0);
    if (!disabled)
        Paint(id, JudgeEntry(ui::GetText(id), minimum, maximum) != EntryVerdict::Valid);
}

void CheckBits(int id, int bits, const std::string& hint, bool disabled)
{
    app::ShowStatus(hint, 0);
    if (!disabled)
        Paint(id, !IsBitText(ui::GetText(id), bits));
}

void CommitText(int id, const std::string& key, const std::string& hint, bool disabled)
{
    app::ShowStatus(hint, 0);
    if (!disabled)
        app::WriteConfigKey(app::CfgPath, key, ui::GetText(id));
}

void CommitCheck(int id, const std::string& key, const std::string& hint)
{
    app::ShowStatus(hint, 0);
    app::WriteConfigKey(app::CfgPath, key, ui::IsChecked(id) ? "1" : "0");
}

void CommitOption(int id, const std::string& key, const std::string& value, const std::string& hint)
{
    app::ShowStatus(hint, 0);
    if (ui::IsChecked(id))
        app::WriteConfigKey(app::CfgPath, key, value);
}

void ChooseColourAndStore(int id, const std::string& key, const std::string& hint)
{
    app::ShowStatus(hint, 0);
    ui::Colour initial =
        ui::Colour(strings::ParseInteger(app::ReadConfigKey(app::CfgPath, key)) & 0xFFFFFF);
    ui::Colour chosen = 0;
    if (!ui::ColourDialog(initial, custom_colours, &chosen))
        return;
    chosen &= 0xFFFFFF;
    app::WriteConfigKey(app::CfgPath, key, std::to_string(chosen));
    ui::SetColours(id, ui::kDefaultColour, chosen);
    ui::Redraw(id);
}

} // namespace forms
