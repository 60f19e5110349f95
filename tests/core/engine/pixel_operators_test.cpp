#include "engine/pixel_operators.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct bgr {
  int b, g, r;
  bool operator==(const bgr&) const = default;
};

std::ostream& operator<<(std::ostream& os, const bgr& p) {
  return os << "(" << p.b << "," << p.g << "," << p.r << ")";
}

class PixelOperators : public ::testing::Test {
 protected:
  void SetUp() override {
    source_bias = 127;
    base_color = {};
  }
  void TearDown() override {
    source_bias = 127;
    base_color = {};
  }

  // Runs operator `code` through the base class, as the pass's plain form does.
  static bgr Run(int code, int in1, int in2, bgr p1, bgr p2) {
    bgr out{-1, -1, -1};
    const bool known = WithOperator(code, [&](const auto& op) {
      const pixel& any = op;
      uint8_t b = 0xEE, g = 0xEE, r = 0xEE;
      any(uint8_t(in1), uint8_t(in2), Px(p1), Px(p2), &b, &g, &r);
      out = {b, g, r};
    });
    EXPECT_TRUE(known) << code;
    return out;
  }
  static bgr Both(int code, bgr p1, bgr p2) { return Run(code, 1, 1, p1, p2); }
  static pixel3 Px(bgr p) { return {uint8_t(p.b), uint8_t(p.g), uint8_t(p.r)}; }
  static bgr Grey(int v) { return {v, v, v}; }
};

constexpr bgr p1{10, 200, 30};
constexpr bgr p2{250, 5, 120};
constexpr bgr base{7, 8, 9};  // blue, green, red

TEST_F(PixelOperators, CoverageFrame) {
  base_color = {9, 8, 7};
  for (int code = 0; code < operator_count; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(Run(code, 0, 0, p1, p2), base);
    EXPECT_EQ(Run(code, 1, 0, p1, p2), code == 1 ? base : p1);
    EXPECT_EQ(Run(code, 0, 1, p1, p2), code == 0 ? base : p2);
  }
  // Neither code 0 nor 1 looks at the other source's coverage.
  EXPECT_EQ(Both(0, p1, p2), p1);
  EXPECT_EQ(Both(1, p1, p2), p2);
  EXPECT_FALSE(WithOperator(operator_count, [](auto) {}));
  EXPECT_FALSE(WithOperator(-1, [](auto) {}));
}

TEST_F(PixelOperators, AverageAtTheEndsAndTheDefaultBias) {
  source_bias = 0;
  EXPECT_EQ(Both(8, p1, p2), p1);
  source_bias = 256;
  EXPECT_EQ(Both(8, p1, p2), p2);
  source_bias = 127;
  EXPECT_EQ(Both(8, Grey(255), Grey(0)), Grey(128));  // 129 * 255 >> 8
  EXPECT_EQ(Both(8, Grey(0), Grey(255)), Grey(126));  // 127 * 255 >> 8
  EXPECT_EQ(Both(8, Grey(1), Grey(1)), Grey(1));
}

TEST_F(PixelOperators, SubtractionShiftsRoundDown) {
  EXPECT_EQ(Both(6, Grey(77), Grey(77)), Grey(127));
  EXPECT_EQ(Both(7, Grey(77), Grey(77)), Grey(128));
  // -127 >> 7 is -1, not 0.
  EXPECT_EQ(Both(6, Grey(0), Grey(1)), Grey(126));
  EXPECT_EQ(Both(7, Grey(1), Grey(0)), Grey(127));
  EXPECT_EQ(Both(6, Grey(255), Grey(0)), Grey(255));  // 253 + 127, clamped
  source_bias = 0;
  EXPECT_EQ(Both(6, bgr{255, 128, 1}, Grey(200)), (bgr{253, 127, 0}));
  source_bias = 256;
  EXPECT_EQ(Both(6, bgr{1, 0, 0}, Grey(0)), (bgr{255, 255, 255}));  // (-1 >> 7) + 256
  EXPECT_EQ(Both(6, Grey(0), Grey(2)), Grey(254));                  // (-254 >> 7) + 256
  EXPECT_EQ(Both(7, Grey(0), Grey(255)), Grey(252));                // (255 * 127 >> 7) - 256 + 255
}

TEST_F(PixelOperators, LumaBlendsFavourTheBrighterOrDarker) {
  for (int v : {0, 1, 100, 128, 200, 255}) {
    EXPECT_EQ(Both(2, Grey(v), Grey(v)), Grey(v));
    EXPECT_EQ(Both(3, Grey(v), Grey(v)), Grey(v * 255 / 256)) << v;  // one level darker
  }
  const bgr brighter{0, 0, 200};
  const bgr darker{0, 0, 100};
  EXPECT_EQ(Both(2, brighter, darker), (bgr{0, 0, 175}));
  EXPECT_EQ(Both(2, darker, brighter), brighter);
  EXPECT_EQ(Both(3, brighter, darker), (bgr{0, 0, 99}));
  EXPECT_EQ(Both(3, darker, brighter), (bgr{0, 0, 124}));
  // A bias below the middle leans towards source 1.
  source_bias = 0;
  EXPECT_EQ(Both(2, darker, brighter), darker);
  source_bias = 256;
  EXPECT_EQ(Both(2, brighter, darker), darker);
}

TEST_F(PixelOperators, ChromaBlendsFavourTheMoreOrLessColoured) {
  const bgr grey_pixel = Grey(100);
  const bgr red_pixel{0, 0, 255};
  EXPECT_EQ(Both(4, grey_pixel, red_pixel), red_pixel);
  EXPECT_EQ(Both(4, red_pixel, grey_pixel), red_pixel);
  EXPECT_EQ(Both(5, grey_pixel, red_pixel), grey_pixel);
  EXPECT_EQ(Both(5, red_pixel, grey_pixel), grey_pixel);
  // Chroma 10 against 0 gives a weight of 64/256 to the first.
  EXPECT_EQ(Both(4, bgr{0, 0, 10}, Grey(0)), (bgr{0, 0, 2}));
  EXPECT_EQ(Both(4, bgr{0, 0, 10}, Grey(40)), (bgr{30, 30, 32}));
  // Equal chroma: the weight is the bias alone, half and half ten below the middle.
  EXPECT_EQ(Both(4, Grey(200), Grey(0)), Grey(0));
  source_bias = 117;
  EXPECT_EQ(Both(4, Grey(200), Grey(0)), Grey(100));
  EXPECT_EQ(Both(5, Grey(200), Grey(0)), Grey(100));
}

TEST_F(PixelOperators, ConditionalsUseTheBiasAsAGreyThreshold) {
  const bgr bright = Grey(200);
  const bgr dark{200, 200, 50};
  source_bias = 127;
  EXPECT_EQ(Both(9, bright, p2), bright);
  EXPECT_EQ(Both(9, dark, p2), p2);
  EXPECT_EQ(Both(10, bright, p2), p2);
  EXPECT_EQ(Both(10, dark, p2), dark);
  EXPECT_EQ(Both(11, p1, bright), p1);
  EXPECT_EQ(Both(11, p1, dark), dark);
  EXPECT_EQ(Both(12, p1, bright), bright);
  EXPECT_EQ(Both(12, p1, dark), p1);
  base_color = {9, 8, 7};
  EXPECT_EQ(Both(13, bright, p2), bright);
  EXPECT_EQ(Both(13, dark, p2), base);
  EXPECT_EQ(Both(14, bright, p2), p2);
  EXPECT_EQ(Both(14, dark, p2), base);
  EXPECT_EQ(Both(15, p1, bright), p1);
  EXPECT_EQ(Both(15, p1, dark), base);
  EXPECT_EQ(Both(16, p1, bright), bright);
  EXPECT_EQ(Both(16, p1, dark), base);

  // At the threshold itself: at least the bias for source 1, above 255 with it for source 2.
  EXPECT_EQ(Both(9, Grey(127), p2), Grey(127));
  EXPECT_EQ(Both(9, Grey(126), p2), p2);
  EXPECT_EQ(Both(11, p1, Grey(129)), p1);
  EXPECT_EQ(Both(11, p1, Grey(128)), Grey(128));

  source_bias = 0;
  EXPECT_EQ(Both(9, Grey(0), p2), Grey(0));
  EXPECT_EQ(Both(11, p1, Grey(255)), Grey(255));
  source_bias = 256;
  EXPECT_EQ(Both(9, Grey(255), p2), p2);
  EXPECT_EQ(Both(11, p1, Grey(0)), p1);
}

TEST_F(PixelOperators, BiasOutsideItsRangeActsAsTheNearestEnd) {
  for (int code = 2; code < operator_count; ++code) {
    SCOPED_TRACE(code);
    source_bias = 0;
    const bgr low = Both(code, p1, p2);
    source_bias = -2147483647 - 1;
    EXPECT_EQ(Both(code, p1, p2), low);
    source_bias = 256;
    const bgr high = Both(code, p1, p2);
    source_bias = 2147483647;
    EXPECT_EQ(Both(code, p1, p2), high);
  }
}

}  // namespace
