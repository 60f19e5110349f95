#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "fake_text_renderer.h"

namespace {

std::string Repeat(const std::string& piece, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

uint32_t PixelAt(const image_record& record, int x, int y) {
  const uint8_t* p = record.Pixels() + (size_t(y) * record.Width() + x) * 4;
  return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

fitted_text Fit(fake_text_renderer& renderer, int height, const std::string& text) {
  font_description font;
  font.lfHeight = height;
  return FitTextHeight(renderer, font, MeasuredLines(text));
}

}  // namespace

TEST(text_layout, BatchNumberSubstitution) {
  struct row {
    std::string text;
    int number;
    std::string expected;
  };
  const row rows[] = {
      {"Photo >n< of many\r\n", 12, "Photo 12 of many\r\n"},
      {"Photo >n< of many\r\n", -1, "Photo >n< of many\r\n"},
      {">n<>n<", -2147483647 - 1, "-2147483648-2147483648"},
      {">N< >n >n<", 7, ">N< >n 7"},
      {std::string("a\0>n<", 5), 3, "a"},  // the text ends at its terminator
  };
  for (const row& r : rows) EXPECT_EQ(SubstituteBatchNumber(r.text, r.number), r.expected) << r.text;
}

TEST(text_layout, SubstitutionStaysInsideTheFieldOnACharacterBoundary) {
  // The worst case: 8190 bytes of codes, each becoming eleven characters.
  const std::string codes = Repeat(">n<", 2730);
  const std::string out = SubstituteBatchNumber(codes, INT_MIN);
  EXPECT_EQ(out, Repeat("-2147483648", 8191 / 11));

  // Lengthened text full of two-byte letters is cut between letters.
  const std::string letters = ">n<" + Repeat("\xC3\xA9", 4094);
  const std::string cut = SubstituteBatchNumber(letters, 123456);
  EXPECT_EQ(cut, "123456" + Repeat("\xC3\xA9", 4092));
  EXPECT_EQ(SubstituteBatchNumber(Repeat("\xC3\xA9", 5000), -1), Repeat("\xC3\xA9", 4095));
}

TEST(text_layout, Utf8IsCutOnBoundariesAndRepaired) {
  EXPECT_EQ(Utf8Prefix("a\xC3\xA9", 2), 1u);
  EXPECT_EQ(Utf8Prefix("a\xC3\xA9", 3), 3u);
  EXPECT_EQ(Utf8Prefix("\xF0\x9F\x98\x80z", 3), 0u);
  const std::string bad = "a\xFF" "b\xC0\xAF" "c\xED\xA0\x80" "d\xE2\x82";
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(RepairedUtf8(bad), "a" + fffd + "b" + Repeat(fffd, 2) + "c" + Repeat(fffd, 3) + "d" + Repeat(fffd, 2));
}

TEST(text_layout, LinesEndAtLineFeeds) {
  using lines = std::vector<std::string_view>;
  EXPECT_EQ(MeasuredLines("one\r\ntwo\r\n"), (lines{"one", "two"}));
  EXPECT_EQ(MeasuredLines("one\ntwo"), (lines{"one", "two"}));  // no CR to drop, last line unterminated
  EXPECT_EQ(MeasuredLines("\r\n"), (lines{""}));
  EXPECT_EQ(MeasuredLines("a\rb\r\n"), (lines{"a\rb"}));
  EXPECT_TRUE(MeasuredLines("").empty());
  EXPECT_EQ(MeasuredLines(Repeat("x\r\n", 10000)).size(), 100u);
}

TEST(text_layout, BlockSizeAndCentringOfThreeLines) {
  fake_text_renderer renderer;
  renderer.measure = [](std::string_view line, int) { return text_extent{line == "wide" ? 300 : 100, 20}; };
  const fitted_text fitted = Fit(renderer, -27, "a\r\nwide\r\nb\r\n");
  ASSERT_TRUE(fitted.fits);
  EXPECT_EQ(fitted.block.width, 304);
  EXPECT_EQ(fitted.block.height, 60);
  EXPECT_EQ(renderer.heights, std::vector<int>{-27});

  // Drawn at (1, 1) and centred by (2, 0): the wide line's box covers x 3..302.
  // A transparent background leaves only the letters covered.
  const std::vector<std::string_view> lines = MeasuredLines("wide\r\nwide\r\nwide\r\n");
  const std::vector<uint8_t> coverage = renderer.Draw(lines, 20, 304, 60);
  for (bool transparent : {false, true}) {
    image_record record;
    ASSERT_TRUE(PaintTextRecord(record, fitted.block, coverage, {0x0000FF, 0x00FF00, transparent}));
    EXPECT_EQ(PixelAt(record, 3, 1), 0xFFFF0000u);  // letters red
    EXPECT_EQ(PixelAt(record, 302, 59), 0xFFFF0000u);
    for (auto [x, y] : {std::pair{2, 1}, {303, 1}, {3, 0}}) EXPECT_EQ(PixelAt(record, x, y), 0xFF00FF00u);
    EXPECT_EQ(std::count(record.mask, record.mask + 304 * 60, 1), transparent ? 300 * 59 : 304 * 60);
  }

  // One line seven pixels high: H x L + 2 = 9 rounds down to 8.
  renderer.measure = [](std::string_view, int) { return text_extent{10, 7}; };
  EXPECT_EQ(Fit(renderer, -27, "x\r\n").block.height, 8);
}

TEST(text_layout, TooLargeFontsAreHalvedAndLowLinesDoubled) {
  fake_text_renderer renderer;
  renderer.measure = [](std::string_view, int h) {
    const int em = int(std::abs(int64_t(h)));
    return text_extent{10 * em, em};
  };
  fitted_text fitted = Fit(renderer, -1600, "x\r\n");  // 16016 x 1600 pixels is too many
  EXPECT_EQ(renderer.heights, (std::vector<int>{-1600, -800}));
  EXPECT_EQ(fitted.height, -800);

  renderer.heights.clear();
  fitted = Fit(renderer, -3, "x\r\n");
  EXPECT_EQ(renderer.heights, (std::vector<int>{-3, -6, -12}));
  EXPECT_EQ(fitted.height, -12);

  // A long line in a tiny font: doubling makes it too wide, and the last height
  // that fitted is kept even though its lines stay low.
  renderer.heights.clear();
  renderer.measure = [](std::string_view, int h) {
    const int em = int(std::abs(int64_t(h)));
    return text_extent{3000 * em, em};
  };
  fitted = Fit(renderer, -3, "x\r\n");
  EXPECT_EQ(renderer.heights, (std::vector<int>{-3, -6, -12, -6}));
  EXPECT_TRUE(fitted.fits);
  EXPECT_LE(fitted.block.width, image_record::max_side);
}

TEST(text_layout, FittingAlwaysEnds) {
  fake_text_renderer renderer;
  renderer.measure = [](std::string_view, int) { return text_extent{0, 0}; };
  fitted_text fitted = Fit(renderer, -1, "\r\n");
  EXPECT_EQ(renderer.heights.size(), 13u);  // -1 doubled up to -4096, then given up
  EXPECT_EQ(fitted.height, -4096);
  EXPECT_TRUE(fitted.fits);
  EXPECT_EQ(fitted.block.height, 0);

  renderer.heights.clear();
  fitted = Fit(renderer, 0, "\r\n");
  EXPECT_EQ(renderer.heights, std::vector<int>{0});

  renderer.measure = [](std::string_view, int) { return text_extent{30000, 10}; };
  for (int start : {INT_MIN, INT_MAX, -27, 1}) {
    renderer.heights.clear();
    EXPECT_FALSE(Fit(renderer, start, "x\r\n").fits) << start;
    EXPECT_LE(renderer.heights.size(), 33u);
  }

  renderer.font_fails = true;
  fitted = Fit(renderer, -27, "x\r\n");
  EXPECT_TRUE(fitted.font_failed);
  EXPECT_FALSE(fitted.fits);
}

TEST(text_layout, PointSizeLabel) {
  EXPECT_EQ(PointSizeLabel(-27, 1.0f), "20");
  EXPECT_EQ(PointSizeLabel(-32, 1.0f), "24");
  EXPECT_EQ(PointSizeLabel(-27, 1.25f), "16");
  EXPECT_EQ(PointSizeLabel(INT_MIN, 1.0f), "1610612736");
}
