// This file exists because the padding of the GTK theme cannot be changed
// through wxWidgets: the layouts place 15-dialog-unit (24 pixel) boxes and
// buttons one above the other, and the theme's minimum heights would make
// them overlap.
#include "platform/wx/native_style.h"

#include <wx/app.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <gtk/gtk.h>

namespace wxb {

const char* const kSansFace = "Liberation Sans";
const char* const kMonoFace = "Liberation Mono";

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

namespace {

// wxGTK wraps the text view of a multi-line box in a scrolled window.
GtkTextView* TextViewOf(wxWindow* multi_line_box)
{
    auto* outer = static_cast<GtkWidget*>(multi_line_box->GetHandle());
    GtkWidget* view = outer && GTK_IS_BIN(outer) ? gtk_bin_get_child(GTK_BIN(outer)) : nullptr;
    return view && GTK_IS_TEXT_VIEW(view) ? GTK_TEXT_VIEW(view) : nullptr;
}

struct WholeLines {
    wxWeakRef<wxWindow> box;
    int grown = 0; // times the box was made taller: a theme that never lets
                   // the lines come out whole must not make it grow forever
};

void OnTextViewAllocated(GtkWidget* widget, GdkRectangle*, gpointer data)
{
    auto* state = static_cast<WholeLines*>(data);
    GdkRectangle seen;
    gtk_text_view_get_visible_rect(GTK_TEXT_VIEW(widget), &seen);
    // Every line of a box is as high as a line of its one font.
    PangoLayout* layout = gtk_widget_create_pango_layout(widget, "0");
    int line_h = 0;
    pango_layout_get_pixel_size(layout, nullptr, &line_h);
    g_object_unref(layout);
    if (line_h <= 0 || seen.height < line_h || seen.height % line_h == 0 || state->grown >= 2)
        return;
    ++state->grown;
    const int more = line_h - seen.height % line_h;
    // Not while GTK is sharing out the room of the window.
    wxTheApp->CallAfter([box = state->box, more] {
        if (box)
            box->SetSize(box->GetSize() + wxSize(0, more));
    });
}

} // namespace

void SetTextMargins(wxWindow* multi_line_box, int px)
{
    GtkTextView* view = TextViewOf(multi_line_box);
    if (!view)
        return;
    gtk_text_view_set_left_margin(view, px);
    gtk_text_view_set_right_margin(view, px);
}

void KeepScrollBarsShown(wxWindow* scrolled)
{
    // wxGTK puts a window with scroll bars into a scrolled window of GTK's.
    auto* outer = static_cast<GtkWidget*>(scrolled->GetHandle());
    if (outer && GTK_IS_SCROLLED_WINDOW(outer))
        gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(outer), FALSE);
}

void ShowWholeLines(wxWindow* multi_line_box)
{
    GtkTextView* view = TextViewOf(multi_line_box);
    if (!view)
        return;
    g_signal_connect_data(
        view, "size-allocate", G_CALLBACK(OnTextViewAllocated), new WholeLines{multi_line_box, 0},
        [](gpointer data, GClosure*) { delete static_cast<WholeLines*>(data); }, G_CONNECT_AFTER);
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
