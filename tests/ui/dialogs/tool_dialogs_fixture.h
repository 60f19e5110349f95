#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "engine/base/process_state.h"
#include "tests/ui/dialog_clicks.h"
#include "tests/ui/frame_fixture.h"
#include "tests/ui/target_copy.h"
#include "ui/view/view.h"

// A view that notes the fast-preview flag at each presentation.
class spy_view : public CvorbelView {
 public:
  using CvorbelView::CvorbelView;
  bool PresentPixels(const bgra* pixels) override {
    presented.push_back(fast_preview);
    return CvorbelView::PresentPixels(pixels);
  }
  std::vector<int> presented;
};

// A frame with a view of two loaded sources on a 320 x 240 target.
class tool_dialogs : public frame_fixture {
 protected:
  void SetUp() override {
    frame_fixture::SetUp();
    view = ShowView<spy_view>("tools");
    Source(1, 200, 100, 40);
    Source(2, 120, 160, 200);
    source_count = 2;
    effect_code = 0;
    view->target_rect = {20, 20, 340, 260};
    for (int s = 0; s < 2; ++s) view->fit_to_target[s] = 0;
    view->offset[1] = {30, -10};
    view->UpdateSourceGeometry(1);
    view->UpdateSourceGeometry(2);
    view->RebuildSources(-1);
    view->presented.clear();
  }
  void Source(int s, int w, int h, uint8_t shade) {
    image_record& image = doc.source_image[s - 1];
    ASSERT_TRUE(image.Create(w, h));
    uint8_t* p = image.Pixels();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x, p += 4) p[0] = uint8_t(x * 3 + shade), p[1] = uint8_t(y * 2), p[2] = shade;
    doc.image_size[s - 1] = {w, h};
    doc.source_kind[s - 1] = kind_file;
  }
  template <class T>
  static T* Child(wxWindow* parent, int id) {
    return dynamic_cast<T*>(parent->FindWindow(id));
  }
  static void Idle(wxWindow* dialog) {
    wxIdleEvent idle;
    dialog->ProcessWindowEvent(idle);
  }
  static void Mouse(wxWindow* window, wxEventType type, wxPoint at) {
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetEventObject(window);
    window->ProcessWindowEvent(event);
  }

  spy_view* view = nullptr;
};
