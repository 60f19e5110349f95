#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include <wx/dcmemory.h>

#include "engine/base/process_state.h"
#include "platform/settings.h"
#include "tests/ui/frame_fixture.h"
#include "ui/app/app.h"
#include "ui/view/view.h"

// A view of a fresh document with an 800 x 600 client area on a 1024 x 768 canvas.
class view_fixture : public frame_fixture {
 protected:
  void SetUp() override {
    frame_fixture::SetUp();
    Canvas(1024, 768);
    source_count = target_width = target_height = 0;
    wic_ready = true;
    CvorbelApp::viewing_scale = 100;
    view = ShowView<CvorbelView>("view");
    Settle();
  }

  static void Canvas(int w, int h) {
    the_settings().WriteInt("Configure", "canvas_width", w);
    the_settings().WriteInt("Configure", "canvas_height", h);
  }
  // Fills the target w x h: each quarter in its own colour (0x00RRGGBB).
  static void PaintQuarters(int w, int h, const uint32_t colours[4]) {
    target_width = w;
    target_height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t c = colours[(y >= h / 2) * 2 + (x >= w / 2)];
        target_pixels[y * w + x] = {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0};
      }
  }
  // A pixel of what the window shows now, as 0x00RRGGBB.
  uint32_t Shown(int x, int y) const {
    cairo_surface_t* surface = view->DisplaySurface();
    if (!surface) return 0xFFFFFFFF;
    const int stride = cairo_image_surface_get_stride(surface);
    return *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface) + y * stride + x * 4) &
           0xFFFFFF;
  }
  // What the view paints on a white device context.
  wxImage Drawn() {
    wxBitmap picture(client_width, client_height, 24);
    {
      wxMemoryDC dc(picture);
      dc.SetBackground(*wxWHITE_BRUSH);
      dc.Clear();
      view->OnDraw(dc);
    }
    return picture.ConvertToImage();
  }

  CvorbelView* view = nullptr;
};
