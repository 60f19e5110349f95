#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/base/process_state.h"
#include "tests/ui/dialogs/tool_dialogs_fixture.h"
#include "ui/dialogs/arrow_button.h"
#include "ui/dialogs/highlighting_dialog.h"

namespace {

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
