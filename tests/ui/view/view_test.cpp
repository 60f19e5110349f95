#include <array>
#include <cmath>
#include <vector>

#include "tests/ui/view_fixture.h"
#include "ui/commands/command_ids.h"
#include "ui/view/start_buttons.h"

namespace {

constexpr uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
const uint32_t quarters[4] = {red, green, blue, white};

class view_start : public view_fixture {
 protected:
  // Gives source s (1 or 2) a w x h image of one colour.
  void LoadPlainSource(int s, int w, int h, uint8_t blue, uint8_t green, uint8_t red) {
    image_record& image = doc.source_image[s - 1];
    ASSERT_TRUE(image.Create(w, h));
    uint8_t* p = image.Pixels();
    for (int i = 0; i < w * h; ++i, p += 4) p[0] = blue, p[1] = green, p[2] = red;
    doc.image_size[s - 1] = {w, h};
    doc.source_kind[s - 1] = kind_file;
  }
  static int DarkPixels(const wxImage& image, const wxRect& area) {
    int dark = 0;
    for (int y = area.GetTop(); y <= area.GetBottom(); ++y)
      for (int x = area.GetLeft(); x <= area.GetRight(); ++x)
        dark += image.GetRed(x, y) < 80 && image.GetGreen(x, y) < 80 && image.GetBlue(x, y) < 80;
    return dark;
  }
  void ClickStartButton(int i) {
    view->start_buttons[i]->Click();
    Settle();
  }
};

TEST_F(view_start, WithoutTwoSourcesTheButtonsStayAndPromptsShowOnceImagingIsReady) {
  view->OnInitialUpdate();
  EXPECT_EQ(view->GetVirtualSize(), view->GetClientSize());  // nothing to scroll
  wic_ready = false;  // the first paint during start-up
  EXPECT_EQ(DarkPixels(Drawn(), wxRect(100, 250, 400, 80)), 0);
  wic_ready = true;
  const wxImage later = Drawn();
  for (int y : {250, 280, 310}) EXPECT_GT(DarkPixels(later, wxRect(100, y, 300, 16)), 20) << y;
  EXPECT_EQ(DarkPixels(later, wxRect(100, 330, 400, 40)), 0);

  LoadPlainSource(1, 30, 20, 1, 2, 3);  // one source: measured, and the second asked for
  source_count = 1;
  view->DestroyStartButtons();
  view->OnInitialUpdate();
  EXPECT_EQ(view->rotated_size[0].width, 30);
  EXPECT_EQ(view->rotated_size[0].height, 20);
  EXPECT_NE(view->start_buttons[0], nullptr);
  EXPECT_GT(DarkPixels(Drawn(), wxRect(100, 250, 300, 16)), 20);
}

TEST_F(view_start, TwoSourcesLayTheStoredCanvasOutAndDropTheButtons) {
  Canvas(640, 480);
  LoadPlainSource(1, 64, 48, 255, 0, 0);
  LoadPlainSource(2, 32, 32, 0, 0, 255);
  source_count = 2;
  view->CreateStartButtons();
  view->OnInitialUpdate();
  EXPECT_TRUE(view->GetChildren().empty());
  EXPECT_FLOAT_EQ(view->display_scale, 600.0f / 560.0f);  // the height ratio is the smaller
  ASSERT_EQ(target_width * target_height, 640 * 480);
  const bgra first = target_pixels[0];
  EXPECT_EQ(Shown(view->target_rect.left, view->target_rect.top),
            uint32_t(first.red) << 16 | uint32_t(first.green) << 8 | first.blue);
}

TEST_F(view_start, EachStartButtonSendsItsCommandOnlyOnceImagingIsReady) {
  view->CreateStartButtons();
  std::vector<int> received;
  auto record = [&](wxCommandEvent& event) { received.push_back(event.GetId()); };
  frame->Bind(wxEVT_MENU, record);
  // Paste and the blank source are taken before the view's own handlers run their roads.
  view->Bind(wxEVT_MENU, record, WxId(cmd_paste));
  view->Bind(wxEVT_MENU, record, cmd_view_customize);
  wic_ready = false;
  ClickStartButton(0);
  EXPECT_EQ(ui.messages, (message_list{{"Windows Imaging Component WIC is not enabled, cannot continue.",
                                         message_icon::error}}));
  EXPECT_TRUE(received.empty());
  wic_ready = true;
  for (int i = 0; i < 3; ++i) ClickStartButton(i);
  // The last one's command may destroy the button that sent it.
  auto destroy = [&](wxCommandEvent& event) { view->DestroyStartButtons(), event.Skip(); };
  view->Bind(wxEVT_MENU, destroy, cmd_view_customize);
  ClickStartButton(3);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(received, (std::vector<int>{WxId(cmd_file_open), WxId(cmd_paste), cmd_view_customize}));
  EXPECT_EQ(ui.text_dialogs, 1);  // the view takes "Load text" itself
  EXPECT_EQ(view->start_buttons[3], nullptr);
}

TEST_F(view_start, StoredCanvasIsClampedAndScaledToTheClient) {
  view->InitTarget();
  EXPECT_EQ(view->target_rect.Width(), 1024);
  EXPECT_EQ(view->target_rect.Height(), 768);
  Canvas(1520, 400);
  CvorbelApp::viewing_scale = 150;
  view->InitTarget();
  EXPECT_FLOAT_EQ(view->fit_scale, 0.5f);  // 800 / 1600 is below 600 / 480
  EXPECT_FLOAT_EQ(view->display_scale, 0.75f);
  for (auto [w, h, want_w, want_h] : {std::array{5000, 3, 2048, 32}, std::array{-7, 99999, 32, 1536}}) {
    Canvas(w, h);
    view->InitTarget();
    EXPECT_EQ(view->target_rect.Width(), want_w);
    EXPECT_EQ(view->target_rect.Height(), want_h);
  }
}

TEST_F(view_start, TargetCornersLandWhereTheDisplayScalePutsThem) {
  source_count = 2;
  PaintQuarters(64, 48, quarters);
  for (float scale : {1.0f, 0.5f, 0.75f, 2.0f, 3.0f}) {
    SCOPED_TRACE(scale);
    view->target_rect = {0, 0, 64, 48};
    view->display_scale = scale;
    view->CenterTargetInView();
    ASSERT_FALSE(view->PresentTarget());
    const int left = view->target_rect.left, top = view->target_rect.top;
    const int right = left + int(64 * scale), bottom = top + int(48 * scale);
    EXPECT_EQ(Shown(left, top), red);  // target pixel (0, 0)
    EXPECT_EQ(Shown(right - 1, top), green);
    EXPECT_EQ(Shown(left, bottom - 1), blue);
    EXPECT_EQ(Shown(right - 1, bottom - 1), white);  // target pixel (w - 1, h - 1)
    for (uint32_t outside :
         {Shown(left - 1, top), Shown(left, top - 1), Shown(right, bottom - 1), Shown(right - 1, bottom)})
      EXPECT_FALSE(outside == red || outside == green || outside == blue || outside == white);
  }
}

TEST_F(view_start, ResizingDropsTheBlendingBoxAndAFewPixelsStillPresent) {
  PaintQuarters(256, 192, quarters);
  view->InitTarget();
  for (int count : {0, 2}) {
    source_count = count;
    view->zone_box[0] = view->zone_box[1] = 30;
    view->zone_box[2] = view->zone_box[3] = 60;
    view->box_dragging = view->blend_dialog_open = true;
    view->SetSize(0, 0, 700 + count, 500);
    Settle();
    for (int edge : view->zone_box) EXPECT_EQ(edge, -1);
    EXPECT_FALSE(view->box_dragging || view->blend_dialog_open);
  }
  for (wxSize tiny : {wxSize(3, 3), wxSize(1, 1), wxSize(0, 0)}) {
    view->SetSize(wxRect(wxPoint(0, 0), tiny));
    Settle();
    EXPECT_GT(view->display_scale, 0.0f);
    EXPECT_TRUE(std::isfinite(view->display_scale));
    EXPECT_FALSE(view->PresentTarget());
  }
  view->SetSize(0, 0, client_width, client_height);
  Settle();
  EXPECT_FALSE(view->PresentTarget());
  EXPECT_GE(view->target_rect.left, 20);

  target_width = target_height = 0;  // the target could not be had: the paint says so
  EXPECT_TRUE(view->PresentTarget());
  EXPECT_GT(DarkPixels(Drawn(), wxRect(100, 400, 300, 16)), 20);
}

}  // namespace
