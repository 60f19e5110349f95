#include <wx/utils.h>

#include "tests/ui/app_fixture.h"

// Last: Xlib's macros would clash with wx names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

wxImage ScreenOf(wxWindow* window) {
  const wxSize size = window->GetClientSize();
  const wxPoint origin = window->ClientToScreen(wxPoint(0, 0));
  wxImage result(size.x, size.y);
  auto* display = static_cast<Display*>(wxGetDisplayInfo().dpy);
  if (wxGetDisplayInfo().type != wxDisplayX11 || !display || size.x <= 0 || size.y <= 0) return result;
  XSync(display, False);
  XImage* image = XGetImage(display, DefaultRootWindow(display), origin.x, origin.y, unsigned(size.x),
                            unsigned(size.y), AllPlanes, ZPixmap);
  if (!image) return result;
  for (int y = 0; y < size.y; ++y)
    for (int x = 0; x < size.x; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      result.SetRGB(x, y, (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
  XDestroyImage(image);
  return result;
}
