#include <gtest/gtest.h>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"

namespace {

// A new view starts the combining settings afresh: Average at an even bias, normal
// contrast at mid-grey, every channel neutral, no kernel.
TEST(ViewDefaults, ANewViewStartsTheCombiningSettings) {
  method_code = 3, source_bias = 0, contrast_mode = 2, contrast_bias = 9;
  {
    CvorbelViewCore view(nullptr);
    EXPECT_EQ(method_code, 8);
    EXPECT_EQ(source_bias, 127);
    EXPECT_EQ(contrast_mode, 1);
    EXPECT_EQ(contrast_bias, 127);
    for (const channel_pair& p : view.channel_adjust) {
      EXPECT_EQ(p.contrast, 50);
      EXPECT_EQ(p.brightness, 50);
    }
    EXPECT_EQ(view.kernel_size, 0);
    EXPECT_EQ(view.kernel_divisor, 0);
    EXPECT_EQ(view.kernel_offset, 0);
    EXPECT_EQ(fix_point_1, 1);
    EXPECT_EQ(fix_point_2, 1);
  }
  EXPECT_EQ(the_view, nullptr);
}

}  // namespace
