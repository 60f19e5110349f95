#include <chrono>
#include <cstring>
#include <random>
#include <vector>
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

// The presentation copies the gradient only around the picture: whatever the display
// held before, every pixel comes out the same, at any scale and position, edges too.
TEST_F(view_screen, APresentationDependsOnNothingTheDisplayHeld) {
  source_count = 2;
  std::mt19937 rng(9);
  for (int trial = 0; trial < 8; ++trial) {
    const int w = 20 + int(rng() % 300), h = 20 + int(rng() % 200);
    target_width = w, target_height = h;
    for (int i = 0; i < w * h; ++i) target_pixels[i] = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
    const int left = int(rng() % 120) - 40, top = int(rng() % 120) - 40;
    view->target_rect = {left, top, left + w, top + h};
    view->display_scale = 0.1f + float(rng() % 300) / 100.0f;
    auto composed = [&](uint8_t junk) {
      cairo_surface_t* surface = view->DisplaySurface();
      if (surface) {
        cairo_surface_flush(surface);
        std::memset(cairo_image_surface_get_data(surface), junk,
                    size_t(cairo_image_surface_get_stride(surface)) * cairo_image_surface_get_height(surface));
        cairo_surface_mark_dirty(surface);
      }
      EXPECT_FALSE(view->PresentTarget());
      surface = view->DisplaySurface();
      const unsigned char* data = cairo_image_surface_get_data(surface);
      return std::vector<unsigned char>(data, data + size_t(cairo_image_surface_get_stride(surface)) *
                                                         cairo_image_surface_get_height(surface));
    };
    composed(0);
    ASSERT_TRUE(composed(0x00) == composed(0xFF)) << trial;
  }
}

}  // namespace
