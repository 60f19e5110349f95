#include <gtest/gtest.h>

#include <wx/radiobut.h>
#include <wx/stattext.h>

#include <algorithm>
#include <array>
#include <vector>

#include "engine/base/process_state.h"
#include "engine/warp/quad_transform.h"
#include "tests/ui/dialogs/tool_dialogs_fixture.h"
#include "ui/commands/command_ids.h"
#include "ui/dialogs/perspective_dialog.h"
#include "ui/dialogs/perspective_picture.h"

namespace {

TEST(quad_drag, CornersCoupleByModeAndTheDialogTextsFollowTheImage) {
  using namespace quad_drag;
  const std::array<int, 8> start{0, 0, 100, 0, 0, 80, 100, 80};
  struct row {
    int dragged, mode;
    std::array<int, 8> want;
  };
  // Each corner moved by (+10, +5) from its start first.
  const row rows[] = {
      {0, affine, {10, 5, 100, 0, 0, 80, 90, 75}},     {1, affine, {0, 0, 110, 5, -10, 75, 100, 80}},
      {2, affine, {0, 0, 90, -5, 10, 85, 100, 80}},    {3, affine, {-10, -5, 100, 0, 0, 80, 110, 85}},
      {0, vertical_edge, {10, 5, 100, 0, 10, 80, 100, 80}}, {3, vertical_edge, {0, 0, 110, 0, 0, 80, 110, 85}},
      {1, horizontal_edge, {0, 5, 110, 5, 0, 80, 100, 80}}, {2, horizontal_edge, {0, 0, 100, 0, 10, 85, 100, 85}},
      {1, free_corners, {0, 0, 110, 5, 0, 80, 100, 80}},
  };
  for (const row& r : rows) {
    std::array<int, 8> c = start;
    c[2 * r.dragged] += 10;
    c[2 * r.dragged + 1] += 5;
    Couple(c.data(), r.dragged, r.mode);
    EXPECT_EQ(c, r.want) << r.dragged << " " << r.mode;
  }
  EXPECT_EQ(HoverText(3, 1024, 768, 1024, 768), "Bottom right 1024 X 768      100% X 100%");
  EXPECT_EQ(HoverText(0, 0, 0, 1024, 768), "Top left 0 X 0      0% X 0%");

  bool narrower = false;
  EXPECT_EQ(FitFrame(2048, 1024, {240, 195}, narrower), wxSize(240, 120));
  EXPECT_FALSE(narrower);
  EXPECT_EQ(FitFrame(640, 640, {240, 195}, narrower), wxSize(195, 195));
  EXPECT_TRUE(narrower);
  for (auto [w, h] : {std::pair{2048, 32}, {32, 1536}}) {
    const wxSize fitted = FitFrame(w, h, {240, 195}, narrower);
    EXPECT_GE(std::min(fitted.x, fitted.y), 56) << w << "x" << h;
  }
}

TEST_F(tool_dialogs, PerspectiveDragsCornersAndOkWarpsOnlyWhenTheyMoved) {
  wxCommandEvent command(wxEVT_MENU, WxId(cmd_perspective));
  // OK with the corners untouched, Cancel, and Reset after a drag all leave the warp off.
  for (int ending : {0, 1, 2}) {
    wxTheApp->CallAfter([ending] {
      auto* dialog = static_cast<quad*>(the_quad_dialog);
      show_quad* drawing = dialog->quad_view;
      drawing->Measure();
      if (ending == 2) {
        const wxPoint tl = drawing->corner_points[0];
        Mouse(drawing, wxEVT_LEFT_DOWN, tl);
        Mouse(drawing, wxEVT_MOTION, tl + wxPoint(20, 10));
        Mouse(drawing, wxEVT_LEFT_UP, tl + wxPoint(20, 10));
        Press(dialog, quad::reset_id);
      }
      Press(dialog, ending == 1 ? wxID_CANCEL : wxID_OK);
    });
    view->OnPerspectiveTransform(command);
    EXPECT_FALSE(view->perspective_on) << ending;
  }

  view->RebuildSources(-1);
  const std::vector<bgra> unwarped = Target();
  std::array<int, 8> dragged{};
  wxTheApp->CallAfter([&dragged] {
    auto* dialog = static_cast<quad*>(the_quad_dialog);
    show_quad* drawing = dialog->quad_view;
    drawing->Measure();
    // Affine: the top-left blob dragged far beyond the window's left and top stops
    // at the image's edge, and the bottom-right corner moves the other way.
    dialog->modes[1]->SetValue(true);
    const wxPoint tl = drawing->corner_points[0], br = drawing->corner_points[3];
    Mouse(drawing, wxEVT_LEFT_DOWN, tl + wxPoint(2, -3));
    Mouse(drawing, wxEVT_MOTION, tl + wxPoint(40, 30));
    Mouse(drawing, wxEVT_MOTION, wxPoint(-500, -500));
    Mouse(drawing, wxEVT_LEFT_UP, wxPoint(-500, -500));
    EXPECT_EQ(quad_corners[0], 0);
    EXPECT_EQ(quad_corners[1], 0);
    // Two blobs on one spot are grabbed together and move as one.
    dialog->modes[0]->SetValue(true);
    Mouse(drawing, wxEVT_LEFT_DOWN, br);
    Mouse(drawing, wxEVT_LEFT_UP, drawing->corner_points[1]);
    drawing->Measure();
    Mouse(drawing, wxEVT_LEFT_DOWN, drawing->corner_points[1]);
    EXPECT_TRUE(drawing->grabbed[1] && drawing->grabbed[3]);
    Mouse(drawing, wxEVT_MOTION, drawing->corner_points[1] + wxPoint(-30, 40));
    Mouse(drawing, wxEVT_LEFT_UP, drawing->corner_points[1] + wxPoint(-30, 40));
    EXPECT_EQ(quad_corners[2], quad_corners[6]);
    EXPECT_EQ(quad_corners[3], quad_corners[7]);
    EXPECT_LT(quad_corners[2], target_width);
    drawing->Measure();
    Mouse(drawing, wxEVT_MOTION, drawing->corner_points[3]);
    EXPECT_EQ(dialog->corner_label->GetLabel().substr(0, 13), "Bottom right ");
    std::copy(quad_corners, quad_corners + 8, dragged.begin());
    Press(dialog, wxID_OK);
  });
  view->OnPerspectiveTransform(command);
  EXPECT_TRUE(view->perspective_on);
  const std::vector<bgra> warped = Target();
  std::copy(unwarped.begin(), unwarped.end(), target_work);
  ApplyQuadTransform();
  EXPECT_TRUE(Same(Target(), warped)) << "the opening target mapped onto the corners";
  EXPECT_FALSE(Same(unwarped, warped));
  EXPECT_TRUE(std::equal(dragged.begin(), dragged.end(), quad_corners));
}

TEST_F(tool_dialogs, PerspectiveDrawingStaysUsableForTheFlattestAndNarrowestTargets) {
  for (auto [w, h] : {std::pair{2048, 32}, {32, 1536}}) {
    view->target_rect = {0, 0, w, h};
    view->RebuildSources(-1);
    quad dialog(frame);
    dialog.Show();
    show_quad* drawing = dialog.quad_view;
    drawing->Measure();
    EXPECT_GT(drawing->scale_x, 0.0f);
    EXPECT_GT(drawing->scale_y, 0.0f);
    const wxPoint br = drawing->corner_points[3];
    Mouse(drawing, wxEVT_LEFT_DOWN, br);
    Mouse(drawing, wxEVT_MOTION, br + wxPoint(-15, -15));
    Mouse(drawing, wxEVT_LEFT_UP, br + wxPoint(-15, -15));
    EXPECT_TRUE(quad_corners[6] >= 0 && quad_corners[6] < w && quad_corners[7] >= 0 && quad_corners[7] < h)
        << w << "x" << h;
    Press(&dialog, wxID_OK);
    EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
  }
}

}  // namespace
