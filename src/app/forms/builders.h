// The control builders every tool panel is made of. They fix the look of the
// program: fonts, colours and the caption-above-box layout. Positions and
// sizes are dialog units of the main window; a field's caption stands at
// (x, y) and its box 10 units below.
//
// Composite controls take consecutive identifiers from their base id:
//   value, text, list, display field, result window: box id, caption id+1
//   choice field: frame id, options id+1 and id+2
//   colour field: swatch id, caption id+1
//   channel row: value box id, caption id+1, "S" id+2, "R" id+3, "W" id+4
//   stepped field: value box id, caption id+1, "<" id+2, ">" id+3
//
// Keys are keys of the .cfg file at CfgPath; a field bound to one shows its
// stored text.
#pragma once

#include <string>

#include "platform/ui.h"

namespace forms {

void AddTitleBar(int id, const std::string& text, int x, int y, int width);
void AddSeparator(int id, int x, int y, int width);
void AddButton(int id, const std::string& text, int x, int y, int width);

void AddValueField(int id, const std::string& key, const std::string& caption, int x, int y,
                   int width, bool read_only);
// A value field 50 wide with its "<" and ">" steppers beside the box.
void AddSteppedField(int id, const std::string& key, const std::string& caption, int x, int y);
// The "Slave address" stepped field that heads every tool's form.
void AddSlaveAddressRow(int id, const std::string& key);

void AddTextField(int id, const std::string& key, const std::string& caption, int x, int y,
                  int width, bool read_only);
// The stored "\"-ended items are shown one per line.
void AddValueListField(int id, const std::string& key, const std::string& caption, int x, int y,
                       int width, int height, bool read_only);
void AddDisplayField(int id, const std::string& caption, int x, int y, int width, bool read_only);
void AddDisplayListField(int id, const std::string& caption, int x, int y, int width, int height,
                         bool read_only);
void AddResultWindow(int id, const std::string& caption, int x, int y, int width, int height);

// Checked when the stored value is exactly "1".
void AddCheckField(int id, const std::string& key, const std::string& caption, int x, int y,
                   int width);
// The option whose text equals the stored value is checked; none when
// neither does.
void AddChoiceField(int id, const std::string& key, const std::string& caption,
                    const std::string& text1, const std::string& text2, int x, int y, int width);
// A swatch in the stored colour that reports clicks.
void AddColourField(int id, const std::string& key, const std::string& caption, int x, int y,
                    int width);

// An analyzer channel: value box, caption and the "S", "R", "W" buttons.
// Disabled, only "S" stays usable; enabled, "W" only when not read-only.
void AddChannelRow(int id, const std::string& caption, int x, int y, int width, bool read_only,
                   bool enabled, ui::Colour text_colour, ui::Colour back_colour);
// Gives an existing channel row new colours, read-only state, caption and
// enabling; the value box keeps its text, position and size.
void RebuildChannelValue(int id, const std::string& caption, bool read_only, bool enabled,
                         ui::Colour text_colour, ui::Colour back_colour);

// Brings an existing channel row back to what AddChannelRow makes: an empty
// value box in the colours and read-only state given, the caption, the
// enabling. For a kept form shown again.
void ResetChannelRow(int id, const std::string& caption, bool read_only, bool enabled,
                     ui::Colour text_colour, ui::Colour back_colour);

// Destroys the controls the builder called with this id created.
void RemoveControls(int id);

} // namespace forms
