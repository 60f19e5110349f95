#include <array>
#include <random>

#include "engine/placement/fix_positions.h"
#include "engine/placement/size_handles.h"
#include "engine/base/view_mapping.h"
#include "tests/core/engine/view_fixture.h"

namespace {

TEST(ViewMapping, PointsMapAndClampOntoTheTarget) {
  const vrect target{40, 30, 140, 90};  // 100 x 60
  // At scale 2 a point one pixel before the origin still maps to column 0.
  EXPECT_EQ(TargetPixelOf({39, 29}, target, 2.0f), (vpoint{0, 0}));
  EXPECT_EQ(TargetPixelOf({38, 30}, target, 2.0f), (vpoint{-1, 0}));
  EXPECT_EQ(TargetPixelOf({45, 33}, target, 0.5f), (vpoint{10, 6}));
  EXPECT_FALSE(InsideTarget({100, 0}, 100, 60));

  EXPECT_EQ(ClampIntoTarget({0, 0}, target, 2.0f), (vpoint{40, 30}));
  EXPECT_EQ(ClampIntoTarget({500, 500}, target, 2.0f),
            (vpoint{238, 148}));                                            // (99, 59) x 2 + origin
  EXPECT_EQ(ClampIntoTarget({500, 50}, target, 0.75f), (vpoint{114, 50}));  // trunc(99 x 0.75) + 40

  EXPECT_EQ(DragDistance({10, 10}, {500, -500}, 100, 60), (vpoint{89, -10}));
  EXPECT_EQ(DragDistance({10, 10}, {-500, 500}, 100, 60), (vpoint{-10, 49}));

  // Dragged far right the source's left edge lands on the target's right edge;
  // far left its right edge on the target's left edge.
  EXPECT_EQ(ClampOffset({-5000, -5000}, 300, 200, 100, 60), (vpoint{-100, -60}));
  EXPECT_EQ(ClampOffset({5000, 5000}, 300, 200, 100, 60), (vpoint{300, 200}));
  EXPECT_EQ(ClampOffset({INT_MIN, 7}, 300, 200, 100, 60), (vpoint{-100, 7}));
}

TEST(FixPositions, AnchorsOffsetsAndIndicatorCells) {
  // Width 101 at offset 0 pinned in the middle: anchor -50, and back to offset 0
  // for every unrounded width that truncates to 101.
  vpoint anchor{7, 7};
  ASSERT_TRUE(AnchorForFix(fix_middle, {0, 0}, 101, 51, anchor));
  EXPECT_EQ(anchor, (vpoint{-50, -25}));
  for (double w : {101.0, 101.5, 101.99}) {
    vpoint offset{9, 9};
    ASSERT_TRUE(OffsetForFix(fix_middle, anchor, w, 51.5, offset));
    EXPECT_EQ(offset, (vpoint{0, 0})) << w;
  }
  // Each anchor names its fix point's position; even sizes come back exactly.
  const vpoint expected[9] = {{-30, -70},   {-30, -20},  {-80, -20},  {-130, -20}, {-130, -70},
                              {-130, -120}, {-80, -120}, {-30, -120}, {-80, -70}};
  std::mt19937 rng(5);
  for (int fix = 0; fix < 9; ++fix) {
    ASSERT_TRUE(AnchorForFix(fix, {-30, -20}, 100, 100, anchor));
    EXPECT_EQ(anchor, expected[fix]) << fix;
    for (int i = 0; i < 50; ++i) {
      const vpoint o{int(rng() % 6001) - 3000, int(rng() % 6001) - 3000};
      const int w = 2 * int(rng() % 1000 + 1), h = 2 * int(rng() % 800 + 1);
      vpoint back{};
      AnchorForFix(fix, o, w, h, anchor);
      OffsetForFix(fix, anchor, w + 0.25, h + 0.25, back);
      ASSERT_EQ(back, o) << fix << " " << w << " " << h;
    }
  }
  EXPECT_FALSE(AnchorForFix(9, {5, 5}, 10, 10, anchor));

  const vrect pane{100, 2, 150, 22};  // 50 x 20: third 16, half 10, quarter 5, middle (125, 12)
  const vrect cells[10] = {{100, 7, 116, 17},  {100, 2, 116, 12},
                           {117, 2, 133, 12},  {134, 2, 150, 12},
                           {134, 7, 150, 17},  {134, 12, 150, 22},
                           {117, 12, 133, 22}, {100, 12, 116, 22},
                           {117, 7, 133, 17},  pane};
  for (int fix = 0; fix < 10; ++fix) EXPECT_EQ(FixPositionRect(fix, pane), cells[fix]) << fix;
}

TEST(SizeHandles, PlacesMovesAndColours) {
  const int sw = 200, sh = 100;
  const vpoint points[8] = {{0, 0},  {200, 100}, {200, 0}, {0, 100},
                            {0, 50}, {200, 50},  {100, 0}, {100, 100}};
  for (int i = 0; i < handle_count; ++i)
    EXPECT_EQ(HandlePoint(i, sw, sh), points[i]) << HandleName(i);
  // Source at (30, 20) on the target, scale 0.75, target at (40, 40), scrolled by (5, 7).
  EXPECT_EQ(HandleOrigin({0, 0}, {-30, -20}, 0.75f, {40, 40, 1064, 808}, 1.0f, 1.0f, {5, 7}),
            (vpoint{22 + 40 - 5 - 8, 15 + 40 - 7 - 9}));
  EXPECT_EQ(HandleOrigin({200, 100}, {-30, -20}, 0.75f, {40, 40, 1064, 808}, 1.0f, 1.0f, {5, 7}),
            (vpoint{172 + 40 - 5 - 8, 90 + 40 - 7 - 9}));

  // A 200 x 100 source (sizes with their +0.5) at scale 1, each handle moved by (10, 20).
  struct row {
    double width, height;
    vpoint offset;
  };
  const double w = 200.5, h = 100.5;
  const row rows[8] = {{100 * 190.5 / w, 100 * 80.5 / h, {-10, -20}},
                       {100 * 210.5 / w, 100 * 120.5 / h, {0, 0}},
                       {100 * 210.5 / w, 100 * 80.5 / h, {0, -20}},
                       {100 * 190.5 / w, 100 * 120.5 / h, {-10, 0}},
                       {100 * 190.5 / w, 100, {-10, 0}},
                       {100 * 210.5 / w, 100, {0, 0}},
                       {100, 100 * 80.5 / h, {0, -20}},
                       {100, 100 * 120.5 / h, {0, 0}}};
  for (int i = 0; i < handle_count; ++i) {
    source_scale s{100, 100, {0, 0}};
    MoveHandle(i, s, w, h, 10, 20, 1.0f);
    EXPECT_DOUBLE_EQ(s.width_percent, rows[i].width) << HandleName(i);
    EXPECT_DOUBLE_EQ(s.height_percent, rows[i].height) << HandleName(i);
    EXPECT_EQ(s.offset, rows[i].offset) << HandleName(i);
  }
  // Past the opposite edge the percent stops at 2 and the edge stays.
  source_scale s{100, 100, {0, 0}};
  MoveHandle(handle_top_left, s, w, h, 300, 5, 1.0f);
  EXPECT_EQ(s.width_percent, 2.0);
  EXPECT_EQ(s.offset, (vpoint{0, -5}));
  // 7 client pixels at scale 0.5 are 14 target pixels; 2 at scale 3 are none.
  s = {100, 100, {0, 0}};
  MoveHandle(handle_middle_right, s, w, h, 7, 0, 0.5f);
  EXPECT_DOUBLE_EQ(s.width_percent, 100 * 214.5 / w);
  s = {100, 100, {0, 0}};
  MoveHandle(handle_top_left, s, w, h, 2, 2, 3.0f);
  EXPECT_EQ(s.width_percent, 100.0);

  EXPECT_EQ(HandleFill({255, 255, 255}), 0x2FC0AFu);
  EXPECT_EQ(HandleFrame({0, 0, 0}), 0xFFFFFFu);
  EXPECT_EQ(HandleFill({0, 199, 91}), 0xD03F50u);  // L = 8000 still counts as dark
  EXPECT_EQ(HandleFill({0, 199, 92}), 0x2FC0AFu);
}

// Each handle dragged towards the smallest size: a step that would leave 1.75 % wide
// or 1.5 % high stops at 2 % with that axis's leading edge where it was; one that
// leaves 2.24 % keeps it and moves the edge.
TEST(SizeHandles, ShrinkingStopsAtTwoPercent) {
  const double w = 200.5, h = 100.5;  // a 200 x 100 source at 100 %
  // The direction in which each handle's axis shrinks the source: +1 the left or top
  // edge moving right or down, -1 the right or bottom edge moving left or up, 0 none.
  const int shrink[8][2] = {{1, 1}, {-1, -1}, {-1, 1}, {1, -1}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (int i = 0; i < handle_count; ++i) {
    SCOPED_TRACE(HandleName(i));
    source_scale s{100, 100, {-7, -9}};
    MoveHandle(i, s, w, h, shrink[i][0] * 197, shrink[i][1] * 99, 1.0f);  // 3.5 and 1.5 pixels left
    EXPECT_EQ(s.width_percent, shrink[i][0] ? 2.0 : 100.0);
    EXPECT_EQ(s.height_percent, shrink[i][1] ? 2.0 : 100.0);
    EXPECT_EQ(s.offset, (vpoint{-7, -9}));
  }
  source_scale s{100, 100, {0, 0}};
  MoveHandle(handle_top_left, s, w, h, 196, 0, 1.0f);
  EXPECT_DOUBLE_EQ(s.width_percent, 100 * 4.5 / w);
  EXPECT_EQ(s.offset, (vpoint{-196, 0}));
  // From 3 % a 3-pixel step of a 6.5-pixel-wide source would leave 1.62 %.
  s = {3, 3, {0, 0}};
  MoveHandle(handle_bottom_right, s, 6.5, 6.5, -3, -3, 1.0f);
  EXPECT_EQ(s.width_percent, 2.0);
  EXPECT_EQ(s.height_percent, 2.0);
}

struct grid_ui : recording_ui {
  std::vector<std::array<int, 3>> scales;  // source, axis, percent
  std::vector<std::pair<int, bool>> fits, mirrors;
  void SetScaleProperty(int s, int axis, int percent) override {
    scales.push_back({s, axis, percent});
  }
  void SetFitProperty(int s, bool fit) override { fits.emplace_back(s, fit); }
  void SetMirrorImage(int s, bool mirrored) override { mirrors.emplace_back(s, mirrored); }
};

class Placement : public ViewFixture {
 protected:
  void SetUp() override {
    ViewFixture::SetUp();
    SetUiPort(&grid);
    SetTarget(1024, 768);
    Source(1, 800, 600);
    Source(2, 300, 900);
  }
  void TearDown() override {
    ViewFixture::TearDown();
    fix_point_1 = fix_point_2 = 1;
  }
  void Source(int s, int w, int h, int kind = kind_file) {
    doc.image_size[s - 1] = {w, h};
    doc.source_kind[s - 1] = kind;
    view->UpdateSourceGeometry(s);
  }
  grid_ui grid;
};

TEST_F(Placement, AdjoinPutsOneSourceOnEachHalf) {
  view->AdjoinSources(2);
  // Source 1 (fit 1.28) at half the target's width: 50 %. Source 2, a portrait,
  // would be taller than the target at half its width, so it stays at 100 %.
  EXPECT_DOUBLE_EQ(view->width_percent[0], 50.0);
  EXPECT_DOUBLE_EQ(view->height_percent[0], 50.0);
  EXPECT_EQ(view->width_percent[1], 100.0);
  EXPECT_EQ(grid.scales,
            (std::vector<std::array<int, 3>>{{1, 1, 50}, {1, 0, 50}, {2, 1, 100}, {2, 0, 100}}));
  EXPECT_EQ(view->offset[0], (vpoint{0, 0}));  // its right edge at 512, the middle
  EXPECT_EQ(view->offset[1], (vpoint{-512, 0}));
  EXPECT_EQ(fix_point_1, fix_top_left);
  EXPECT_EQ(fix_point_2, fix_top_right);
  EXPECT_EQ(view->anchor[1], (vpoint{-512 - 256, 0}));  // minus its top-right corner

  // A source scaled to its own size only halves its width; a text source is
  // switched to the target's scale and its grid property says so.
  grid.scales.clear();
  view->fit_to_target[0] = 0;
  view->height_percent[0] = 80.0;
  Source(2, 300, 900, kind_text);
  view->fit_to_target[1] = 0;
  view->AdjoinSources(1);
  EXPECT_EQ(view->width_percent[0], 50.0);
  EXPECT_EQ(view->height_percent[0], 80.0);
  EXPECT_EQ(view->fit_to_target[1], 1);
  EXPECT_EQ(grid.fits, (std::vector<std::pair<int, bool>>{{2, true}}));
  EXPECT_EQ(view->offset[0], (vpoint{-512, 0}));
  EXPECT_EQ(fix_point_1, fix_top_right);
}

TEST_F(Placement, ScaleTopLeftAndMirrorKeepAnchorsInStep) {
  fix_point_2 = fix_bottom_right;
  view->offset[1] = {-100, -50};
  view->UpdateFixAnchor(2);
  EXPECT_EQ(view->anchor[1], (vpoint{-356, -818}));
  // A new scale keeps the top-left; the anchor follows the new bottom-right.
  view->SetSourceScalePercent(50, 1, 2);
  EXPECT_EQ(view->offset[1], (vpoint{-100, -50}));
  EXPECT_EQ(view->anchor[1], (vpoint{-228, -818}));
  // Placed by the anchor again, the source keeps its place.
  view->MoveSourceToFixPosition(2);
  EXPECT_EQ(view->offset[1], (vpoint{-100, -50}));

  view->MoveSource2TopLeft();
  EXPECT_EQ(fix_point_2, fix_top_left);
  EXPECT_EQ(view->offset[1], (vpoint{0, 0}));
  EXPECT_EQ(view->anchor[1], (vpoint{0, 0}));

  view->MirrorSource(1);
  EXPECT_EQ(doc.mirrored[0], 1);
  view->MirrorSource(1);
  EXPECT_EQ(doc.mirrored[0], 0);
  EXPECT_EQ(grid.mirrors, (std::vector<std::pair<int, bool>>{{1, true}, {1, false}}));
}

TEST_F(Placement, BoxPreviewMixesWhereBothCoverAndRestoresWhereNeither) {
  SetTarget(4, 4);
  target_width = target_height = 4;
  for (int s = 1; s <= 2; ++s)
    Paint(s, [s](int, int) { return s == 1 ? bgr{200, 100, 0} : bgr{0, 100, 200}; });
  view->layers[1].Mask(1, 2) = 0;  // only source 1
  view->layers[0].Mask(2, 2) = 0;  // only source 2
  view->layers[0].Mask(2, 1) = view->layers[1].Mask(2, 1) = 0;
  FillTarget(target_pixels, {1, 2, 3, 77});
  FillTarget(target_copy, {9, 8, 7, 66});
  view->zone_box[0] = 11, view->zone_box[1] = 21;  // target pixels (1, 1) to (3, 3), exclusive
  view->zone_box[2] = 13, view->zone_box[3] = 23;
  view->PreviewBlendingBox();
  EXPECT_EQ(view->presented, 1);
  EXPECT_EQ(Bgr(Out(1, 1)), (bgr{100, 100, 99}));  // (129 x 200 + 127 x 0) >> 8 ...
  EXPECT_EQ(Bgr(Out(2, 1)), (bgr{9, 8, 7}));       // neither covers: the saved target
  EXPECT_EQ(Bgr(Out(1, 2)), (bgr{1, 2, 3}));       // one covers: untouched
  EXPECT_EQ(Bgr(Out(2, 2)), (bgr{1, 2, 3}));
  EXPECT_EQ(Bgr(Out(3, 3)), (bgr{1, 2, 3}));  // outside the box
  for (int i = 0; i < 16; ++i) EXPECT_EQ(target_pixels[i].fourth, 77);

  view->zone_box[0] = -1;
  view->PreviewBlendingBox();
  EXPECT_EQ(view->presented, 1);
}

// At half the target's width a 400 x 800 source would be 1024.5 high on a 768 high
// target: it stays at 100 %. A 400 x 500 one is 640.5 high and takes 83.3 %.
TEST_F(Placement, AdjoinKeepsASourceThatWouldOutgrowTheTargetAtItsSize) {
  Source(2, 400, 800);
  view->AdjoinSources(1);
  EXPECT_EQ(view->width_percent[1], 100.0);
  EXPECT_EQ(view->height_percent[1], 100.0);
  grid.scales.clear();
  Source(2, 400, 500);  // fit min(1024 / 400, 768 / 500) = 1.536: 614.4 wide at 100 %
  view->AdjoinSources(1);
  EXPECT_DOUBLE_EQ(view->width_percent[1], 1024 * 50.0 / 614.4);
  EXPECT_EQ(grid.scales, (std::vector<std::array<int, 3>>{{1, 1, 50}, {1, 0, 50}, {2, 1, 83}, {2, 0, 83}}));
}

// White over black: (129 x 255) >> 8 = 128 in each channel; black over white 126.
TEST_F(Placement, BoxPreviewWeighsSource1By129Of256) {
  SetTarget(2, 1);
  target_width = 2, target_height = 1;
  Paint(1, [](int c, int) { return c == 0 ? bgr{255, 255, 255} : bgr{0, 0, 0}; });
  Paint(2, [](int c, int) { return c == 0 ? bgr{0, 0, 0} : bgr{255, 255, 255}; });
  view->zone_box[0] = 10, view->zone_box[1] = 20, view->zone_box[2] = 12, view->zone_box[3] = 21;
  view->PreviewBlendingBox();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{128, 128, 128}));
  EXPECT_EQ(Bgr(Out(0, 1)), (bgr{126, 126, 126}));
}

}  // namespace
