// This file exists because the padding of the GTK theme cannot be changed
// through wxWidgets: the layouts place 15-dialog-unit (24 pixel) boxes and
// buttons one above the other, and the theme's minimum heights would make
// them overlap.
#include "platform/wx/gtk_style.h"

#include <wx/window.h>

#include <gtk/gtk.h>

namespace wxb {

void ApplyCompactStyle()
{
    static const char css[] =
        "entry { min-height: 0; padding: 0 3px; }\n"
        "button { min-height: 0; min-width: 0; padding: 0 4px; }\n"
        "checkbutton, radiobutton { min-height: 0; padding: 0; }\n"
        "check, radio { min-height: 12px; min-width: 12px; margin: 0 3px 0 0; }\n"
        "menubar > menuitem { padding: 2px 6px; }\n"
        // Menu items carry a check mark only while checked, as on the
        // system the menu was designed for.
        "menu menuitem check:not(:checked) { -gtk-icon-source: none; border-color: transparent;"
        " background: none; box-shadow: none; }\n";
    GdkScreen* screen = gdk_screen_get_default();
    if (!screen)
        return;
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css, -1, nullptr);
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

void SetTextMargins(wxWindow* multi_line_box, int px)
{
    // wxGTK wraps the text view of a multi-line box in a scrolled window.
    auto* outer = static_cast<GtkWidget*>(multi_line_box->GetHandle());
    GtkWidget* view = outer && GTK_IS_BIN(outer) ? gtk_bin_get_child(GTK_BIN(outer)) : nullptr;
    if (!view || !GTK_IS_TEXT_VIEW(view))
        return;
    gtk_text_view_set_left_margin(GTK_TEXT_VIEW(view), px);
    gtk_text_view_set_right_margin(GTK_TEXT_VIEW(view), px);
}

void ShowVerticalScrollBar(wxWindow* multi_line_box)
{
    auto* outer = static_cast<GtkWidget*>(multi_line_box->GetHandle());
    if (!outer || !GTK_IS_SCROLLED_WINDOW(outer))
        return;
    GtkScrolledWindow* scrolled = GTK_SCROLLED_WINDOW(outer);
    GtkPolicyType horizontal, vertical;
    gtk_scrolled_window_get_policy(scrolled, &horizontal, &vertical);
    gtk_scrolled_window_set_policy(scrolled, horizontal, GTK_POLICY_ALWAYS);
    gtk_scrolled_window_set_overlay_scrolling(scrolled, FALSE);
}

} // namespace wxb
