// This file exists because wxWidgets cannot uncheck a GTK radio button, and
// the program shows choice fields with neither option checked when the
// stored value matches none. Each group gets a hidden GTK radio button that
// holds the check while no visible option does.
#include "platform/wx/option_groups.h"

#include <wx/radiobut.h>

#include <gtk/gtk.h>

#include <map>

namespace {

std::map<int, GtkWidget*> hidden;

GtkWidget* HiddenOf(int group)
{
    GtkWidget*& w = hidden[group];
    if (!w)
        w = GTK_WIDGET(g_object_ref_sink(gtk_radio_button_new(nullptr)));
    return w;
}

} // namespace

namespace wxb {

void JoinOptionGroup(wxRadioButton* option, int group)
{
    // Joining a group that already has a checked member leaves the newcomer
    // unchecked.
    gtk_radio_button_join_group(GTK_RADIO_BUTTON(option->GetHandle()),
                                GTK_RADIO_BUTTON(HiddenOf(group)));
}

// GTK clears the others itself.
void CheckOption(wxRadioButton* option, int) { option->SetValue(true); }

void ClearOptionGroup(int group)
{
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(HiddenOf(group)), TRUE);
}

void ForgetOptionGroups()
{
    for (auto& [group, w] : hidden)
        g_object_unref(w);
    hidden.clear();
}

} // namespace wxb
