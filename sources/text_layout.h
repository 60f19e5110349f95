#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base/image_record.h"
#include "sources/text_extent.h"

struct font_description;

// A source text is held like a zero-terminated field of this many bytes.
inline constexpr size_t text_field_bytes = 8192;
inline constexpr int max_measured_lines = 100;
inline constexpr int64_t max_text_bitmap_pixels = 16777216;
inline constexpr int min_line_height = 8;
// Doubling a height that makes lines too low stops here, after at most twelve
// doublings: lines this low at such a height are not low for want of size.
inline constexpr int max_doubled_height = 4096;

// The longest prefix of text of at most max_bytes bytes that does not end inside a
// UTF-8 sequence.
size_t Utf8Prefix(std::string_view text, size_t max_bytes);
// text with every byte that is not part of a well-formed UTF-8 sequence replaced
// by U+FFFD.
std::string RepairedUtf8(std::string_view text);

// The text as stored (up to its first zero byte) with every ">n<" replaced by the
// decimal number; -1 leaves the text as it is. The result stays within the field
// with its terminator: a number that would not fit is not written and the copy ends
// there, cut on a UTF-8 boundary.
std::string SubstituteBatchNumber(std::string_view text, int number);

// The lines that are measured and drawn: split at each LF, a CR before the LF
// dropped, trailing text without LF a line of its own; at most 100 lines.
std::vector<std::string_view> MeasuredLines(std::string_view text);

// Measures and draws lines of text in one font at a time.
class text_renderer {
 public:
  virtual ~text_renderer() = default;
  // Makes the font of font with its height replaced by height the current one;
  // false when no font can be made.
  virtual bool SelectFont(const font_description& font, int height) = 0;
  // The advance width and line height of one line in the current font.
  virtual text_extent Measure(std::string_view line) = 0;
  // Draws line k at (1, 1 + k x line_height) into a width x height bitmap, without
  // antialiasing; one byte per pixel, top row first, 1 where a letter covers it.
  virtual std::vector<uint8_t> Draw(const std::vector<std::string_view>& lines, int line_height,
                                    int width, int height) = 0;
};

// What the lines measure in one font, and the bitmap that holds them: width a
// multiple of 16, height a multiple of 4, with one pixel to spare on each side.
struct text_block {
  int widest = 0;  // W
  int tallest = 0;  // H
  int lines = 0;    // L
  int width = 0;    // BW
  int height = 0;   // BH
  int64_t Pixels() const { return int64_t(width) * height; }
};

text_block MeasureBlock(text_renderer& renderer, const std::vector<std::string_view>& lines);

struct fitted_text {
  bool fits = false;  // false: no font could be made, or no height fits the bitmap
  bool font_failed = false;
  int height = 0;  // the font height the block was measured at
  text_block block;
};

// Finds the font height to draw with, starting from font's own: halved while the
// bitmap would hold more than 16,777,216 pixels or be wider or taller than an image
// record may be, doubled while the lines are lower than 8 pixels. Once halved it is
// never doubled again, so the bitmap cap always holds; doubling stops at a height of
// 4096. The current font of the renderer is the fitted one when it fits.
fitted_text FitTextHeight(text_renderer& renderer, const font_description& font,
                          const std::vector<std::string_view>& lines);

// The text colours as COLORREF values (red in the low byte).
struct text_colours {
  uint32_t letters = 0xFFFFFF;
  uint32_t background = 0;
  bool transparent = false;
};

// Makes a block.width x block.height record: the background colour everywhere
// (uncovered when transparent), and the letter colour, covered, where coverage is
// set, shifted right and down by the centring offsets. False when the record cannot
// be made.
bool PaintTextRecord(image_record& record, const text_block& block,
                     const std::vector<uint8_t>& coverage, const text_colours& colours);

// The pane's point-size text for a font height: trunc(0.75 / dpi_scale_y x -height)
// in single precision.
std::string PointSizeLabel(int height, float dpi_scale_y);
