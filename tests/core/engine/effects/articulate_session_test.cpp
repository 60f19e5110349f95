#include "engine/effects/articulate_session.h"

#include "engine/effects/effect_progress.h"

#include "tests/core/engine/view_fixture.h"

namespace {

class ArticulateSession : public ViewFixture {
 protected:
  void SetUp() override {
    ViewFixture::SetUp();
    target_width = 96, target_height = 64;
    std::mt19937 rng(1);
    for (int i = 0; i < 96 * 64; ++i) {
      const uint8_t v = uint8_t(i % 96 < 48 ? 40 + rng() % 4 : 180 + rng() % 40);
      target_pixels[i] = {v, uint8_t(v / 2), uint8_t(255 - v), 3};
    }
    opened.assign(target_pixels, target_pixels + 96 * 64);
  }
  bool TargetIs(const std::vector<bgra>& v) const { return std::memcmp(target_pixels, v.data(), v.size() * 4) == 0; }
  std::vector<bgra> Target() const { return {target_pixels, target_pixels + 96 * 64}; }
  std::vector<bgra> opened;
};

TEST_F(ArticulateSession, EffectsStartFromTheOpeningTargetAndResetBringsItBack) {
  view->zone_level = 3;
  view->zone_applied = 1;  // blending laid on before the dialog opened
  articulate_session session(*view);
  EXPECT_EQ(view->zone_level, 0);

  ASSERT_TRUE(session.Bubble(5, nullptr));
  const std::vector<bgra> bubble = Target();
  EXPECT_FALSE(TargetIs(opened));
  session.Dapple();
  ASSERT_TRUE(session.Bubble(5, nullptr));
  EXPECT_TRUE(TargetIs(bubble));
  ASSERT_TRUE(session.Weird(10, 30));
  const std::vector<bgra> weird = Target();
  ASSERT_TRUE(session.Weird(10, 30));
  EXPECT_TRUE(TargetIs(weird));
  EXPECT_EQ(view->zone_applied, 1);
  const int shown = view->presented;
  int pauses = 0;
  SetEffectPause([&] { ++pauses; });
  session.Pencil(5);
  SetEffectPause(nullptr);
  EXPECT_GT(pauses, 10);  // the window layer gets its turns while an effect runs

  view->zone_applied = 0;
  session.Reset();
  EXPECT_TRUE(TargetIs(opened));
  EXPECT_EQ(view->zone_applied, 1);
  EXPECT_EQ(view->presented, shown + 2);
  EXPECT_EQ(ui.progress.back(), (std::pair<uint32_t, int>{0x808080, 100}));
}

TEST_F(ArticulateSession, PencilDrawsOverWhatIsShownWithColoursOfTheOpeningTarget) {
  articulate_session session(*view);
  ASSERT_TRUE(session.Pencil(5));
  const std::vector<bgra> once = Target();
  for (const bgra& p : once) ASSERT_EQ(p.fourth, 255);
  ASSERT_TRUE(session.Pencil(5));
  EXPECT_FALSE(TargetIs(once));  // the second run drew over the first
  session.Reset();
  ASSERT_TRUE(session.Pencil(5));
  EXPECT_TRUE(TargetIs(once));
}

}  // namespace
