#include <gtest/gtest.h>

#include <wx/textctrl.h>

#include <functional>
#include <string>

#include "engine/base/process_state.h"
#include "platform/settings.h"
#include "sources/document.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui/dialog_clicks.h"
#include "ui/app/app.h"
#include "ui/commands/command_ids.h"
#include "ui/dialogs/canvas_size_dialog.h"
#include "ui/dialogs/colour_choice.h"
#include "ui/dialogs/perspective_dialog.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/trackbar.h"
#include "ui/view/view.h"

namespace {

// A started application with two small image sources on a 640 x 480 target.
class view_commands : public app_fixture {
 protected:
  void SetUp() override {
    app_fixture::SetUp();
    WriteFile("vorbel.conf", "[Configure]\ncanvas_width=640\ncanvas_height=480\n");
    Start({PlainImage("red.png", 64, 48, 200, 0, 0), PlainImage("blue.png", 40, 30, 0, 0, 200)});
    view = dynamic_cast<CvorbelView*>(the_view);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(source_count, 2);
  }
  void TearDown() override {
    choose_colour = saved_chooser;
    CvorbelApp::viewing_scale = 100;
    app_fixture::TearDown();
  }

  // Runs the target size command; answer acts on the open dialog and must end it.
  void TargetSize(const std::function<void(canvas_size&)>& answer) {
    wxTheApp->CallAfter([answer] {
      auto* dialog = dynamic_cast<canvas_size*>(wxWindow::FindWindowById(347));
      ASSERT_NE(dialog, nullptr);
      answer(*dialog);
    });
    Command(WxId(cmd_target_size));
  }
  static void Type(canvas_size& dialog, const std::string& width, const std::string& height) {
    dynamic_cast<wxTextCtrl*>(dialog.FindWindow(canvas_size::width_id))->ChangeValue(width);
    dynamic_cast<wxTextCtrl*>(dialog.FindWindow(canvas_size::height_id))->ChangeValue(height);
  }
  static int Stored(const char* key) { return the_settings().GetInt("Configure", key, -1); }
  CvorbelDoc& Doc() { return *view->GetDocument(); }

  CvorbelView* view = nullptr;
  colour_chooser saved_chooser = choose_colour;
};

}  // namespace

TEST_F(view_commands, TargetSizeRefusesBadEntriesKeepsTheDialogOpenAndStoresOnlyOnOk) {
  const vrect before = view->target_rect;
  const std::pair<std::string, std::string> refused[] = {
      {"2049", "768"}, {"31", "768"}, {"abc", "768"}, {"", "768"}, {"99999999999", "768"}, {"1024", "1537"}, {"1024", "-"}};
  for (const auto& [w, h] : refused) {
    Messages().clear();
    TargetSize([&](canvas_size& dialog) {
      EXPECT_EQ(dialog.width, 640);  // shown from the settings
      Type(dialog, w, h);
      Press(&dialog, wxID_OK);
      EXPECT_TRUE(dialog.IsModal()) << w << "x" << h;
      Press(&dialog, wxID_CANCEL);
    });
    ASSERT_EQ(Messages().size(), 1u) << w << "x" << h;
    const bool number = w == "2049" || w == "31" || h == "1537";
    EXPECT_EQ(Messages()[0].first, !number          ? "Please enter an integer."
                                   : h == "1537"    ? "Please enter an integer between 32 and 1536."
                                                    : "Please enter an integer between 32 and 2048.");
    EXPECT_EQ(Stored("canvas_width"), 640);
    EXPECT_EQ(Stored("canvas_height"), 480);
    EXPECT_EQ(view->target_rect.left, before.left);
    EXPECT_EQ(view->target_rect.Width(), 640);
  }

  view->offset[0] = {5, 7};
  view->offset[1] = {-3, 2};
  view->moving_source = 2;
  view->perspective_on = true;
  the_properties_pane->scale_slider->SetValue(150);
  TargetSize([](canvas_size& dialog) {
    Type(dialog, " 2048", "1536 ");
    Press(&dialog, wxID_OK);
  });
  EXPECT_EQ(Stored("canvas_width"), 2048);
  EXPECT_EQ(Stored("canvas_height"), 1536);
  EXPECT_EQ(view->target_rect.Width(), 2048);
  EXPECT_EQ(view->target_rect.Height(), 1536);
  EXPECT_EQ(target_width, 2048);
  EXPECT_EQ(target_height, 1536);
  EXPECT_EQ(view->offset[0].x, 0);
  EXPECT_EQ(view->offset[1].y, 0);
  EXPECT_EQ(view->moving_source, 0);
  EXPECT_FALSE(view->perspective_on);
  EXPECT_EQ(CvorbelApp::viewing_scale, 150);
  EXPECT_EQ(the_properties_pane->scale_label->GetLabel(), "150");
  EXPECT_FLOAT_EQ(view->display_scale, float(CvorbelApp::viewing_scale) / 100.0f * view->fit_scale);
  EXPECT_GE(view->target_rect.left, 20);
  EXPECT_EQ(view->GetViewStart(), wxPoint(0, 0));
}

TEST_F(view_commands, TheTargetFitsTheViewWithAMarginOf80AndTheViewingScaleOnTop) {
  const wxSize client = view->GetClientSize();
  const float fit = std::min(float(client.x) / float(640 + 80), float(client.y) / float(480 + 80));
  EXPECT_FLOAT_EQ(view->fit_scale, fit);
  EXPECT_FLOAT_EQ(view->display_scale, fit);
  the_properties_pane->scale_slider->SetValue(55);
  view->InitTarget();
  EXPECT_FLOAT_EQ(view->display_scale, 0.55f * fit);
}

TEST_F(view_commands, TargetSizeCancelAndAStoredSizeOutOfRange) {
  the_settings().WriteInt("Configure", "canvas_width", 0);
  the_settings().WriteInt("Configure", "canvas_height", 100000);
  const vrect before = view->target_rect;
  TargetSize([](canvas_size& dialog) {
    EXPECT_EQ(dialog.width, 32);
    EXPECT_EQ(dialog.height, 1536);
    Type(dialog, "100", "100");
    Press(&dialog, wxID_CANCEL);
  });
  EXPECT_EQ(Stored("canvas_width"), 0);
  EXPECT_EQ(Stored("canvas_height"), 100000);
  the_settings().WriteInt("Configure", "canvas_width", 5000);
  the_settings().WriteInt("Configure", "canvas_height", 31);
  TargetSize([](canvas_size& dialog) {
    EXPECT_EQ(dialog.width, 2048);
    EXPECT_EQ(dialog.height, 32);
    Press(&dialog, wxID_CANCEL);
  });
  EXPECT_EQ(view->target_rect.left, before.left);
  EXPECT_EQ(view->target_rect.right, before.right);
  EXPECT_TRUE(Enabled(cmd_target_size));
}

TEST_F(view_commands, BaseColourOpensOnBlackAndRecombinesWithTheChosenColour) {
  base_color = {10, 20, 30};
  wxColour asked_with;
  choose_colour = [&](wxWindow*, const wxColour& initial) -> std::optional<wxColour> {
    asked_with = initial;
    return std::nullopt;
  };
  Command(WxId(cmd_base_color));
  EXPECT_EQ(asked_with, *wxBLACK);
  EXPECT_EQ(base_color.red, 10);

  // At their own small sizes the sources leave the target's far corner to the base.
  for (int s = 1; s <= 2; ++s) view->fit_to_target[s - 1] = 0, view->UpdateSourceGeometry(s);
  choose_colour = [](wxWindow*, const wxColour&) -> std::optional<wxColour> { return wxColour(250, 128, 3); };
  Command(WxId(cmd_base_color));
  EXPECT_EQ(base_color.red, 250);
  EXPECT_EQ(base_color.green, 128);
  EXPECT_EQ(base_color.blue, 3);
  const bgra corner = target_pixels[target_width * target_height - 1];
  EXPECT_EQ(corner.red, 250);
  EXPECT_EQ(corner.green, 128);
  EXPECT_EQ(corner.blue, 3);
  source_count = 0;  // the menu offers the colour without sources too
  EXPECT_TRUE(Enabled(cmd_base_color));
  source_count = 2;
}

TEST_F(view_commands, PerspectiveCancelLeavesTheWarpOffEvenWhenItWasOn) {
  view->perspective_on = true;
  wxTheApp->CallAfter([] {
    wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
    the_quad_dialog->ProcessWindowEvent(click);
  });
  Command(WxId(cmd_perspective));
  EXPECT_FALSE(view->perspective_on);
}

TEST_F(view_commands, FontStepsRedrawATextSourceAndKeepItWhenDrawingFails) {
  const int up_1 = 32855, down_1 = 32856;
  CvorbelDoc& doc = Doc();
  // A file source has no font: nothing happens.
  const int file_height = doc.text_font[0].lfHeight;
  Command(WxId(up_1));
  EXPECT_EQ(doc.text_font[0].lfHeight, file_height);
  EXPECT_EQ(doc.image_size[0].width, 64);

  doc.source_kind[0] = kind_text;
  doc.source_text[0] = "Ab\r\n";
  doc.text_font[0].lfHeight = -32;
  ASSERT_EQ(doc.RenderSourceText(0, -1), 0);
  const vsize small = doc.image_size[0];
  the_properties_pane->RunCommand(up_1, true);  // the pane's button
  EXPECT_EQ(doc.text_font[0].lfHeight, -64);
  EXPECT_EQ(the_properties_pane->font_size_1->GetLabel(), "48");
  EXPECT_GT(doc.image_size[0].height, small.height);
  EXPECT_EQ(view->rotated_size[0].height, doc.image_size[0].height);
  Command(WxId(down_1));
  Command(WxId(down_1));
  EXPECT_EQ(doc.text_font[0].lfHeight, -16);

  // A text that cannot be drawn leaves the picture and the height as they were.
  const vsize before = doc.image_size[0];
  doc.source_text[0] = "";
  Command(WxId(up_1));
  EXPECT_EQ(doc.text_font[0].lfHeight, -16);
  EXPECT_EQ(doc.image_size[0].width, before.width);
  EXPECT_NE(doc.source_image[0].Pixels(), nullptr);

  // Doubled far past what a source may hold: the renderer brings it back in bounds.
  doc.source_text[0] = "Ab\r\n";
  for (int i = 0; i < 40; ++i) Command(WxId(up_1));
  EXPECT_LT(doc.text_font[0].lfHeight, 0);
  EXPECT_GT(doc.image_size[0].width, 0);
  EXPECT_LE(int64_t(doc.image_size[0].width) * doc.image_size[0].height, 16777216);
  EXPECT_NE(doc.source_image[0].Pixels(), nullptr);

  source_count = 1;
  EXPECT_FALSE(Enabled(up_1));
  source_count = 2;
  EXPECT_TRUE(Enabled(up_1));
}
