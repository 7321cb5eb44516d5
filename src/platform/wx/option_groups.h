// Groups of option buttons as the program numbers them.
#pragma once

class wxRadioButton;

namespace wxb {

// Puts the option in the program's group `group`, unchecked.
void JoinOptionGroup(wxRadioButton* option, int group);
// Checks the option and clears the others of its group.
void CheckOption(wxRadioButton* option, int group);
// Clears every option of the group (a GTK group always has one checked
// member, so each group has a hidden one that takes the check).
void ClearOptionGroup(int group);
void ForgetOptionGroups();

} // namespace wxb
