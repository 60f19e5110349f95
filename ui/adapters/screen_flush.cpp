#include "ui/adapters/screen_flush.h"

#include <wx/utils.h>

// Last: Xlib's macros would clash with wx names.
#include <X11/Xlib.h>

void FlushToScreen() {
  const wxDisplayInfo info = wxGetDisplayInfo();
  if (info.type == wxDisplayX11 && info.dpy) XFlush(static_cast<Display*>(info.dpy));
}
