#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "engine/base/process_state.h"
#include "engine/warp/quad_transform.h"
#include "platform/settings.h"
#include "sources/document.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui/test_app.h"
#include "ui/commands/command_ids.h"
#include "ui/dialogs/arrow_button.h"
#include "ui/dialogs/highlighting_dialog.h"
#include "ui/dialogs/perspective_dialog.h"
#include "ui/dialogs/rotate_dialog.h"
#include "ui/dialogs/rotate_wheel.h"
#include "ui/dialogs/perspective_picture.h"
#include "ui/view/view.h"

namespace {

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
class tool_dialogs : public testing::Test {
 protected:
  void SetUp() override {
    SetUiPort(&ui);
    SetSettingsStore(nullptr);
    frame = new wxFrame(nullptr, wxID_ANY, "tools");
    frame->SetClientSize(800, 600);
    view = new spy_view(frame, &doc);
    view->SetSize(0, 0, 800, 600);
    frame->Show();
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
  void TearDown() override {
    frame->Destroy();
    Settle();
    SetUiPort(nullptr);
    source_count = target_width = target_height = 0;
  }
  static void Settle() {
    wxTheApp->ProcessPendingEvents();
    wxYield();
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
  std::vector<bgra> Target() const { return {target_pixels, target_pixels + target_width * target_height}; }
  static bool Same(const std::vector<bgra>& a, const std::vector<bgra>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(bgra)) == 0;
  }
  template <class T>
  static T* Child(wxWindow* parent, int id) {
    return dynamic_cast<T*>(parent->FindWindow(id));
  }
  static void Press(wxWindow* dialog, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(dialog->FindWindow(id));
    dialog->ProcessWindowEvent(click);
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

  recording_port ui;
  CvorbelDoc doc;
  wxFrame* frame = nullptr;
  spy_view* view = nullptr;
};

class tool_commands : public app_fixture {};

TEST_F(tool_commands, RotateAndPerspectiveAreOfferedWithTwoSourcesOnly) {
  Start();
  for (int command : {cmd_rotate, cmd_perspective}) {
    source_count = 1;
    EXPECT_FALSE(Enabled(command));
    Command(WxId(command));  // as the accelerator may still send it: nothing opens
    EXPECT_EQ(the_rotate_dialog, nullptr);
    EXPECT_EQ(the_quad_dialog, nullptr);
    source_count = 2;
    EXPECT_TRUE(Enabled(command));
  }
  source_count = 0;
}

TEST(rotate_wheel, PointsOfTheRingChooseClockwiseAnglesAndTheNeedleFollows) {
  using namespace wheel_geometry;
  const int w = 100, h = 100;  // centre (50, 50), R 50
  EXPECT_EQ(AngleAt(w, h, 50, 10), 0);
  EXPECT_EQ(AngleAt(w, h, 90, 50), 90);
  EXPECT_EQ(AngleAt(w, h, 50, 90), 180);
  EXPECT_EQ(AngleAt(w, h, 10, 50), 270);
  EXPECT_EQ(AngleAt(w, h, 80, 20), 45);
  EXPECT_EQ(AngleAt(w, h, 20, 20), 315);
  EXPECT_EQ(AngleAt(w, h, 50, 29), 0);             // d² 441 > 2500 / 6
  EXPECT_EQ(AngleAt(w, h, 50, 30), std::nullopt);  // d² 400: the inner disc
  EXPECT_EQ(AngleAt(w, h, 50, 50), std::nullopt);
  EXPECT_EQ(AngleAt(w, h, 50 + 87, 50), std::nullopt);  // d² 7569 ≥ 3 R²
  // Straight up and to the right, 3w/8 long less the pixel that the truncated
  // sine and cosine of the short pi lose.
  EXPECT_EQ(NeedleEnd(w, h, 0), wxPoint(50, 14));
  EXPECT_EQ(NeedleEnd(w, h, 90), wxPoint(86, 50));
  EXPECT_EQ(RotationOfAngle(270), -90);
  EXPECT_EQ(RotationOfAngle(180), -180);
  EXPECT_EQ(RotationOfAngle(179), 179);
  EXPECT_EQ(AngleOfRotation(-90.0), 270);
  EXPECT_EQ(AngleOfRotation(45.7), 45);
}

TEST_F(tool_dialogs, RotateAppliesAQuickPreviewThenTheFullPassAboutTheOpeningCentre) {
  rotate dialog(frame, *view);
  dialog.Show();
  auto* box = Child<wxTextCtrl>(&dialog, rotate::angle_id);
  EXPECT_EQ(box->GetValue(), "0");
  box->SetValue("90");
  Press(&dialog, rotate::apply_id);
  EXPECT_EQ(view->fast_preview, 1);
  Idle(&dialog);
  Idle(&dialog);
  Idle(&dialog);
  EXPECT_EQ(view->presented, (std::vector<int>{1, 0})) << "one quick pass, then one full pass";
  EXPECT_EQ(view->rotation[0], 90.0);
  EXPECT_EQ(view->rotated_size[0].width, 100);
  // The 200 x 100 box turned upright keeps its middle: 50 pixels more on each side
  // vertically, 50 fewer horizontally.
  EXPECT_EQ(view->offset[0].x, dialog.saved_offset[0][0] - 50);
  EXPECT_EQ(view->offset[0].y, dialog.saved_offset[0][1] + 50);

  // A dragged wheel asks for the preview and the box follows; the typed text is not
  // read by the idle steps, so a half-typed angle neither counts nor complains.
  dialog.wheel_window->SetAngleFromPoint({dialog.wheel_window->GetClientSize().x / 2, 2});
  EXPECT_EQ(box->GetValue(), "0");
  box->SetValue("4x");
  Idle(&dialog);
  Idle(&dialog);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(view->rotation[0], 0.0);

  // OK takes the typed angle about the same centre a preview would have used.
  box->SetValue("90");
  Press(&dialog, wxID_OK);
  EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
  EXPECT_EQ(view->rotation[0], 90.0);
  EXPECT_EQ(view->offset[0].x, dialog.saved_offset[0][0] - 50);
  EXPECT_EQ(view->presented.back(), 0);
}

TEST_F(tool_dialogs, RotateRefusesAnglesOutsideTheRangeAndCancelRestoresBothSources) {
  view->rotation[1] = -90;
  view->UpdateSourceGeometry(2);
  const vpoint offsets[2] = {view->offset[0], view->offset[1]};
  rotate dialog(frame, *view);
  dialog.Show();
  auto* box = Child<wxTextCtrl>(&dialog, rotate::angle_id);
  const std::string range = "Please enter an integer between 0 and 359.", integer = "Please enter an integer.";
  for (auto [text, message] : {std::pair{"400", range}, {"360", range}, {" -1 ", range}, {"abc", integer},
                               {"99999999999", integer}, {"", integer}, {"4 5", integer}}) {
    ui.messages.clear();
    box->SetValue(text);
    Press(&dialog, wxID_OK);
    ASSERT_EQ(ui.messages.size(), 1u) << text;
    EXPECT_EQ(ui.messages[0].first, message) << text;
    EXPECT_TRUE(dialog.IsShown());
    EXPECT_EQ(view->rotation[0], 0.0);
  }

  box->SetValue("30");
  Press(&dialog, rotate::apply_id);
  Idle(&dialog);
  Idle(&dialog);
  Child<wxRadioButton>(&dialog, rotate::select_2_id)->SetValue(true);
  wxCommandEvent select(wxEVT_RADIOBUTTON, rotate::select_2_id);
  dialog.ProcessWindowEvent(select);
  EXPECT_EQ(box->GetValue(), "270") << "source 2's angle";
  box->SetValue("10");
  Press(&dialog, rotate::apply_id);
  Idle(&dialog);
  Idle(&dialog);
  EXPECT_EQ(view->rotation[0], 30.0);
  EXPECT_EQ(view->rotation[1], 10.0);

  view->fast_preview = 1;  // input still waiting for an idle step
  const size_t before = view->presented.size();
  Press(&dialog, wxID_CANCEL);
  EXPECT_EQ(dialog.GetReturnCode(), wxID_CANCEL);
  EXPECT_EQ(view->rotation[0], 0.0);
  EXPECT_EQ(view->rotation[1], -90.0);
  for (int s = 0; s < 2; ++s) {
    EXPECT_EQ(view->offset[s].x, offsets[s].x);
    EXPECT_EQ(view->offset[s].y, offsets[s].y);
  }
  EXPECT_EQ(view->presented.size(), before + 1);
  EXPECT_EQ(view->presented.back(), 0) << "the restored target at full quality";
}

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

TEST_F(tool_dialogs, HighlightingButtonsStepTheirSlopesAndCancelPutsAllBack) {
  view->position_slopes[0] = {5, 6};
  effect_code = 6;
  view->CombineTarget();
  StoreTargetCopy();
  const std::vector<bgra> before = Target();
  pos_bright_cont dialog(frame, *view);
  dialog.Show();
  for (const slope_pair& s : view->position_slopes) EXPECT_EQ(std::make_pair(s.vertical, s.horizontal), std::make_pair(0, 0));

  // {command, red, green, blue} as (vertical, horizontal) changes of one press.
  struct row {
    int command;
    std::array<int, 6> change;
  };
  const row rows[] = {
      {393, {-8, 0, -8, 0, -8, 0}}, {400, {-8, 0, 0, 0, 0, 0}}, {401, {0, 0, -8, 0, 0, 0}}, {402, {0, 0, 0, 0, -8, 0}},
      {395, {8, 0, 8, 0, 8, 0}},    {406, {8, 0, 0, 0, 0, 0}},  {407, {0, 0, 8, 0, 0, 0}},  {408, {0, 0, 0, 0, 8, 0}},
      {394, {0, -8, 0, -8, 0, -8}}, {403, {0, -8, 0, 0, 0, 0}}, {404, {0, 0, 0, -8, 0, 0}}, {405, {0, 0, 0, 0, 0, -8}},
      {396, {0, 8, 0, 8, 0, 8}},    {397, {0, 8, 0, 0, 0, 0}},  {398, {0, 0, 0, 8, 0, 0}},  {399, {0, 0, 0, 0, 0, 8}},
  };
  for (const row& r : rows) {
    Press(&dialog, pos_bright_cont::reset_id);
    const size_t shown = view->presented.size();
    Child<arrow_button>(&dialog, r.command)->Click();
    const slope_pair* s = view->position_slopes;
    EXPECT_EQ((std::array<int, 6>{s[0].vertical, s[0].horizontal, s[1].vertical, s[1].horizontal, s[2].vertical,
                                  s[2].horizontal}),
              r.change)
        << r.command;
    EXPECT_EQ(view->presented.size(), shown + 1) << "each press recombines";
  }
  Press(&dialog, pos_bright_cont::reset_id);
  for (int i = 0; i < 3; ++i) Child<arrow_button>(&dialog, 395)->Click();
  Child<arrow_button>(&dialog, 400)->Click();
  EXPECT_EQ(view->position_slopes[0].vertical, 16);
  EXPECT_EQ(view->position_slopes[1].vertical, 24);
  EXPECT_FALSE(Same(Target(), before));

  source_count = 1;  // without two sources a press changes the slopes alone
  const std::vector<bgra> highlighted = Target();
  Child<arrow_button>(&dialog, 396)->Click();
  EXPECT_EQ(view->position_slopes[2].horizontal, 8);
  EXPECT_TRUE(Same(Target(), highlighted));
  source_count = 2;

  Press(&dialog, wxID_CANCEL);
  EXPECT_TRUE(Same(Target(), before));
  EXPECT_EQ(std::make_pair(view->position_slopes[0].vertical, view->position_slopes[0].horizontal), std::make_pair(5, 6));
  EXPECT_EQ(view->position_slopes[1].vertical, 0);
}

}  // namespace
