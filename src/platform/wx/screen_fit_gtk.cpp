// Keeping the system's own dialogs on the screen under GTK: they size
// themselves for a large screen.
#include <wx/window.h>

#include <gtk/gtk.h>

#include <algorithm>

#include "platform/wx/wx_backend.h"

namespace {

int Clamp(int at, int size, int low, int room)
{
    // A window larger than the room shows its top-left part.
    return std::max(low, std::min(at, low + room - size));
}

// Resizes and moves a native dialog into the free area of its monitor once
// it is on the screen with the size it chose.
void OnNativeDialogMapped(GtkWidget* widget, gpointer)
{
    GdkWindow* shown = gtk_widget_get_window(widget);
    GdkMonitor* monitor =
        shown ? gdk_display_get_monitor_at_window(gtk_widget_get_display(widget), shown) : nullptr;
    if (!monitor)
        return;
    GdkRectangle free, frame;
    gdk_monitor_get_workarea(monitor, &free);
    gdk_window_get_frame_extents(shown, &frame);
    GtkWindow* window = GTK_WINDOW(widget);
    int w = 0, h = 0;
    gtk_window_get_size(window, &w, &h);
    // The window manager's frame, where there is one.
    const int extra_w = std::max(0, frame.width - w), extra_h = std::max(0, frame.height - h);
    const int fit_w = std::min(w, free.width - extra_w), fit_h = std::min(h, free.height - extra_h);
    if (fit_w != w || fit_h != h)
        gtk_window_resize(window, fit_w, fit_h);
    const int x = Clamp(frame.x, fit_w + extra_w, free.x, free.width);
    const int y = Clamp(frame.y, fit_h + extra_h, free.y, free.height);
    if (x != frame.x || y != frame.y)
        gtk_window_move(window, x, y);
}

} // namespace

namespace wxb {

void FitNativeDialogToScreen(wxWindow* dialog)
{
    auto* widget = static_cast<GtkWidget*>(dialog->GetHandle());
    if (widget && GTK_IS_WINDOW(widget))
        g_signal_connect_after(widget, "map", G_CALLBACK(OnNativeDialogMapped), nullptr);
}

} // namespace wxb
