#include "sources/text_layout.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "sources/document.h"

namespace {

// The length of the well-formed UTF-8 sequence that starts text[at], or 0.
size_t SequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return uint8_t(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint8_t low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  return length;
}

int Saturated(int64_t value) { return int(std::clamp<int64_t>(value, 0, INT_MAX / 2)); }

}  // namespace

size_t Utf8Prefix(std::string_view text, size_t max_bytes) {
  if (text.size() <= max_bytes) return text.size();
  size_t end = max_bytes;
  // Back off over continuation bytes to the start of the sequence that is cut.
  while (end > 0 && (uint8_t(text[end]) & 0xC0) == 0x80) --end;
  return end;
}

std::string RepairedUtf8(std::string_view text) {
  std::string repaired;
  repaired.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const size_t length = SequenceLength(text, at);
    if (length == 0) {
      repaired += "\xEF\xBF\xBD";
      ++at;
    } else {
      repaired.append(text, at, length);
      at += length;
    }
  }
  return repaired;
}

std::string SubstituteBatchNumber(std::string_view text, int number) {
  constexpr size_t room = text_field_bytes - 1;  // the terminator keeps the last byte
  text = text.substr(0, text.find('\0'));
  if (number == -1) return std::string(text.substr(0, Utf8Prefix(text, room)));
  const std::string digits = std::to_string(number);
  std::string out;
  out.reserve(room);
  size_t j = 0;
  while (j < text.size()) {
    if (text.compare(j, 3, ">n<") == 0) {
      if (out.size() + digits.size() > room) break;
      out += digits;
      j += 3;
    } else {
      if (out.size() == room) break;
      out += text[j++];
    }
  }
  if (j < text.size() && (uint8_t(text[j]) & 0xC0) == 0x80) {
    // The copy ended inside a character: drop what it has of it.
    while (!out.empty() && (uint8_t(out.back()) & 0xC0) == 0x80) out.pop_back();
    if (!out.empty()) out.pop_back();
  }
  return out;
}

std::vector<std::string_view> MeasuredLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size() && int(lines.size()) < max_measured_lines) {
    const size_t lf = text.find('\n', start);
    std::string_view line = text.substr(start, lf == std::string_view::npos ? lf : lf - start);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.push_back(line);
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

text_block MeasureBlock(text_renderer& renderer, const std::vector<std::string_view>& lines) {
  text_block block;
  for (std::string_view line : lines) {
    const text_extent extent = renderer.Measure(line);
    block.widest = std::max(block.widest, extent.width);
    block.tallest = std::max(block.tallest, extent.height);
  }
  block.lines = int(lines.size());
  block.width = Saturated((int64_t(block.widest) + 16) / 16 * 16);
  block.height = Saturated((int64_t(block.tallest) * block.lines + 2) / 4 * 4);
  return block;
}

fitted_text FitTextHeight(text_renderer& renderer, const font_description& font,
                          const std::vector<std::string_view>& lines) {
  fitted_text fitted;
  int height = font.lfHeight;
  bool halved = false;
  for (;;) {
    if (!renderer.SelectFont(font, height)) {
      fitted.font_failed = true;
      return fitted;
    }
    const text_block block = MeasureBlock(renderer, lines);
    if (block.Pixels() > max_text_bitmap_pixels || block.width > image_record::max_side ||
        block.height > image_record::max_side) {
      if (height / 2 == 0) return fitted;
      height /= 2;
      halved = true;
      continue;
    }
    const bool may_double =
        !halved && height != 0 && std::abs(int64_t(height)) < max_doubled_height;
    if (block.tallest < min_line_height && may_double) {
      height *= 2;
      continue;
    }
    fitted.fits = true;
    fitted.height = height;
    fitted.block = block;
    return fitted;
  }
}

bool PaintTextRecord(image_record& record, const text_block& block,
                     const std::vector<uint8_t>& coverage, const text_colours& colours) {
  const int bw = block.width, bh = block.height;
  if (coverage.size() != size_t(bw) * size_t(bh) || !record.Create(bw, bh)) return false;
  const auto pixel_of = [](uint32_t c) {
    return uint32_t(c >> 16 & 0xFF) | (c & 0xFF00) | uint32_t(c & 0xFF) << 16 | 0xFF000000u;
  };
  const uint32_t back = pixel_of(colours.background);
  const uint32_t letters = pixel_of(colours.letters);
  uint8_t* pixels = record.Pixels();
  const size_t count = size_t(bw) * size_t(bh);
  for (size_t i = 0; i < count; ++i) {
    pixels[i * 4 + 0] = uint8_t(back);
    pixels[i * 4 + 1] = uint8_t(back >> 8);
    pixels[i * 4 + 2] = uint8_t(back >> 16);
    pixels[i * 4 + 3] = 255;
  }
  if (colours.transparent) std::fill_n(record.mask, count, uint8_t(0));

  const int xoff = std::max((bw - block.widest) / 2, 0);
  const int yoff = std::max(int((bh - int64_t(block.tallest) * block.lines) / 2), 0);
  for (int y = 0; y < bh - yoff; ++y) {
    const uint8_t* from = coverage.data() + size_t(y) * size_t(bw);
    const size_t row = size_t(y + yoff) * size_t(bw) + size_t(xoff);
    for (int x = 0; x < bw - xoff; ++x) {
      if (!from[x]) continue;
      uint8_t* p = pixels + (row + size_t(x)) * 4;
      p[0] = uint8_t(letters);
      p[1] = uint8_t(letters >> 8);
      p[2] = uint8_t(letters >> 16);
      record.mask[row + size_t(x)] = 1;
    }
  }
  return true;
}

std::string PointSizeLabel(int height, float dpi_scale_y) {
  const float points = 0.75f / dpi_scale_y * float(-int64_t(height));
  return std::to_string(static_cast<long long>(points));
}
