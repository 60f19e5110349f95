#include <vector>

#include "tests/ui/view_fixture.h"
#include "ui/command_ids.h"
#include "ui/start_buttons.h"

namespace {

class start_buttons : public view_fixture {};

TEST_F(start_buttons, EachButtonSendsItsCommandUpToTheFrame) {
  view->CreateStartButtons();
  std::vector<int> received;
  frame->Bind(wxEVT_MENU, [&](wxCommandEvent& event) { received.push_back(event.GetId()); });
  for (int i = 1; i < 4; ++i) view->start_buttons[i]->Click();
  Settle();
  EXPECT_EQ(received, (std::vector<int>{cmd_load_text, WxId(cmd_paste), cmd_view_customize}));
}

TEST_F(start_buttons, LoadImageIsRefusedWithoutTheImagingLayer) {
  view->CreateStartButtons();
  std::vector<int> received;
  frame->Bind(wxEVT_MENU, [&](wxCommandEvent& event) { received.push_back(event.GetId()); });
  wic_ready = false;
  view->start_buttons[0]->Click();
  Settle();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, "Windows Imaging Component WIC is not enabled, cannot continue.");
  EXPECT_EQ(ui.messages[0].second, message_icon::error);
  EXPECT_TRUE(received.empty());

  wic_ready = true;
  view->start_buttons[0]->Click();
  Settle();
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(received, (std::vector<int>{WxId(cmd_file_open)}));
}

TEST_F(start_buttons, AButtonMayBeDestroyedByItsOwnCommand) {
  view->CreateStartButtons();
  int blank_sources = 0;
  frame->Bind(
      wxEVT_MENU,
      [&](wxCommandEvent&) {
        ++blank_sources;
        view->DestroyStartButtons();
      },
      cmd_view_customize);
  view->start_buttons[3]->Click();
  Settle();
  EXPECT_EQ(blank_sources, 1);
  EXPECT_EQ(view->start_buttons[3], nullptr);
}

TEST_F(start_buttons, PressedFaceDiffersFromTheUpFace) {
  for (int i = 0; i < 4; ++i) {
    wxImage up = StartButtonFace(i, false).ConvertToImage();
    wxImage down = StartButtonFace(i, true).ConvertToImage();
    ASSERT_EQ(up.GetSize(), wxSize(80, 48));
    EXPECT_NE(memcmp(up.GetData(), down.GetData(), 80 * 48 * 3), 0);
  }
}

}  // namespace
