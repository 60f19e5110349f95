#include "engine/pixel_operators.h"

#include <gtest/gtest.h>

#include <climits>

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
  void SetUp() override { base_color = {}; }
  void TearDown() override {
    source_bias = 127;
    base_color = {};
  }

  // Runs operator `code` through the base class, as the pass's plain form does.
  static bgr Run(int code, int in1, int in2, bgr p1, bgr p2) {
    bgr out{-1, -1, -1};
    EXPECT_TRUE(WithOperator(code, [&](const auto& op) {
      const pixel& any = op;
      uint8_t b = 0xEE, g = 0xEE, r = 0xEE;
      any(uint8_t(in1), uint8_t(in2), Px(p1), Px(p2), &b, &g, &r);
      out = {b, g, r};
    })) << code;
    return out;
  }
  static bgr Both(int code, bgr p1, bgr p2, int bias = 127) {
    source_bias = bias;
    return Run(code, 1, 1, p1, p2);
  }
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
  EXPECT_EQ(Both(0, p1, p2), p1);
  EXPECT_EQ(Both(1, p1, p2), p2);
  EXPECT_FALSE(WithOperator(operator_count, [](auto) {}));
  EXPECT_FALSE(WithOperator(-1, [](auto) {}));
}

TEST_F(PixelOperators, AverageAndSubtractionRounding) {
  EXPECT_EQ(Both(8, p1, p2, 0), p1);
  EXPECT_EQ(Both(8, p1, p2, 256), p2);
  EXPECT_EQ(Both(8, Grey(255), Grey(0)), Grey(128));  // 129 * 255 >> 8
  EXPECT_EQ(Both(8, Grey(0), Grey(255)), Grey(126));  // 127 * 255 >> 8
  EXPECT_EQ(Both(6, Grey(77), Grey(77)), Grey(127));
  EXPECT_EQ(Both(7, Grey(77), Grey(77)), Grey(128));
  EXPECT_EQ(Both(6, Grey(0), Grey(1)), Grey(126));  // -127 >> 7 is -1, not 0
  EXPECT_EQ(Both(7, Grey(1), Grey(0)), Grey(127));
  EXPECT_EQ(Both(6, Grey(255), Grey(0)), Grey(255));  // 253 + 127, clamped
  EXPECT_EQ(Both(6, bgr{255, 128, 1}, Grey(200), 0), (bgr{253, 127, 0}));
  EXPECT_EQ(Both(6, bgr{1, 0, 0}, Grey(0), 256), Grey(255));  // (-1 >> 7) + 256
  EXPECT_EQ(Both(6, Grey(0), Grey(2), 256), Grey(254));       // (-254 >> 7) + 256
  EXPECT_EQ(Both(7, Grey(0), Grey(255), 256), Grey(252));     // (255 * 127 >> 7) - 256 + 255
}

TEST_F(PixelOperators, LumaAndChromaBlends) {
  for (int v : {0, 1, 100, 128, 200, 255}) {
    EXPECT_EQ(Both(2, Grey(v), Grey(v)), Grey(v));
    EXPECT_EQ(Both(3, Grey(v), Grey(v)), Grey(v * 255 / 256)) << v;  // one level darker
  }
  const bgr brighter{0, 0, 200}, darker{0, 0, 100};
  EXPECT_EQ(Both(2, brighter, darker), (bgr{0, 0, 175}));
  EXPECT_EQ(Both(2, darker, brighter), brighter);
  EXPECT_EQ(Both(3, brighter, darker), (bgr{0, 0, 99}));
  EXPECT_EQ(Both(3, darker, brighter), (bgr{0, 0, 124}));
  EXPECT_EQ(Both(2, darker, brighter, 0), darker);  // a low bias leans towards source 1
  EXPECT_EQ(Both(2, brighter, darker, 256), darker);

  const bgr red{0, 0, 255};
  EXPECT_EQ(Both(4, Grey(100), red), red);
  EXPECT_EQ(Both(5, red, Grey(100)), Grey(100));
  EXPECT_EQ(Both(4, bgr{0, 0, 10}, Grey(40)), (bgr{30, 30, 32}));  // chroma 10 against 0: 64/256
  // Equal chroma: the weight is the bias alone, half and half ten below the middle.
  EXPECT_EQ(Both(4, Grey(200), Grey(0)), Grey(0));
  EXPECT_EQ(Both(4, Grey(200), Grey(0), 117), Grey(100));
  EXPECT_EQ(Both(5, Grey(200), Grey(0), 117), Grey(100));
}

// Codes 9..12 pick by one source's grey against the bias; 13..16 put the base
// colour where the other would have been picked.
TEST_F(PixelOperators, ConditionalsUseTheBiasAsAGreyThreshold) {
  base_color = {9, 8, 7};
  const bgr bright = Grey(200), dark{200, 200, 50};
  struct {
    int code;
    bgr a, b, expected;
  } cases[] = {
      {9, bright, p2, bright},  {9, dark, p2, p2},      {10, bright, p2, p2},     {10, dark, p2, dark},
      {11, p1, bright, p1},     {11, p1, dark, dark},   {12, p1, bright, bright}, {12, p1, dark, p1},
      {13, bright, p2, bright}, {13, dark, p2, base},   {14, bright, p2, p2},     {14, dark, p2, base},
      {15, p1, bright, p1},     {15, p1, dark, base},   {16, p1, bright, bright}, {16, p1, dark, base},
      {9, Grey(127), p2, Grey(127)}, {9, Grey(126), p2, p2}, {11, p1, Grey(129), p1}, {11, p1, Grey(128), Grey(128)},
  };
  for (const auto& c : cases) EXPECT_EQ(Both(c.code, c.a, c.b), c.expected) << c.code << " " << c.a;
  EXPECT_EQ(Both(9, Grey(0), p2, 0), Grey(0));
  EXPECT_EQ(Both(11, p1, Grey(255), 0), Grey(255));
  EXPECT_EQ(Both(9, Grey(255), p2, 256), p2);
  EXPECT_EQ(Both(11, p1, Grey(0), 256), p1);
}

TEST_F(PixelOperators, BiasOutsideItsRangeActsAsTheNearestEnd) {
  for (int code = 2; code < operator_count; ++code) {
    EXPECT_EQ(Both(code, p1, p2, INT_MIN), Both(code, p1, p2, 0)) << code;
    EXPECT_EQ(Both(code, p1, p2, INT_MAX), Both(code, p1, p2, 256)) << code;
  }
}

}  // namespace
