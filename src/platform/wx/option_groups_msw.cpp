// Option groups on Windows. Each option starts a group of its own for the
// system (wxRB_GROUP), so the program's group number decides which options
// exclude each other: a click on one clears the others here.
#include "platform/wx/option_groups.h"

#include <wx/radiobut.h>
#include <wx/weakref.h>

#include <map>
#include <vector>

namespace {

std::map<int, std::vector<wxWeakRef<wxRadioButton>>> groups;

void ClearOthers(int group, const wxRadioButton* keep)
{
    for (wxRadioButton* option : groups[group])
        if (option && option != keep && option->GetValue())
            option->SetValue(false);
}

} // namespace

namespace wxb {

void JoinOptionGroup(wxRadioButton* option, int group)
{
    option->SetValue(false);
    groups[group].push_back(option);
    option->Bind(wxEVT_RADIOBUTTON, [option, group](wxCommandEvent& event) {
        ClearOthers(group, option);
        event.Skip();
    });
}

void CheckOption(wxRadioButton* option, int group)
{
    ClearOthers(group, option);
    option->SetValue(true);
}

void ClearOptionGroup(int group) { ClearOthers(group, nullptr); }

void ForgetOptionGroups() { groups.clear(); }

} // namespace wxb
