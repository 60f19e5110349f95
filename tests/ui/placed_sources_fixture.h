#pragma once
#include <gtest/gtest.h>

#include "engine/base/process_state.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui/dialog_clicks.h"
#include "ui/view/view.h"

// Two sources at their own sizes on a 640 x 480 target: source 1 is 64 x 48 at the
// top-left, source 2 is 40 x 30 covering (100, 50)..(140, 80); both pinned at their
// top-left corners.
class placed_sources : public app_fixture {
 protected:
  void SetUp() override {
    app_fixture::SetUp();
    WriteFile("vorbel.conf", "[Configure]\ncanvas_width=640\ncanvas_height=480\n");
    Start({PlainImage("red.png", 64, 48, 200, 0, 0), PlainImage("blue.png", 40, 30, 0, 0, 200)});
    view = dynamic_cast<CvorbelView*>(the_view);
    ASSERT_NE(view, nullptr);
    for (int s = 1; s <= 2; ++s) view->fit_to_target[s - 1] = 0, view->UpdateSourceGeometry(s);
    view->offset[0] = {0, 0};
    view->offset[1] = {-100, -50};
    fix_point_1 = fix_point_2 = 1;
    view->UpdateFixAnchor(1);
    view->UpdateFixAnchor(2);
    view->RebuildSources(-1);
  }
  void TearDown() override {
    fix_point_1 = fix_point_2 = 1;
    app_fixture::TearDown();
  }

  CvorbelView* view = nullptr;
};
