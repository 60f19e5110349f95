#include "ui/adapters/screen_flush.h"

#include <gtk/gtk.h>
#include <wx/utils.h>
#include <wx/window.h>

// Last: Xlib's macros would clash with wx names.
#include <X11/Xlib.h>

void FlushToScreen() {
  const wxDisplayInfo info = wxGetDisplayInfo();
  if (info.type == wxDisplayX11 && info.dpy) XFlush(static_cast<Display*>(info.dpy));
}

void PaintNow(wxWindow& window) {
  // Update() begins with a round trip that waits until the server has drawn all
  // that went before, a large picture included. Requests on one connection are
  // carried out in order anyway, so nothing drawn earlier can land over this paint.
  GtkWidget* widget = window.GetHandle();
  if (!widget || !gtk_widget_get_mapped(widget)) return;
  const wxSize size = window.GetSize();
  if (size.x <= 0 || size.y <= 0) return;
  GdkWindow* drawing = window.GTKGetDrawingWindow();
  if (!drawing) drawing = gtk_widget_get_window(widget);
  if (!drawing) return;
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gdk_window_process_updates(drawing, TRUE);
  G_GNUC_END_IGNORE_DEPRECATIONS
  FlushToScreen();
}
