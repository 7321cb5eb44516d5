// Parameter entry: ties a field to a key of the .cfg file. Tools call these
// for every notification of the field (focus, each keystroke, click), so the
// hint shows in the status bar as soon as the field is entered, even when it
// is disabled, and the key follows the text keystroke by keystroke.
//
// Invalid input is never refused: the box turns ErrorColour and the nearest
// limit is stored, while the box keeps showing what was typed. Limits are
// texts compared by their numbers; a limit is stored as the caller wrote it.
#pragma once

#include <string>

namespace forms {

// Stores the field's text, or the limit it crosses. Empty counts as below
// the minimum; more than 11 characters as above the maximum. A number with
// trailing characters ("12ab") is stored as typed.
void CommitNumber(int id, const std::string& key, const std::string& minimum,
                  const std::string& maximum, const std::string& hint, bool disabled);
// The same for each line of a list box; the lines are stored as items each
// followed by "\". An empty last line is judged by its number, 0.
void CommitNumberList(int id, const std::string& key, const std::string& minimum,
                      const std::string& maximum, const std::string& hint, bool disabled);
// Colours the field as CommitNumber would and stores nothing.
void CheckNumber(int id, const std::string& minimum, const std::string& maximum,
                 const std::string& hint, bool disabled);
// Colours the field: valid is 1 to `bits` digits, each 0 or 1.
void CheckBits(int id, int bits, const std::string& hint, bool disabled);

// Stores the field's text as it stands.
void CommitText(int id, const std::string& key, const std::string& hint, bool disabled);
// Stores "1" for a checked box, else "0".
void CommitCheck(int id, const std::string& key, const std::string& hint);
// Stores `value` when this option is the checked one.
void CommitOption(int id, const std::string& key, const std::string& value,
                  const std::string& hint);
// Lets the user pick a colour, starting from the stored one; stores it as
// R + 256*G + 65536*B and shows it on the swatch. Cancel changes nothing.
void ChooseColourAndStore(int id, const std::string& key, const std::string& hint);

} // namespace forms
