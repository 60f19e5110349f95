// The "Effects:" kernels, row by row as the effect list gives them. The combining
// pass is checked against a plain pass that reads the installed kernel, so only
// these literal rows catch a wrong entry.
#include <array>

#include "tests/core/engine/view_fixture.h"

namespace {

struct kernel_row {
  std::array<int, 9> kernel;
  int size, divisor, offset;
};

kernel_row Installed(const CvorbelViewCore& v) {
  kernel_row row{{}, v.kernel_size, v.kernel_divisor, v.kernel_offset};
  std::copy_n(v.kernel, 9, row.kernel.begin());
  return row;
}

void ExpectRow(const kernel_row& got, const kernel_row& want, int code) {
  EXPECT_EQ(got.kernel, want.kernel) << code;
  EXPECT_EQ(got.size, want.size) << code;
  EXPECT_EQ(got.divisor, want.divisor) << code;
  EXPECT_EQ(got.offset, want.offset) << code;
}

class EffectKernels : public ViewFixture {};

TEST_F(EffectKernels, EachCodeInstallsItsRowAndHighlightAndArticulateKeepTheLast) {
  const kernel_row rows[6] = {
      {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 0, 0},           // No effects
      {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 3, 9, 0},           // Blur
      {{-1, -1, -1, -1, 8, -1, -1, -1, -1}, 3, 0, 0},   // Edge
      {{-1, 0, 0, 0, 0, 0, 0, 0, 1}, 3, 0, 127},        // Emboss
      {{-1, -1, -1, -1, 15, -1, -1, -1, -1}, 3, 7, 0},  // Sharpen
      {{1, 1, 1, 1, 8, 1, 1, 1, 1}, 3, 16, 0},          // Soften
  };
  for (int code = 5; code >= 0; --code) {
    view->InstallEffectKernel(code);
    ExpectRow(Installed(*view), rows[code], code);
  }
  view->InstallEffectKernel(4);
  for (int code : {6, 7, 8, -1}) {
    view->InstallEffectKernel(code);
    ExpectRow(Installed(*view), rows[4], code);
  }
}

// Each kernel on one 3 x 3 picture, worked out by hand; source 1 alone.
TEST_F(EffectKernels, CentrePixelOfAKnownPicture) {
  SetTarget(3, 3);
  // Blue values, rows top to bottom: 10 20 30 / 40 50 60 / 70 80 90; green 200 flat.
  Paint(1, [](int c, int r) { return bgr{uint8_t(10 + 10 * c + 30 * r), 200, 0}; });
  method_code = 0;
  struct effect_case {
    int code;
    uint8_t blue, green;
  };
  // Blur: 450 / 9. Edge: 400 - 400 = 0; green 1600 - 1600. Emboss: 90 - 10 + 127;
  // green 0 + 127. Sharpen: (750 - 400) / 7 = 50; green (3000 - 1600) / 7 = 200.
  // Soften: (400 + 400) / 16 = 50; green (1600 + 1600) / 16.
  for (const effect_case& t : {effect_case{1, 50, 200}, effect_case{2, 0, 0}, effect_case{3, 207, 127},
                               effect_case{4, 50, 200}, effect_case{5, 50, 200}}) {
    view->InstallEffectKernel(effect_code = t.code);
    view->CombineTarget();
    EXPECT_EQ(Out(1, 1).blue, t.blue) << t.code;
    EXPECT_EQ(Out(1, 1).green, t.green) << t.code;
  }
  // A corner brighter than the rest tells the kernels apart where the ramp cannot.
  Paint(1, [](int c, int r) { return bgr{uint8_t(c == 2 && r == 2 ? 100 : 20), 0, 0}; });
  for (const effect_case& t : {effect_case{1, 28, 0},    // (8 * 20 + 100) / 9 = 28.9
                               effect_case{2, 0, 0},     // 160 - 7 * 20 - 100 < 0
                               effect_case{3, 207, 127},  // 100 - 20 + 127
                               effect_case{4, 8, 0},     // (300 - 240) / 7 = 8.6
                               effect_case{5, 25, 0}}) {  // (160 + 7 * 20 + 100) / 16 = 25
    view->InstallEffectKernel(effect_code = t.code);
    view->CombineTarget();
    EXPECT_EQ(Out(1, 1).blue, t.blue) << t.code;
  }
}

// A kernel whose sums outgrow 16 bits takes the wide path: weight 200 on the centre
// over 200 gives each inner pixel back and leaves the frame as it was.
TEST_F(EffectKernels, AKernelTooLargeForShortLanesKeepsItsCentre) {
  SetTarget(5, 4);
  Paint(1, [](int c, int r) { return bgr{uint8_t(10 * c + 50 * r), 7, 200}; });
  std::fill_n(target_pixels, 20, bgra{1, 2, 3, 4});
  std::fill_n(view->kernel, 9, 0);
  view->kernel[4] = 200;
  view->kernel_size = 3, view->kernel_divisor = 200, view->kernel_offset = 0;
  method_code = 0, effect_code = 1;
  view->CombineTarget();
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 5; ++c) {
      const bool inner = r >= 1 && r <= 2 && c >= 1 && c <= 3;
      const bgr want = inner ? bgr{uint8_t(10 * c + 50 * r), 7, 200} : bgr{1, 2, 3};
      EXPECT_EQ(Bgr(Out(r, c)), want) << r << "," << c;
    }
}

}  // namespace
