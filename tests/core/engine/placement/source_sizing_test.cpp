#include <gtest/gtest.h>

#include "engine/placement/source_sizing.h"
#include "engine/base/view_core.h"

namespace {

// Source 1 of 400 x 300 pixels at 100 % on a 1024 x 768 target, offset (0, 0).
struct sizing : testing::Test {
  sizing() : view(nullptr) {
    view.rotated_size[0] = {400, 300};
    view.fit_factor_x[0] = view.fit_factor_y[0] = 1.0;
  }
  source_margins Edit(sizing_box box, int value) {
    source_margins m = MarginsOf(view, 1, W, H);
    (box == sizing_box::left     ? m.left
     : box == sizing_box::top    ? m.top
     : box == sizing_box::right  ? m.right
     : box == sizing_box::bottom ? m.bottom
     : box == sizing_box::width  ? m.width
                                 : m.height) = value;
    partner = ApplySizingBox(view, 1, box, m, W, H);
    return m;
  }
  CvorbelViewCore view;
  const int W = 1024, H = 768;
  sizing_box partner = sizing_box::width;
};

}  // namespace

TEST_F(sizing, MarginsAddUpToTheTargetAndEachBoxMovesItsPartner) {
  view.offset[0] = {-20, 15};
  source_margins m = MarginsOf(view, 1, W, H);
  EXPECT_EQ(m.left, 20);
  EXPECT_EQ(m.top, -15);
  EXPECT_EQ(m.left + m.width + m.right, W);
  EXPECT_EQ(m.top + m.height + m.bottom, H);

  m = Edit(sizing_box::right, 100);  // the left margin follows, the size stays
  EXPECT_EQ(m.left, 1024 - 100 - 400);
  EXPECT_EQ(view.offset[0].x, -524);
  EXPECT_EQ(partner, sizing_box::left);

  m = Edit(sizing_box::bottom, -50);  // negative space lets the source hang out
  EXPECT_EQ(m.top, 768 + 50 - 300);
  EXPECT_EQ(view.offset[0].y, -518);
  EXPECT_EQ(partner, sizing_box::top);
  EXPECT_EQ(PartnerOf(sizing_box::height), sizing_box::bottom);
}

TEST_F(sizing, SizesScaleThePercentWithATenPixelFloorAndNoDivisionByNothing) {
  view.fit_factor_x[0] = 0.5;
  source_margins m = Edit(sizing_box::width, 300);
  EXPECT_DOUBLE_EQ(view.width_percent[0], 150.0);  // 300 of the 200 that fit
  EXPECT_EQ(m.right, W - 300);
  EXPECT_EQ(MarginsOf(view, 1, W, H).width, 300);

  m = Edit(sizing_box::height, -40);
  EXPECT_EQ(m.height, 10);

  // A source without pixels keeps its percent and shows the size it has.
  view.rotated_size[0] = {0, 0};
  m = Edit(sizing_box::width, 500);
  EXPECT_DOUBLE_EQ(view.width_percent[0], 150.0);
  EXPECT_EQ(m.width, 0);
  EXPECT_EQ(m.right, W - m.left);

  // Typed values far past any target stay within bounds, so no sum overflows.
  view.rotated_size[0] = {400, 300};
  m = Edit(sizing_box::left, 2147483647);
  EXPECT_EQ(view.offset[0].x, -sizing_margin_limit);
  EXPECT_EQ(m.right, W - m.width - sizing_margin_limit);
  m = Edit(sizing_box::height, 2147483647);
  EXPECT_EQ(m.height, sizing_margin_limit);
  m = Edit(sizing_box::width, 3);
  EXPECT_EQ(m.width, 10);
  EXPECT_DOUBLE_EQ(view.width_percent[0], 5.0);  // 10 of the 200 that fit
}

TEST_F(sizing, FractionalSizesRoundToTheNearestPixelAndTheMarginsFollow) {
  view.offset[0] = {-20, 15};
  view.fit_factor_x[0] = 0.7;
  view.fit_factor_y[0] = 0.9;
  view.width_percent[0] = 71.75;  // 400 x 0.7 x 0.7175 = 200.9 wide
  view.height_percent[0] = 55.5;  // 300 x 0.9 x 0.555 = 149.85 high
  source_margins m = MarginsOf(view, 1, W, H);
  EXPECT_EQ(m.width, 201);
  EXPECT_EQ(m.height, 150);
  EXPECT_EQ(m.right, 1024 - 201 - 20);
  EXPECT_EQ(m.bottom, 768 - 150 + 15);
  m = Edit(sizing_box::left, 30);
  EXPECT_EQ(m.right, 1024 - 201 - 30);

  view.width_percent[0] = 71.6;  // 200.48 wide
  view.height_percent[0] = 55.4;  // 149.58 high
  m = MarginsOf(view, 1, W, H);
  EXPECT_EQ(m.width, 200);
  EXPECT_EQ(m.height, 150);
  EXPECT_EQ(m.right, 1024 - 200 - 30);
  EXPECT_EQ(m.bottom, 768 - 150 + 15);

  // A typed size comes back as typed, though its percent is a fraction.
  for (int size = 10; size <= 600; ++size) {
    Edit(sizing_box::width, size);
    Edit(sizing_box::height, size);
    m = MarginsOf(view, 1, W, H);
    ASSERT_EQ(m.width, size);
    ASSERT_EQ(m.height, size);
    ASSERT_EQ(m.right, W - size - 30);
  }
}
