#include "sources/derived_source.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/core/engine/view_fixture.h"

namespace {

class DerivedSource : public ViewFixture {
 protected:
  struct labels_ui : recording_ui {
    std::string label;
    int label_source = 0;
    void SetSourceFileName(const std::string& text, int s) override { label = text, label_source = s; }
    std::vector<std::array<int, 3>> scale_shown;
    void SetScaleProperty(int s, int axis, int percent) override { scale_shown.push_back({s, axis, percent}); }
  } labels;
};

TEST_F(DerivedSource, CopiesTheTargetEveryByteAndResetsTheCombiningSettings) {
  SetUiPort(&labels);
  the_view = view.get();
  ASSERT_TRUE(doc.source_image[0].Create(5, 5));
  ASSERT_TRUE(doc.source_image[1].Create(7, 3));
  doc.image_size[0] = {5, 5}, doc.image_size[1] = {7, 3};
  SetTarget(16, 12);
  view->CombineTarget();
  for (int i = 0; i < 16 * 12; ++i) target_pixels[i] = {uint8_t(i), uint8_t(i * 3), uint8_t(i * 7), uint8_t(i + 9)};
  const std::vector<bgra> before(target_pixels, target_pixels + 16 * 12);
  view->offset[1] = {4, 5}, view->rotation[1] = 30.0, view->width_percent[1] = 50.0;
  method_code = 3, contrast_mode = 2, effect_code = 4;
  view->kernel[4] = 9, view->kernel_size = 3, view->kernel_divisor = 9, view->kernel_offset = 2;
  doc.mirrored[1] = 1;

  DeriveSourceFromTarget(2);
  const image_record& copy = doc.source_image[1];
  ASSERT_EQ(copy.Width(), 16);
  ASSERT_EQ(copy.Height(), 12);
  EXPECT_EQ(std::memcmp(copy.Pixels(), before.data(), before.size() * 4), 0);
  for (int i = 0; i < 16 * 12; ++i) ASSERT_EQ(copy.mask[i], 1);
  EXPECT_EQ(doc.image_size[1].width, 16);
  EXPECT_EQ(doc.source_kind[1], kind_from_target);
  EXPECT_EQ(labels.label, "Derived from target");
  EXPECT_EQ(labels.label_source, 2);
  EXPECT_EQ(view->offset[1].x, 0);
  EXPECT_EQ(view->rotation[1], 0.0);
  EXPECT_EQ(view->width_percent[1], 100.0);
  // The grid's two scale boxes of the source say so too.
  EXPECT_EQ(labels.scale_shown, (std::vector<std::array<int, 3>>{{2, 1, 100}, {2, 0, 100}}));
  EXPECT_EQ(method_code, 8);
  EXPECT_EQ(contrast_mode, 1);
  EXPECT_EQ(effect_code, 0);
  EXPECT_EQ(view->kernel[4], 1);
  EXPECT_EQ(view->kernel_size + view->kernel_divisor + view->kernel_offset, 0);
  // The mirror flag is the source's own and stays.
  EXPECT_EQ(doc.mirrored[1], 1);
  EXPECT_EQ(doc.source_kind[0], kind_none);
  the_view = nullptr;
}

}  // namespace
