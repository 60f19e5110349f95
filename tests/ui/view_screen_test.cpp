#include <chrono>
#include <thread>

#include <wx/utils.h>

#include "tests/ui/app_fixture.h"
#include "tests/ui/view_fixture.h"
#include "tests/ui/wait_for.h"

// Last: Xlib's macros would clash with wx names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The colour at a window's client point as the X server holds it, asked through a
// connection of its own: requests still waiting in the program's buffer are not
// seen. Polls, without letting an event through, until the point shows wanted or twenty
// seconds have passed; 0xFFFFFFFF when the point never reads.
uint32_t ServerColour(wxWindow* window, wxPoint point, uint32_t wanted) {
  const wxPoint at = window->ClientToScreen(point);
  Display* own = XOpenDisplay(nullptr);
  if (!own) return 0xFFFFFFFF;
  uint32_t colour = 0xFFFFFFFF;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (bool first = true; colour != wanted && std::chrono::steady_clock::now() < give_up; first = false) {
    if (!first) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    XImage* image = XGetImage(own, DefaultRootWindow(own), at.x, at.y, 1, 1, AllPlanes, ZPixmap);
    if (!image) continue;
    colour = uint32_t(XGetPixel(image, 0, 0)) & 0xFFFFFF;
    XDestroyImage(image);
  }
  XCloseDisplay(own);
  return colour;
}

class view_screen : public view_fixture {};

TEST_F(view_screen, APresentationReachesTheScreenWithoutTheEventLoop) {
  source_count = 2;
  wxPoint middle;
  auto present = [&](uint32_t colour) {
    const uint32_t plain[4] = {colour, colour, colour, colour};
    PaintQuarters(64, 48, plain);
    view->target_rect = {0, 0, 64, 48};
    view->display_scale = 1.0f;
    view->CenterTargetInView();
    ASSERT_FALSE(view->PresentTarget());
    middle = wxPoint(view->target_rect.left + 32, view->target_rect.top + 24);
  };
  // The frame may still be on its way to the screen: let the event loop bring it.
  present(0xFF0000);
  WaitFor([&] {
    present(0xFF0000);
    return ColourAt(ScreenOf(view), middle.x, middle.y) == wxColour(255, 0, 0);
  });
  ASSERT_EQ(ColourAt(ScreenOf(view), middle.x, middle.y), wxColour(255, 0, 0));
  present(0x00FF00);
  EXPECT_EQ(ServerColour(view, middle, 0x00FF00), 0x00FF00u);
}

}  // namespace
