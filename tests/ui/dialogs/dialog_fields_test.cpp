#include <gtest/gtest.h>

#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>

#include "engine/base/process_state.h"
#include "engine/warp/quad_transform.h"
#include "engine/base/view_core.h"
#include "platform/settings.h"
#include "sources/software_pattern.h"
#include "tests/ui/placed_sources_fixture.h"
#include "ui/commands/command_ids.h"
#include "ui/dialogs/canvas_size_dialog.h"
#include "ui/dialogs/perspective_dialog.h"
#include "ui/dialogs/perspective_picture.h"
#include "ui/dialogs/software_source_dialog.h"
#include "ui/dialogs/source_fix_dialog.h"
#include "ui/dialogs/source_size_dialog.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/trackbar.h"
#include "ui/view/view.h"

namespace {

class dialog_fields : public placed_sources {
 protected:
  void TearDown() override {
    software_source::ask_colour = nullptr;
    placed_sources::TearDown();
  }
  template <class T>
  static T* Child(wxWindow* dialog, int id) {
    auto* child = dynamic_cast<T*>(dialog->FindWindow(id));
    EXPECT_NE(child, nullptr) << id;
    return child;
  }
  static std::pair<std::string, std::string> Shown(wxWindow* dialog, int x_id, int y_id) {
    return {Child<wxTextCtrl>(dialog, x_id)->GetValue().utf8_string(),
            Child<wxTextCtrl>(dialog, y_id)->GetValue().utf8_string()};
  }
};

TEST_F(dialog_fields, EachFixRadioNamesItsPointAndTheDistancesMeasureToIt) {
  struct radio {
    const char* name;
    int x1, y1;  // source 1's point: its distance from the target's top left
    int x2, y2;  // source 2's point, from source 1's top left
  };
  const radio radios[9] = {{"Left", 0, 24, 100, 65},         {"Top Left", 0, 0, 100, 50},
                           {"Top", 32, 0, 120, 50},          {"Top Right", 64, 0, 140, 50},
                           {"Right", 64, 24, 140, 65},       {"Bottom Right", 64, 48, 140, 80},
                           {"Bottom", 32, 48, 120, 80},      {"Bottom Left", 0, 48, 100, 80},
                           {"Middle", 32, 24, 120, 65}};
  const int ids_2[9] = {1120, 1121, 1122, 1123, 1124, 1125, 1126, 1127, 1228};
  source_fix dialog(view, *view);
  dialog.Show();
  for (int k = 0; k < 9; ++k) {
    const radio& r = radios[k];
    EXPECT_EQ(Child<wxRadioButton>(&dialog, 1100 + k)->GetLabel(), r.name);
    EXPECT_EQ(Child<wxRadioButton>(&dialog, ids_2[k])->GetLabel(), r.name);

    Click(&dialog, 1101);
    Click(&dialog, ids_2[k]);
    EXPECT_EQ(fix_point_2, k) << r.name;
    EXPECT_EQ(Shown(&dialog, 1250, 1251), std::make_pair(std::to_string(r.x2), std::to_string(r.y2))) << r.name;
    EXPECT_EQ(Shown(&dialog, 1252, 1253), std::make_pair(std::string("0"), std::string("0"))) << r.name;

    Click(&dialog, 1121);
    Click(&dialog, 1100 + k);
    EXPECT_EQ(fix_point_1, k) << r.name;
    EXPECT_EQ(Shown(&dialog, 1252, 1253), std::make_pair(std::to_string(r.x1), std::to_string(r.y1))) << r.name;
    EXPECT_EQ(Shown(&dialog, 1250, 1251), std::make_pair(std::to_string(100 - r.x1), std::to_string(50 - r.y1)))
        << r.name;
  }
  // Apply keeps each point where the distances say: source 2's middle 10 pixels
  // right of and 5 below source 1's middle, which sits 200, 100 in.
  Click(&dialog, 1108);
  Click(&dialog, 1228);
  Child<wxTextCtrl>(&dialog, 1250)->ChangeValue("10");
  Child<wxTextCtrl>(&dialog, 1251)->ChangeValue("5");
  Child<wxTextCtrl>(&dialog, 1252)->ChangeValue("200");
  Child<wxTextCtrl>(&dialog, 1253)->ChangeValue("100");
  Press(&dialog, source_fix::apply_id);
  EXPECT_EQ(view->offset[0].x, -(200 - 32));
  EXPECT_EQ(view->offset[0].y, -(100 - 24));
  EXPECT_EQ(view->offset[1].x, -(210 - 20));
  EXPECT_EQ(view->offset[1].y, -(105 - 15));
  Press(&dialog, wxID_CANCEL);
}

TEST_F(dialog_fields, SizingBoxesSitUnderTheirOwnLabels) {
  source_size dialog(view, *view);
  dialog.Show();
  const std::pair<const char*, sizing_box> kinds[6] = {{"Left", sizing_box::left},     {"Right", sizing_box::right},
                                                       {"Top", sizing_box::top},       {"Bottom", sizing_box::bottom},
                                                       {"Width", sizing_box::width},   {"Height", sizing_box::height}};
  int found = 0;
  for (wxWindow* child : dialog.GetChildren()) {
    auto* label = dynamic_cast<wxStaticText*>(child);
    if (!label) continue;
    for (auto [name, kind] : kinds) {
      if (label->GetLabel() != name) continue;
      const wxRect at = label->GetRect();
      const int s = at.x < dialog.GetClientSize().x / 2 ? 1 : 2;
      const wxRect box = dialog.Box(s, kind)->GetRect();
      EXPECT_EQ(box.x, at.x) << name << " " << s;
      EXPECT_GT(box.y, at.y) << name << " " << s;
      EXPECT_LT(box.y - at.GetBottom(), 8) << name << " " << s;
      ++found;
    }
  }
  EXPECT_EQ(found, 12);
  // The boxes lie as the margins lie around the source.
  for (int s = 1; s <= 2; ++s) {
    auto y = [&](sizing_box kind) { return dialog.Box(s, kind)->GetPosition().y; };
    auto x = [&](sizing_box kind) { return dialog.Box(s, kind)->GetPosition().x; };
    EXPECT_LT(y(sizing_box::top), y(sizing_box::width)) << s;
    EXPECT_LT(y(sizing_box::width), y(sizing_box::height)) << s;
    EXPECT_LT(y(sizing_box::height), y(sizing_box::bottom)) << s;
    EXPECT_LT(x(sizing_box::left), x(sizing_box::width)) << s;
    EXPECT_LT(x(sizing_box::width), x(sizing_box::right)) << s;
  }
  // Source 2's margins, read under their labels: 100 left, 500 right, 50 top, 400 bottom.
  EXPECT_EQ(dialog.Box(2, sizing_box::top)->GetValue(), "50");
  EXPECT_EQ(dialog.Box(2, sizing_box::bottom)->GetValue(), "400");
  EXPECT_EQ(dialog.Box(2, sizing_box::width)->GetValue(), "40");
  EXPECT_EQ(dialog.Box(2, sizing_box::height)->GetValue(), "30");
  Press(&dialog, wxID_CANCEL);
}

TEST_F(dialog_fields, TargetSizeTakesBothLowestSizesAndNoLower) {
  for (auto [w, h, message] : {std::tuple{"32", "31", "Please enter an integer between 32 and 1536."},
                               {"31", "32", "Please enter an integer between 32 and 2048."},
                               {"2048", "1537", "Please enter an integer between 32 and 1536."},
                               {"32", "32", ""}}) {
    Messages().clear();
    wxTheApp->CallAfter([w, h] {
      auto* dialog = dynamic_cast<canvas_size*>(wxWindow::FindWindowById(347));
      ASSERT_NE(dialog, nullptr);
      Child<wxTextCtrl>(dialog, canvas_size::width_id)->ChangeValue(w);
      Child<wxTextCtrl>(dialog, canvas_size::height_id)->ChangeValue(h);
      Press(dialog, wxID_OK);
      if (dialog->IsModal()) Press(dialog, wxID_CANCEL);
    });
    Command(WxId(cmd_target_size));
    if (*message) {
      ASSERT_EQ(Messages().size(), 1u) << w << "x" << h;
      EXPECT_EQ(Messages()[0].first, message);
      EXPECT_EQ(target_width, 640);
    } else {
      EXPECT_TRUE(Messages().empty());
      EXPECT_EQ(target_width, 32);
      EXPECT_EQ(target_height, 32);
      EXPECT_EQ(the_settings().GetInt("Configure", "canvas_height", -1), 32);
    }
  }
}

TEST_F(dialog_fields, SoftwareRadiosGiveTheShapeAndSizeTheyName) {
  struct choice {
    int id;
    const char* label;
    int code;
  };
  const choice shapes[6] = {{1065, "diamonds", 0}, {1009, "Circles", 1},
                            {1068, "squares", 2},  {1097, "Jiggles", 3},
                            {1069, "Blank Source to base color", 4}, {1086, "Null", -1}};
  const choice sizes[4] = {{1066, "size1", 0}, {1067, "size2", 1}, {1080, "size3", 2}, {1081, "size4", 3}};
  for (int k = 0; k < 6; ++k) {
    int shape = 99, size = 99;
    uint32_t colour = 0;
    wxTheApp->CallAfter([&, k] {
      software_source* dialog = software_source::active;
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(Child<wxRadioButton>(dialog, shapes[k].id)->GetLabel(), shapes[k].label);
      EXPECT_EQ(Child<wxRadioButton>(dialog, sizes[k % 4].id)->GetLabel(), sizes[k % 4].label);
      Click(dialog, shapes[k].id);
      Click(dialog, sizes[k % 4].id);
      Press(dialog, wxID_OK);
    });
    ASSERT_TRUE(RunSoftwareSourceDialog(app.Frame(), shape, size, colour));
    EXPECT_EQ(shape, shapes[k].code) << shapes[k].label;
    EXPECT_EQ(size, sizes[k % 4].code) << sizes[k % 4].label;
  }
}

TEST_F(dialog_fields, SizingCancelPutsEachScaleBackInItsOwnRow) {
  view->SetSourceScalePercent(120, 1, 1);
  view->SetSourceScalePercent(80, 0, 1);
  prop_hscale_1->SetValue(120L);
  prop_vscale_1->SetValue(80L);
  source_size dialog(view, *view);
  dialog.Show();
  for (sizing_box kind : {sizing_box::width, sizing_box::height}) {
    dialog.Box(1, kind)->SetValue("32");
    dialog.Box(1, kind)->SetFocus();
    dialog.Box(1, sizing_box::left)->SetFocus();
    wxFocusEvent lost(wxEVT_KILL_FOCUS, dialog.Box(1, kind)->GetId());
    dialog.Box(1, kind)->ProcessWindowEvent(lost);
  }
  EXPECT_EQ(prop_hscale_1->GetValue().GetLong(), 50);  // 32 of 64
  EXPECT_EQ(prop_vscale_1->GetValue().GetLong(), 67);  // 32 of 48
  Press(&dialog, wxID_CANCEL);
  EXPECT_EQ(prop_hscale_1->GetValue().GetLong(), 120);
  EXPECT_EQ(prop_vscale_1->GetValue().GetLong(), 80);
  EXPECT_DOUBLE_EQ(view->width_percent[0], 120.0);
  EXPECT_DOUBLE_EQ(view->height_percent[0], 80.0);
}

// Each corner command pins its own source's corner to the target's corner.
TEST_F(dialog_fields, CornerCommandsShoveTheirOwnSourceToTheirCorner) {
  const int W = 640, H = 480;
  struct row {
    int command, source, fix;
    vpoint anchor;
  };
  const row rows[] = {
      {cmd_place_1_top_right, 1, 3, {-W, 0}},
      {cmd_place_1_bottom_left, 1, 7, {0, -H}},
      {cmd_place_1_bottom_right, 1, 5, {-W, -H}},
      {cmd_place_1_top_left, 1, 1, {0, 0}},
      {cmd_place_2_top_right, 2, 3, {-W, 0}},
      {cmd_place_2_bottom_left, 2, 7, {0, -H}},
      {cmd_place_2_bottom_right, 2, 5, {-W, -H}},
      {cmd_place_2_top_left, 2, 1, {0, 0}},
  };
  for (const row& r : rows) {
    view->offset[0] = {-11, -12};
    view->offset[1] = {-21, -22};
    the_properties_pane->RunCommand(r.command, true);
    const int other = 2 - r.source;
    EXPECT_EQ(r.source == 1 ? fix_point_1 : fix_point_2, r.fix) << r.command;
    EXPECT_EQ(view->anchor[r.source - 1], r.anchor) << r.command;
    EXPECT_EQ(view->offset[other], (vpoint{other == 0 ? -11 : -21, other == 0 ? -12 : -22})) << r.command;
  }
}

TEST_F(dialog_fields, SlidersSpanTheirRanges) {
  CPropertiesWnd* pane = the_properties_pane;
  EXPECT_EQ(std::make_pair(pane->contrast_slider->GetMin(), pane->contrast_slider->GetMax()), std::make_pair(0, 100));
  EXPECT_EQ(std::make_pair(pane->brightness_slider->GetMin(), pane->brightness_slider->GetMax()),
            std::make_pair(0, 100));
  EXPECT_EQ(std::make_pair(pane->scale_slider->GetMin(), pane->scale_slider->GetMax()), std::make_pair(55, 205));
  EXPECT_EQ(pane->contrast_slider->GetValue(), 50);
  EXPECT_EQ(pane->brightness_slider->GetValue(), 50);
}

TEST(quad_hover, EachCornerIsNamedInTheDialogsOrder) {
  using quad_drag::HoverText;
  EXPECT_EQ(HoverText(0, 10, 20, 200, 100), "Top left 10 X 20      5% X 20%");
  EXPECT_EQ(HoverText(1, 190, 5, 200, 100), "Top right 190 X 5      95% X 5%");
  EXPECT_EQ(HoverText(2, 3, 99, 200, 100), "Bottom left 3 X 99      1% X 99%");
  EXPECT_EQ(HoverText(3, 199, 50, 200, 100), "Bottom right 199 X 50      99% X 50%");
}

// A press and release on the top-left blob without moving leaves that corner at the
// image's top left.
TEST_F(dialog_fields, TheImageSitsInEvenMarginsAndItsCornersStayOnIt) {
  quad dialog(app.Frame());
  dialog.Show();
  show_quad* drawing = dialog.quad_view;
  const int corners[8] = {0, 0, 640, 0, 0, 480, 640, 480};
  drawing->Measure();
  // The image is drawn with the same margin on either side.
  const wxSize room = drawing->GetClientSize();
  EXPECT_NEAR(room.x - drawing->corner_points[3].x, drawing->corner_points[0].x, 1);
  EXPECT_NEAR(room.y - drawing->corner_points[3].y, drawing->corner_points[0].y, 1);
  for (wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
    wxMouseEvent event(type);
    event.SetPosition(drawing->corner_points[0]);
    event.SetEventObject(drawing);
    drawing->ProcessWindowEvent(event);
  }
  EXPECT_TRUE(std::equal(corners, corners + 8, quad_corners));

  // A free corner dragged far past the drawing's bottom right stops on the image's
  // bottom-right corner, (640, 480).
  dialog.modes[quad_drag::free_corners]->SetValue(true);
  const wxPoint from = drawing->corner_points[3];
  for (auto [type, at] : {std::pair{wxEVT_LEFT_DOWN, from}, {wxEVT_MOTION, from - wxPoint(30, 20)},
                          {wxEVT_MOTION, from + wxPoint(900, 900)}, {wxEVT_LEFT_UP, from + wxPoint(900, 900)}}) {
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.m_leftDown = type != wxEVT_LEFT_UP;
    event.SetEventObject(drawing);
    drawing->ProcessWindowEvent(event);
  }
  EXPECT_TRUE(std::equal(corners, corners + 8, quad_corners));
  Press(&dialog, wxID_CANCEL);
}

}  // namespace

namespace {

class target_size_dialog : public app_fixture {};

TEST_F(target_size_dialog, WithNothingStoredItOffers1024By768) {
  Start();
  canvas_size dialog(app.Frame(), *app.Frame()->View());
  EXPECT_EQ(dynamic_cast<wxTextCtrl*>(dialog.FindWindow(canvas_size::width_id))->GetValue(), "1024");
  EXPECT_EQ(dynamic_cast<wxTextCtrl*>(dialog.FindWindow(canvas_size::height_id))->GetValue(), "768");
}

}  // namespace
