#include "engine/colour_adjust.h"

#include <algorithm>

uint8_t colour_adjust::AdjustChannel(int value, channel_pair pair) {
  // Doubles from the start: the pair comes from the view and need not be in range.
  const double k = pair.contrast;
  const double f = k * k / 2500.0;
  const double v = value * f - (f - 1) * 255 * 0.5 + (double(pair.brightness) - 50);
  return uint8_t(int(std::clamp(v, 0.0, 255.0)));
}

void colour_adjust::Prepare(int contrast_mode_code, int contrast_threshold, const channel_pair adjust[3]) {
  mode = contrast_mode_code;
  bias = std::clamp(contrast_threshold, 0, 255);
  neutral = true;
  for (int ch = 0; ch < 3; ++ch) {
    for (int v = 0; v < 256; ++v) {
      table[ch][v] = AdjustChannel(v, adjust[ch]);
      neutral = neutral && table[ch][v] == v;
    }
  }
}

void colour_adjust::ApplyRow(bgra* row, int count) const {
  switch (mode) {
    case 0:
      for (int c = 0; c < count; ++c) {
        bgra& p = row[c];
        const int v = std::min(int(p.red * 19.2 + p.green * 37.76 + p.blue * 7.04) >> 6, 255);
        p.blue = p.green = p.red = uint8_t(v);
      }
      break;
    case 2: {
      const int threshold = 3 * bias;
      for (int c = 0; c < count; ++c) {
        bgra& p = row[c];
        const uint8_t v = p.red + p.green + p.blue > threshold ? 255 : 0;
        p.blue = p.green = p.red = v;
      }
      break;
    }
    case 3:
      for (int c = 0; c < count; ++c) {
        bgra& p = row[c];
        p.blue = p.blue <= bias ? 0 : 255;
        p.green = p.green <= bias ? 0 : 255;
        p.red = p.red <= bias ? 0 : 255;
      }
      break;
    default:
      break;
  }
  if (neutral) return;
  for (int c = 0; c < count; ++c) {
    bgra& p = row[c];
    p.blue = table[0][p.blue];
    p.green = table[1][p.green];
    p.red = table[2][p.red];
  }
}
