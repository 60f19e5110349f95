#include "engine/placement/corner_shoves.h"
#include "engine/placement/fix_positions.h"
#include "tests/core/engine/view_fixture.h"

namespace {

// Sources at their own size (no fit to the target) so that the percent alone sets
// the shown size.
class CornerShoves : public ViewFixture {
 protected:
  void SetUp() override {
    ViewFixture::SetUp();
    SetTarget(1000, 800);
    for (int s = 1; s <= 2; ++s) {
      view->fit_to_target[s - 1] = 0;
      doc.image_size[s - 1] = {1000, 1000};
      doc.source_kind[s - 1] = kind_file;
    }
  }
  void TearDown() override {
    ViewFixture::TearDown();
    fix_point_1 = fix_point_2 = fix_top_left;
  }
  void Show(int s, double width_percent, double height_percent) {
    view->width_percent[s - 1] = width_percent;
    view->height_percent[s - 1] = height_percent;
  }
  int Fix(int s) const { return s == 1 ? fix_point_1 : fix_point_2; }
};

TEST_F(CornerShoves, CornersPinTheSourceAndRoundEachSourceItsOwnWay) {
  Show(1, 60, 40);  // 600 x 400 on 1000 x 800
  const int presented = view->presented;
  ShoveSourceToCorner(*view, 1, fix_bottom_right);
  EXPECT_EQ(view->offset[0], (vpoint{-400, -400}));
  EXPECT_EQ(view->anchor[0], (vpoint{-1000, -800}));
  EXPECT_EQ(fix_point_1, fix_bottom_right);
  EXPECT_GT(view->presented, presented);  // recombined and shown

  ShoveSourceToCorner(*view, 1, fix_bottom_left);
  EXPECT_EQ(view->offset[0], (vpoint{0, -400}));
  EXPECT_EQ(view->anchor[0], (vpoint{0, -800}));

  // 600.3 wide: source 1 truncates 600.8 and then takes 1000 off (-400); source 2
  // truncates -399.2 (-399), one pixel nearer zero.
  Show(1, 60.03, 40);
  Show(2, 60.03, 40);
  ShoveSourceToCorner(*view, 1, fix_top_right);
  ShoveSourceToCorner(*view, 2, fix_top_right);
  EXPECT_EQ(view->offset[0].x, -400);
  EXPECT_EQ(view->offset[1].x, -399);

  // Neither another corner code nor another source moves anything.
  const vpoint before[2] = {view->offset[0], view->offset[1]};
  for (int fix : {int(fix_top_left), int(fix_middle), -1, 9}) ShoveSourceToCorner(*view, 1, fix);
  for (int s : {0, 3}) ShoveSourceToCorner(*view, s, fix_top_right);
  EXPECT_EQ(view->offset[0], before[0]);
  EXPECT_EQ(view->offset[1], before[1]);
  EXPECT_EQ(fix_point_1, fix_top_right);
}

TEST_F(CornerShoves, CentringCycleVisitsMiddleTopBottomLeftRightAndAgain) {
  Show(2, 60, 40);  // 600 x 400: half of 600.5 - 1000 truncates to -199
  struct place {
    int fix;
    vpoint anchor, offset;
  };
  const place cycle[6] = {
      {fix_middle, {-500, -400}, {-199, -199}}, {fix_top, {-500, 0}, {-199, 0}},
      {fix_bottom, {-500, -800}, {-199, -399}}, {fix_left, {0, -400}, {0, -199}},
      {fix_right, {-1000, -400}, {-399, -199}}, {fix_middle, {-500, -400}, {-199, -199}},
  };
  int step = 0;
  for (int press = 0; press < 6; ++press) {
    step = CentreSourceStep(*view, 2, step);
    EXPECT_EQ(step, (press + 1) % centring_steps) << press;
    EXPECT_EQ(Fix(2), cycle[press].fix) << press;
    EXPECT_EQ(view->anchor[1], cycle[press].anchor) << press;
    EXPECT_EQ(view->offset[1], cycle[press].offset) << press;
  }
  // A source larger than the target hangs over the left and top edges.
  Show(1, 201, 201);  // 2010 x 2010 on 1000 x 800
  EXPECT_EQ(CentreSourceStep(*view, 1, 0), 1);
  EXPECT_EQ(view->offset[0], (vpoint{505, 605}));
  // A step out of range starts the cycle again rather than reading past it.
  EXPECT_EQ(CentreSourceStep(*view, 1, 17), 1);
  EXPECT_EQ(fix_point_1, fix_middle);
}

// The grid's "centre both" puts each source's middle on the target's middle, halves
// truncated toward zero: a smaller source gets a negative offset, a larger one a positive.
TEST_F(CornerShoves, CentringBothSourcesHalvesTheDifferenceTowardZero) {
  Show(1, 60, 40);    // 600.5 x 400.5 on 1000 x 800
  Show(2, 201, 30);   // 2010.5 x 300.5
  view->fit_to_target[1] = 0;
  for (int s = 1; s <= 2; ++s) view->UpdateSourceGeometry(s);
  const int presented = view->presented;
  view->CentreSources();
  EXPECT_EQ(view->offset[0], (vpoint{-199, -199}));  // (600.5 - 1000) / 2 = -199.75
  EXPECT_EQ(view->offset[1], (vpoint{505, -249}));   // 1010.5 / 2, -499.5 / 2
  EXPECT_GT(view->presented, presented);
}

// A shown size is the scaled size plus a half, truncated: 600.55 shows as 601 wide.
TEST_F(CornerShoves, AScaledSizeRoundsAtItsHalf) {
  Show(1, 60.055, 40.055);  // 600.55 x 400.55
  ShoveSourceToCorner(*view, 1, fix_bottom_right);
  EXPECT_EQ(view->offset[0], (vpoint{601 - 1000, 401 - 800}));
  Show(1, 60.045, 40.045);  // 600.45 x 400.45
  ShoveSourceToCorner(*view, 1, fix_bottom_right);
  EXPECT_EQ(view->offset[0], (vpoint{600 - 1000, 400 - 800}));
}

}  // namespace
