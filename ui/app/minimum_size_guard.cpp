#include "ui/app/minimum_size_guard.h"

#include <gtk/gtk.h>

#include <wx/toplevel.h>

#include <algorithm>

namespace {

// Runs before GTK's own handling of the new size: a size below what the contents
// need is not laid out at all; the window is sent back to that size instead. A
// window manager's own (synthetic) answer is let through, so that one which keeps
// refusing the size cannot make the two go round in circles.
gboolean RefuseTooSmall(GtkWidget* widget, GdkEventConfigure* event, gpointer) {
  if (event->send_event) return FALSE;
  GtkRequisition minimum;
  gtk_widget_get_preferred_size(widget, &minimum, nullptr);
  if (event->width >= minimum.width && event->height >= minimum.height) return FALSE;
  gdk_window_resize(event->window, std::max(event->width, minimum.width),
                    std::max(event->height, minimum.height));
  return TRUE;
}

}  // namespace

void KeepMinimumSize(wxTopLevelWindow* window) {
  g_signal_connect(window->GetHandle(), "configure-event", G_CALLBACK(RefuseTooSmall), nullptr);
}
