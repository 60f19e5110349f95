#include "engine/combine/pixel_operators.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct bgr {
  int b, g, r;
  bool operator==(const bgr&) const = default;
};

// Runs operator `code` through the base class, as the pass's plain form does.
bgr Apply(int code, int in1, int in2, bgr p1, bgr p2, int bias = 127) {
  source_bias = bias;
  uint8_t out[3] = {0xEE, 0xEE, 0xEE};
  EXPECT_TRUE(WithOperator(code, [&](const pixel& op) {
    op(uint8_t(in1), uint8_t(in2), {uint8_t(p1.b), uint8_t(p1.g), uint8_t(p1.r)},
       {uint8_t(p2.b), uint8_t(p2.g), uint8_t(p2.r)}, out, out + 1, out + 2);
  })) << code;
  source_bias = 127;
  return {out[0], out[1], out[2]};
}
bgr Both(int code, bgr p1, bgr p2, int bias = 127) { return Apply(code, 1, 1, p1, p2, bias); }
bgr Grey(int v) { return {v, v, v}; }

constexpr bgr p1{10, 200, 30};
constexpr bgr p2{250, 5, 120};

TEST(PixelOperators, CoverageFramePicksAndBiasRange) {
  base_color = {9, 8, 7};
  const bgr base{7, 8, 9};
  // 9..12 pick by one source's grey against the bias; 13..16 put the base colour
  // where the other source would have been picked.
  const int picked[8] = {200, 126, 126, 200, -1, -1, 126, 200};
  for (int code = 0; code < operator_count; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(Apply(code, 0, 0, p1, p2), base);
    EXPECT_EQ(Apply(code, 1, 0, p1, p2), code == 1 ? base : p1);
    EXPECT_EQ(Apply(code, 0, 1, p1, p2), code == 0 ? base : p2);
    const int pick = code < 9 ? 0 : picked[code - 9];
    EXPECT_TRUE(pick == 0 || Both(code, Grey(126), Grey(200)) == (pick < 0 ? base : Grey(pick)));
    // A bias outside its range acts as the nearest end.
    EXPECT_TRUE(Both(code, p1, p2, INT_MIN) == Both(code, p1, p2, 0));
    EXPECT_TRUE(Both(code, p1, p2, INT_MAX) == Both(code, p1, p2, 256));
  }
  base_color = {};
  EXPECT_FALSE(WithOperator(operator_count, [](auto) {}) || WithOperator(-1, [](auto) {}));
}

// One case per family where a plausible wrong formula gives another value.
TEST(PixelOperators, RoundingAndThresholdsPerFamily) {
  EXPECT_TRUE(Both(8, p1, p2, 0) == p1 && Both(8, p1, p2, 256) == p2);
  EXPECT_EQ(Both(8, Grey(255), Grey(0)), Grey(128));  // 129 * 255 >> 8
  EXPECT_EQ(Both(6, Grey(0), Grey(1)), Grey(126));    // -127 >> 7 is -1, not 0
  EXPECT_EQ(Both(7, Grey(0), Grey(255), 256), Grey(252));
  EXPECT_EQ(Both(3, Grey(100), Grey(100)), Grey(99));  // least: one level darker
  EXPECT_EQ(Both(2, bgr{0, 0, 200}, bgr{0, 0, 100}), (bgr{0, 0, 175}));
  EXPECT_EQ(Both(4, bgr{0, 0, 10}, Grey(40)), (bgr{30, 30, 32}));  // chroma 10 against 0: 64/256
  EXPECT_EQ(Both(5, Grey(200), Grey(0), 117), Grey(100));  // equal chroma: the bias alone
  EXPECT_TRUE(Both(9, Grey(127), p2) == Grey(127) && Both(9, Grey(126), p2) == p2);  // grey against the bias
  EXPECT_TRUE(Both(11, p1, Grey(129)) == p1 && Both(11, p1, Grey(128)) == Grey(128));
}

// Values worked out from each rule at biases away from the default, where a wrong
// weight, offset or order of the operators shows.
TEST(PixelOperators, HandWorkedValuesAtSeveralBiases) {
  base_color = {9, 8, 7};
  const bgr base{7, 8, 9};
  // Subtraction, 200 against 100: weights (127, 0) at bias 0, (55, 127) at 200, (-1, 127) at 256.
  EXPECT_EQ(Both(6, Grey(200), Grey(100), 0), Grey(198));    // 25400 >> 7
  EXPECT_EQ(Both(6, Grey(200), Grey(100), 200), Grey(186));  // (11000 - 12700) >> 7 = -14
  EXPECT_EQ(Both(6, Grey(200), Grey(100), 256), Grey(155));  // -12900 >> 7 = -101
  EXPECT_EQ(Both(7, Grey(200), Grey(100), 0), Grey(56));     // -25400 >> 7 = -199, + 255
  EXPECT_EQ(Both(7, Grey(200), Grey(100), 200), Grey(68));   // 1700 >> 7 = 13, - 200 + 255
  EXPECT_EQ(Both(7, Grey(200), Grey(100), 256), Grey(99));   // 12900 >> 7 = 100, - 1
  EXPECT_EQ(Both(6, Grey(50), Grey(50)), Grey(127));
  EXPECT_EQ(Both(7, Grey(50), Grey(50)), Grey(128));
  // Average: (129 * 10 + 127 * 250) >> 8 and (192 * 10 + 64 * 250) >> 8.
  EXPECT_EQ(Both(8, Grey(10), Grey(250)), Grey(129));
  EXPECT_EQ(Both(8, Grey(10), Grey(250), 64), Grey(70));
  // Brightest at bias 0 weighs source 1 fully (t = 256); darkest stops at 255 / 256.
  EXPECT_EQ(Both(2, p1, p2, 0), p1);
  EXPECT_EQ(Both(3, Grey(200), Grey(0), 0), Grey(199));
  // Luma weights, one channel at a time: blue 1795 -> t 179.5; green 9628 - 56 * 128
  // -> t 246; red 4896 - 19 * 128 -> t 246.4; each times 255 / 256.
  EXPECT_EQ(Both(2, bgr{255, 0, 0}, Grey(0)), (bgr{178, 0, 0}));
  EXPECT_EQ(Both(2, bgr{0, 255, 0}, Grey(0), 183), (bgr{0, 245, 0}));
  EXPECT_EQ(Both(2, bgr{0, 0, 255}, Grey(0), 146), (bgr{0, 0, 245}));
  // Chroma of pure green 251 is 251: S = 16064 - 120 * 128 = 704, t = 70.4.
  EXPECT_EQ(Both(4, bgr{0, 251, 0}, Grey(0), 247), (bgr{0, 69, 0}));
  EXPECT_EQ(Both(5, bgr{0, 251, 0}, Grey(0), 0), (bgr{0, 18, 0}));  // S = 256 - 16320 + 16256, t = 19.2
  // The conditionals where source 1 passes its test and source 2 fails its own.
  const bgr pass = Grey(200), fail = Grey(126);
  const bgr picked[8] = {pass, fail, fail, pass, pass, fail, base, base};
  for (int code = 9; code <= 16; ++code) EXPECT_EQ(Both(code, pass, fail), picked[code - 9]) << code;
  // Every channel must pass, not just one.
  EXPECT_EQ(Both(9, bgr{200, 100, 200}, p2), p2);
  EXPECT_EQ(Both(11, p1, bgr{200, 200, 100}), (bgr{200, 200, 100}));
  EXPECT_EQ(Both(13, bgr{100, 200, 200}, p2), base);
  EXPECT_EQ(Both(15, p1, bgr{200, 100, 200}), base);
  // Source 2's threshold is strict in every channel: blue 128 + 127 is not above 255.
  EXPECT_EQ(Both(11, p1, bgr{128, 200, 200}), (bgr{128, 200, 200}));
  EXPECT_EQ(Both(15, p1, bgr{200, 128, 200}), base);
  EXPECT_EQ(Both(16, p1, bgr{200, 200, 128}), base);
  base_color = {};
}

}  // namespace
