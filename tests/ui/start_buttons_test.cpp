#include <vector>

#include "tests/ui/view_fixture.h"
#include "ui/command_ids.h"
#include "ui/start_buttons.h"

namespace {

class start_buttons : public view_fixture {
 protected:
  void SetUp() override {
    view_fixture::SetUp();
    view->CreateStartButtons();
    frame->Bind(wxEVT_MENU, [this](wxCommandEvent& event) { received.push_back(event.GetId()); });
  }
  void Click(int i) {
    view->start_buttons[i]->Click();
    Settle();
  }
  std::vector<int> received;
};

TEST_F(start_buttons, EachButtonSendsItsCommandUpToTheFrame) {
  wic_ready = false;
  Click(0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, "Windows Imaging Component WIC is not enabled, cannot continue.");
  EXPECT_EQ(ui.messages[0].second, message_icon::error);
  EXPECT_TRUE(received.empty());
  wic_ready = true;
  for (int i = 0; i < 4; ++i) Click(i);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(received, (std::vector<int>{WxId(cmd_file_open), cmd_load_text, WxId(cmd_paste), cmd_view_customize}));
}

TEST_F(start_buttons, AButtonMayBeDestroyedByItsOwnCommand) {
  int blank_sources = 0;
  frame->Bind(
      wxEVT_MENU,
      [&](wxCommandEvent&) {
        ++blank_sources;
        view->DestroyStartButtons();
      },
      cmd_view_customize);
  Click(3);
  EXPECT_EQ(blank_sources, 1);
  EXPECT_EQ(view->start_buttons[3], nullptr);
}

}  // namespace
